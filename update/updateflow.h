#pragma once

#include "update/executablereplacement.h"
#include "update/versioncheck.h"
#include "platform/core/windowmessages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kivora {

// What the update asks of the launcher window: its dialogs, its gauge and its label.
class UpdateView
{
public:
    virtual ~UpdateView() = default;
    virtual void showNoUpdate() = 0;
    // The question whether to update; true when the user agrees.
    virtual bool askToUpdate() = 0;
    // The gauge and the label appear, then the notice not to close the program.
    virtual void showUpdateBegun() = 0;
    virtual void showProgress(std::intptr_t percent) = 0;
    // The gauge and the label go; the notice of success follows only when `succeeded`.
    virtual void showUpdateSaved(bool succeeded) = 0;
    virtual void showUpdateFailed() = 0;
    // The server's version file does not verify against the update key.
    virtual void showUpdateRefused() = 0;
};

// The self-update as the launcher's update site drives it: the check on a thread of its own,
// the question, the replacement of the executable, and the fetch job's reports.
class UpdateFlow
{
public:
    // `deliver` runs a call on the window's thread (a queued call); `guard` runs a step that
    // may throw and reports what it throws (the error box).
    using Guard = std::function<void(const std::function<void()> &)>;
    UpdateFlow(UpdateView &view, VersionCheck::Deliver deliver, Guard guard, std::u16string address);

    // The click on the update site. Starts nothing while a check is under way. Throws when
    // the local version record cannot be read.
    void check(WindowHandle jobReportsTo);
    bool checkUnderWay() const { return m_versionCheck.underWay(); }
    // A fetch job's report: 0..99 move the gauge, 100 (the new executable is saved)
    // finishes the update, -1 is its failure.
    void jobReport(std::intptr_t percent);

    void setAddressForTesting(std::u16string address) { m_address = std::move(address); }

private:
    void offer(const std::string &s1, const VersionCheckOutcome &outcome, WindowHandle jobReportsTo);

    UpdateView &m_view;
    Guard m_guard;
    std::u16string m_address;
    std::unique_ptr<ExecutableReplacement> m_replacement;
    VersionCheck m_versionCheck;
};

} // namespace kivora
