#include "net/SysEvent.h"

#include "net/SockUDP.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(SysEventTest, AutoResetEventReleasesOneWaitThenIsClear) {
    CSysEvent event;
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    event.SetEvent();
    event.SetEvent(); // two requests are still one signal
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);

    CSysEvent initially(true);
    EXPECT_EQ(WaitForSingleObject(initially, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(initially, 0), WAIT_TIMEOUT);

    CSysEvent manual(true, true);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    manual.ResetEvent();
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
}

TEST(SysEventTest, StopRequestWithoutWorkerIsClearedByTheNextStart) {
    CSysEvent stop;
    stop.SetEvent();   // stop asked while nothing runs
    stop.ResetEvent(); // the next run starts
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_TIMEOUT);
}

TEST(SysEventTest, SetFromAnotherThreadWakesExactlyOneWaiter) {
    CSysEvent event;
    std::atomic<int> woken{0};
    std::atomic<int> started{0};
    auto waiter = [&] {
        ++started;
        if (WaitForSingleObject(event, 1500) == WAIT_OBJECT_0) {
            ++woken;
        }
    };
    std::thread first(waiter);
    std::thread second(waiter);
    while (started < 2) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(50ms);
    event.SetEvent();
    first.join();
    second.join();
    EXPECT_EQ(woken, 1);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(SysEventTest, TimeOutAndFailure) {
    CSysEvent event;
    const auto begin = Clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 60), WAIT_TIMEOUT);
    EXPECT_GE(Clock::now() - begin, 55ms);
    EXPECT_EQ(WaitForMultipleObjects({}, 0), WAIT_FAILED);

    CSysTimer idle; // never started: never signals
    EXPECT_EQ(WaitForSingleObject(idle, 30), WAIT_TIMEOUT);
}

TEST(SysTimerTest, FirstExpiryComesAtOnceThenOncePerPeriod) {
    CSysTimer timer(60000);
    // Well before the period: the first tick must not wait for it.
    EXPECT_EQ(WaitForSingleObject(timer, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(timer, 50), WAIT_TIMEOUT);

    CSysTimer fast(0);
    fast.Start(30);
    EXPECT_EQ(WaitForSingleObject(fast, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(fast, 5000), WAIT_OBJECT_0); // the next period
}

TEST(SysTimerTest, MissedExpiriesDoNotPileUp) {
    const auto period = 300ms;
    CSysTimer timer(300);
    std::this_thread::sleep_for(3 * period + 50ms); // at least four expiries nobody took
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
    const auto taken = Clock::now();
    const std::uint32_t again = WaitForSingleObject(timer, 0);
    if (Clock::now() - taken < period / 2) {
        EXPECT_EQ(again, WAIT_TIMEOUT);
    }
}

TEST(SysEventTest, MultiWaitReportsStopBeforeSocketBeforeTimer) {
    // Given all three sources signalled at once
    CSysEvent stop;
    CSysTimer timer(60000);
    CSockUDP socket;
    socket.Open(CSockAddr("127.0.0.1:0"));
    CSockUDP sender;
    sender.Open(CSockAddr("127.0.0.1:0"));
    ASSERT_EQ(sender.Send(std::string("ping"), socket.GetLocalAddress()), 0);
    ASSERT_EQ(WaitForSingleObject(socket.GetEvent(), 5000), WAIT_OBJECT_0);
    stop.SetEvent();
    std::this_thread::sleep_for(20ms); // the timer's first tick is surely there

    auto wait = [&] { return WaitForMultipleObjects({&stop, &socket.GetEvent(), &timer}, 1000); };
    // Then the stop event wins, and its signal is consumed
    EXPECT_EQ(wait(), WAIT_OBJECT_0);
    // then the socket, which stays ready until its datagram is read
    EXPECT_EQ(wait(), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(wait(), WAIT_OBJECT_0 + 1);
    std::string text;
    EXPECT_EQ(socket.Receive(text), 0);
    // and the timer's tick was not lost while the others went first
    EXPECT_EQ(wait(), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects({&stop, &socket.GetEvent(), &timer}, 0), WAIT_TIMEOUT);
}

TEST(SysEventTest, StopFromWindowThreadEndsAWorkerWait) {
    CSysEvent stop;
    CSysTimer timer(60000);
    std::atomic<std::uint32_t> result{WAIT_FAILED};
    std::thread worker([&] {
        // Take the immediate tick first, then block until stopped.
        if (WaitForMultipleObjects({&stop, &timer}) == WAIT_OBJECT_0 + 1) {
            result = WaitForMultipleObjects({&stop, &timer});
        }
    });
    std::this_thread::sleep_for(30ms);
    stop.SetEvent();
    worker.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
}
