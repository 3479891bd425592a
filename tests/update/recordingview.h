#pragma once

#include "platform/core/windowmessages.h"
#include "update/updateflow.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace kivora::test {

// The window's thread, played by the test's own: queued calls wait here until run.
class CallQueue
{
public:
    void post(std::function<void()> call)
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
        m_changed.notify_all();
    }
    // Runs queued calls until `done` holds; false when nothing more came for a long while.
    bool runUntil(const std::function<bool()> &done)
    {
        while (!done()) {
            std::unique_lock lock(m_mutex);
            if (!m_changed.wait_for(lock, std::chrono::seconds(60), [this] { return !m_calls.empty(); }))
                return false;
            std::function<void()> call = std::move(m_calls.front());
            m_calls.pop_front();
            lock.unlock();
            call();
        }
        return true;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_calls;
};

// The launcher window as the update sees it: it answers the question with `agrees` and
// notes what it was asked to show.
class RecordingView : public UpdateView
{
public:
    void showNoUpdate() override { noUpdate = true; }
    bool askToUpdate() override
    {
        asked = true;
        return agrees;
    }
    void showUpdateBegun() override { begun = true; }
    void showProgress(std::intptr_t percent) override { lastPercent = percent; }
    void showUpdateSaved(bool succeeded) override
    {
        saved = true;
        savedSucceeded = succeeded;
    }
    void showUpdateFailed() override { failed = true; }
    void showUpdateRefused() override { refused = true; }

    bool ended() const { return noUpdate || (asked && !agrees) || saved || failed || refused; }

    bool agrees = true;
    bool noUpdate = false;
    bool asked = false;
    bool begun = false;
    bool saved = false;
    bool savedSucceeded = false;
    bool failed = false;
    bool refused = false;
    std::intptr_t lastPercent = -2;
};

// One click on the update site with the version file at `address`, carried through to its
// end: the check's outcome and the fetch job's reports reach the flow as queued calls, as
// they reach the window. False when it did not end.
inline bool runUpdateCheck(RecordingView &view, const std::string &address)
{
    CallQueue queue;
    UpdateFlow flow(
        view, [&queue](std::function<void()> call) { queue.post(std::move(call)); },
        [](const std::function<void()> &step) { step(); }, std::u16string(address.begin(), address.end()));
    const WindowHandle window = WindowMessages::attach([&](unsigned, std::uintptr_t, std::intptr_t percent) {
        queue.post([&flow, percent] { flow.jobReport(percent); });
    });
    flow.check(window);
    const bool ended = queue.runUntil([&view] { return view.ended(); });
    WindowMessages::detach(window);
    return ended;
}

} // namespace kivora::test
