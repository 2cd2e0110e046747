#include "common/Error.h"
#include "common/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

using namespace std::chrono_literals;

TEST(SerialQueue, RunsWorkInSubmissionOrderOnOneThread)
{
    SerialQueue queue(QStringLiteral("com.tarvell.nimbrel.test"));
    std::vector<int> order;
    std::thread::id worker;
    for (int i = 0; i < 100; ++i) {
        queue.post([&, i] {
            if (i == 0)
                worker = std::this_thread::get_id();
            EXPECT_EQ(std::this_thread::get_id(), worker);
            order.push_back(i);
        });
    }
    queue.sync([] {});
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(SerialQueue, AsyncDeliversResultsAndExceptions)
{
    SerialQueue queue(QStringLiteral("com.tarvell.nimbrel.test"));
    QFuture<int> value = queue.async([] { return 42; });
    EXPECT_EQ(value.result(), 42);

    QFuture<int> failing = queue.async([]() -> int {
        throw Error(QStringLiteral("Test"), 7, QStringLiteral("broken"));
    });
    try {
        failing.waitForFinished();
        FAIL() << "the error did not reach the future";
    } catch (const Error& e) {
        EXPECT_EQ(e.domain(), QStringLiteral("Test"));
        EXPECT_EQ(e.code(), 7);
        EXPECT_EQ(e.message(), QStringLiteral("broken"));
    }
}

TEST(SerialQueue, SyncFromItsOwnThreadDoesNotDeadlock)
{
    SerialQueue queue(QStringLiteral("com.tarvell.nimbrel.test"));
    const int result = queue.sync([&] { return queue.sync([] { return 5; }) + 1; });
    EXPECT_EQ(result, 6);
    EXPECT_THROW(queue.sync([]() -> int { throw std::runtime_error("x"); }), std::runtime_error);
}

TEST(SerialQueue, DrainsQueuedWorkOnDestruction)
{
    std::atomic<int> ran = 0;
    {
        SerialQueue queue(QStringLiteral("com.tarvell.nimbrel.test"));
        queue.post([] { std::this_thread::sleep_for(50ms); });
        for (int i = 0; i < 10; ++i)
            queue.post([&] { ++ran; });
    }
    EXPECT_EQ(ran.load(), 10);
}
