#include "update/versioncheck.h"

#include "platform/core/diagnostics.h"
#include "platform/net/httpstatusprobe.h"
#include "update/probeaddress.h"
#include "platform/net/urldownload.h"
#include "platform/net/urldownloadoptions.h"
#include "update/signedversionfile.h"
#include "update/updatepublickey.h"
#include "update/versionline.h"
#include "platform/text/utf.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace kivora {

namespace {

constexpr HttpStatusProbeOptions probeLimits{std::chrono::seconds(5), std::chrono::seconds(10)};

UrlDownloadOptions versionFileLimits()
{
    UrlDownloadOptions options;
    options.connectTimeout = std::chrono::seconds(5);
    options.stallTimeout = std::chrono::seconds(10);
    // A version file is three short lines; whatever is far longer is not one.
    options.sizeLimit = 64 * 1024;
    return options;
}

VersionCheckOutcome check(const std::u16string &address, const std::string &versionFileCopy)
{
    VersionCheckOutcome outcome;
    const std::optional<long> status = httpStatus(probeAddress(address), probeLimits);
    outcome.reachable = status == 200 || status == 302;
    if (!outcome.reachable) {
        qCDebug(updateLog) << "update server" << QString::fromStdU16String(address) << "not reachable, status"
                           << (status ? *status : -1L);
        return outcome;
    }
    // A failed download leaves no copy, and reading the missing copy says why.
    try {
        const HRESULT result = URLDownloadToFile(address, fromUtf8(versionFileCopy),
                                                 nullptr, versionFileLimits());
        if (result != S_OK)
            qCDebug(updateLog) << "version file download failed, result" << Qt::hex << result;
    } catch (...) {
        qCDebug(updateLog) << "version file download failed on an exception";
    }
    try {
        SignedVersion verified = verifyVersionFile(readTextFile(versionFileCopy), updatePublicKey());
        if (verified.version) {
            outcome.server = std::move(*verified.version);
        } else {
            qCWarning(updateLog) << "the version file is refused:" << verified.refusal.c_str();
            outcome.refusal = std::move(verified.refusal);
        }
    } catch (const std::exception &failure) {
        qCDebug(updateLog) << "reading the version file failed:" << failure.what();
        outcome.failure = std::current_exception();
    } catch (...) {
        outcome.failure = std::current_exception();
    }
    return outcome;
}

} // namespace

// What the thread and its owner share. The thread delivers only while holding the lock and
// the owner is there, so once the owner has gone nothing reaches what it delivered to.
struct VersionCheck::Link
{
    std::mutex mutex;
    bool ownerGone = false;

    void cut()
    {
        std::lock_guard lock(mutex);
        ownerGone = true;
    }
};

VersionCheck::VersionCheck(Deliver deliver)
    : m_deliver(std::move(deliver))
{
}

VersionCheck::~VersionCheck()
{
    if (m_link)
        m_link->cut();
}

bool VersionCheck::start(const std::u16string &address, const std::string &versionFileCopy, Done done)
{
    if (m_underWay)
        return false;
    m_underWay = true;
    if (m_link)
        m_link->cut();
    m_link = std::make_shared<Link>();
    // Detached: the owner never waits for a silent server, not even on its way out.
    std::thread([this, link = m_link, deliver = m_deliver, address, versionFileCopy, done = std::move(done)] {
        const VersionCheckOutcome outcome = check(address, versionFileCopy);
        std::lock_guard lock(link->mutex);
        if (link->ownerGone)
            return;
        deliver([this, link, outcome, done] {
            // On the owner's thread, which alone cuts the link: `this` is still there.
            if (link->ownerGone)
                return;
            m_underWay = false;
            done(outcome);
        });
    }).detach();
    return true;
}

} // namespace kivora
