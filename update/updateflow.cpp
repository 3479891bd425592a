#include "update/updateflow.h"

#include "transfer/Utushuthread.h"
#include "platform/core/programdirectory.h"
#include "update/serverversion.h"
#include "update/updatefiles.h"
#include "update/versionline.h"

#include <QString>

#include <unistd.h>

namespace kivora {

UpdateFlow::UpdateFlow(UpdateView &view, VersionCheck::Deliver deliver, Guard guard, std::u16string address)
    : m_view(view)
    , m_guard(std::move(guard))
    , m_address(std::move(address))
    , m_versionCheck(std::move(deliver))
{
}

// An update goes ahead only after the user agrees, and replaces the executable without ever
// leaving the program directory without a runnable one.
void UpdateFlow::check(WindowHandle jobReportsTo)
{
    if (m_versionCheck.underWay())
        return;
    const std::string folder = programDirectory();
    const std::string s1 = readVersionLine(folder + versionRecordName);
    m_versionCheck.start(m_address, folder + versionFileCopyName,
                         [this, s1, jobReportsTo](const VersionCheckOutcome &outcome) {
                             m_guard([&] { offer(s1, outcome, jobReportsTo); });
                         });
}

void UpdateFlow::offer(const std::string &s1, const VersionCheckOutcome &outcome, WindowHandle jobReportsTo)
{
    if (!outcome.reachable)
        return;
    if (outcome.failure)
        std::rethrow_exception(outcome.failure);
    // Nothing of a file that does not verify is used, not even to say there is no update.
    if (!outcome.refusal.empty()) {
        m_view.showUpdateRefused();
        return;
    }
    const ServerVersion &s2 = outcome.server;

    if (!m_replacement)
        m_replacement = std::make_unique<ExecutableReplacement>(programDirectory());
    // While a download runs, its version counts as the local one; a newer line is offered
    // by the first check after that download has ended.
    if (s1 == s2.line || m_replacement->underWay()) {
        m_view.showNoUpdate();
        return;
    }
    if (!m_view.askToUpdate())
        return;
    m_view.showUpdateBegun();
    const QString address = QString::fromLocal8Bit(QByteArray::fromStdString(s2.line));
    m_replacement->start(s2, address.toStdU16String(), jobReportsTo);
}

void UpdateFlow::jobReport(std::intptr_t percent)
{
    if (percent == tushuthread::kFailed && m_replacement && m_replacement->underWay()) {
        m_replacement->failed();
        m_view.showUpdateFailed();
        return;
    }
    m_view.showProgress(percent);
    if (percent < tushuthread::kSaved)
        return;
    const bool replaced = !m_replacement || !m_replacement->underWay() || m_replacement->completed();
    m_view.showUpdateSaved(replaced && ::access((programDirectory() + executableName).c_str(), F_OK) == 0);
}

} // namespace kivora
