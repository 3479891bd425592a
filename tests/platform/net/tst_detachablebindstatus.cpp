#include "tests/support/conditionwait.h"
#include "platform/core/detachablebindstatus.h"
#include "tests/support/progresscollector.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace kivora {
namespace {

TEST(DetachableBindStatus, ForwardsProgressUntilDetached)
{
    test::ProgressCollector target;
    DetachableBindStatus sink(&target);

    EXPECT_EQ(sink.OnProgress(0, 0, 1, u"x"), E_NOTIMPL);
    EXPECT_EQ(sink.OnProgress(5, 10, 5, nullptr), E_NOTIMPL);
    sink.detach();
    EXPECT_EQ(sink.OnProgress(10, 10, 6, nullptr), E_NOTIMPL);

    const std::vector<test::ProgressReport> reports = target.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].status, 1u);
    EXPECT_EQ(reports[1].progress, 5u);
    EXPECT_EQ(reports[1].total, 10u);
    EXPECT_EQ(reports[1].status, 5u);
}

TEST(DetachableBindStatus, EveryOtherOperationAnswersNotImplementedAndWritesNothing)
{
    test::ProgressCollector target;
    DetachableBindStatus sink(&target);
    std::int32_t priority = 7;
    std::uint32_t flags = 9;
    const std::vector<std::pair<const char *, std::function<HRESULT()>>> operations = {
        {"OnStartBinding", [&] { return sink.OnStartBinding(0, nullptr); }},
        {"GetPriority", [&] { return sink.GetPriority(&priority); }},
        {"OnLowResource", [&] { return sink.OnLowResource(0); }},
        {"OnStopBinding", [&] { return sink.OnStopBinding(E_FAIL, u"error"); }},
        {"GetBindInfo", [&] { return sink.GetBindInfo(&flags, nullptr); }},
        {"OnDataAvailable", [&] { return sink.OnDataAvailable(0, 0, nullptr, nullptr); }},
        {"OnObjectAvailable", [&] { return sink.OnObjectAvailable(nullptr, nullptr); }},
    };
    for (const auto &[name, call] : operations) {
        SCOPED_TRACE(name);
        EXPECT_EQ(call(), E_NOTIMPL);
    }
    EXPECT_EQ(priority, 7);
    EXPECT_EQ(flags, 9u);
    EXPECT_EQ(target.count(), 0u);
}

// A target whose OnProgress holds until released, noting whether detach() had already
// returned by the time the call ends.
class HeldTarget final : public test::ProgressCollector
{
public:
    HRESULT OnProgress(std::uint32_t p, std::uint32_t t, std::uint32_t s, const char16_t *text) override
    {
        entered = true;
        test::waitUntil([this] { return released.load(); });
        if (detachReturned)
            detachReturnedDuringCall = true;
        return ProgressCollector::OnProgress(p, t, s, text);
    }

    std::atomic<bool> entered{false};
    std::atomic<bool> released{false};
    std::atomic<bool> detachReturned{false};
    std::atomic<bool> detachReturnedDuringCall{false};
};

TEST(DetachableBindStatus, DetachWaitsForACallInProgress)
{
    HeldTarget target;
    DetachableBindStatus sink(&target);
    std::thread job([&sink] { sink.OnProgress(1, 2, 5, nullptr); });
    ASSERT_TRUE(test::waitUntil([&] { return target.entered.load(); }));

    std::atomic<bool> detaching{false};
    std::thread window([&] {
        detaching = true;
        sink.detach();
        target.detachReturned = true;
    });
    ASSERT_TRUE(test::waitUntil([&] { return detaching.load(); }));
    target.released = true;
    job.join();
    window.join();

    EXPECT_FALSE(target.detachReturnedDuringCall);
    EXPECT_EQ(target.count(), 1u);
    sink.OnProgress(2, 2, 6, nullptr);
    EXPECT_EQ(target.count(), 1u);
}

} // namespace
} // namespace kivora
