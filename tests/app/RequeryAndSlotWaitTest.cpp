#include "app/core/RequerySchedule.h"
#include "app/core/SlotWait.h"

#include "query/ServerRecord.h"

#include <gtest/gtest.h>

TEST(RequeryScheduleTest, DueAfterTheIntervalOfQuietOnlyWhileIdle) {
    CRequerySchedule schedule;
    EXPECT_FALSE(schedule.IsDue(10'000'000, true)); // off

    schedule.Configure(true, 60, 1000);
    EXPECT_FALSE(schedule.IsDue(60'999, true));
    EXPECT_TRUE(schedule.IsDue(61'000, true));
    // Busy, minimised or under a dialog: not now, but as soon as the window is idle again.
    EXPECT_FALSE(schedule.IsDue(90'000, false));
    EXPECT_TRUE(schedule.IsDue(90'001, true));
    // A query or refresh starts the interval again.
    schedule.OnActivity(90'000);
    EXPECT_FALSE(schedule.IsDue(149'999, true));
    EXPECT_TRUE(schedule.IsDue(150'000, true));

    // Never more often than every 15 s, and the tick count may wrap.
    schedule.Configure(true, 3, 0xFFFFF000u);
    EXPECT_EQ(schedule.Seconds(), 15u);
    EXPECT_FALSE(schedule.IsDue(0xFFFFF000u + 14'999, true));
    EXPECT_TRUE(schedule.IsDue(0xFFFFF000u + 15'000, true));
    schedule.Configure(false, 60, 0);
    EXPECT_FALSE(schedule.IsDue(1'000'000, true));
}

TEST(RequeryScheduleTest, TypedIntervalsAreKeptWithinBounds) {
    EXPECT_EQ(RequerySecondsOfText("90"), 90u);
    EXPECT_EQ(RequerySecondsOfText("5"), 15u);
    EXPECT_EQ(RequerySecondsOfText(""), 60u);
    EXPECT_EQ(RequerySecondsOfText("-20"), 60u);
    EXPECT_EQ(RequerySecondsOfText("soon"), 60u);
    EXPECT_EQ(RequerySecondsOfText("99999999999999999999"), 60u);
    EXPECT_EQ(RequerySecondsOfText("9999999"), 86400u);
}

namespace {

CServerRecord Status(int players, int maxClients) {
    CServerRecord record(CSockAddr("127.0.0.1:27960"));
    record.m_name = "Busy";
    record.m_maxClients = maxClients;
    for (int i = 0; i < players; ++i)
        record.m_players.push_back({"p" + std::to_string(i), 0, i == 0 ? 0 : 50});
    return record;
}

} // namespace

TEST(SlotWaitTest, AsksEveryFiveSecondsAndJoinsOnceWhenASlotIsFree) {
    EXPECT_TRUE(CSlotWait::IsFull(Status(4, 4)));
    EXPECT_FALSE(CSlotWait::IsFull(Status(3, 4)));
    EXPECT_FALSE(CSlotWait::IsFull(Status(0, 0))); // no maximum known

    CSlotWait wait;
    wait.Start(CSockAddr("127.0.0.1:27960"), "Busy", 100'000);
    EXPECT_TRUE(wait.IsWaiting());
    EXPECT_EQ(wait.StatusText(), "Waiting for a free slot on Busy \x85 (Esc to stop)");
    EXPECT_TRUE(wait.IsAskDue(100'000)); // at once
    wait.OnAsked(100'000);
    EXPECT_FALSE(wait.IsAskDue(104'999));
    EXPECT_TRUE(wait.IsAskDue(105'000));

    // Still full (a bot counts, since it takes a slot): go on.
    EXPECT_EQ(wait.OnStatus(Status(4, 4), true, 105'100), CSlotWait::EOutcome::Keep);
    EXPECT_EQ(wait.OnStatus(Status(3, 4), true, 110'100), CSlotWait::EOutcome::Join);
    EXPECT_FALSE(wait.IsWaiting());
    // Once only: a later status finds nothing waiting.
    EXPECT_EQ(wait.OnStatus(Status(2, 4), true, 115'100), CSlotWait::EOutcome::Keep);
    EXPECT_FALSE(wait.IsAskDue(200'000));
}

TEST(SlotWaitTest, AMinuteWithoutAnAnswerEndsTheWaitAndStopEndsItAtOnce) {
    CSlotWait wait;
    wait.Start(CSockAddr("127.0.0.1:27960"), "Busy", 0);
    EXPECT_EQ(wait.OnStatus(Status(4, 4), true, 10'000), CSlotWait::EOutcome::Keep);
    EXPECT_EQ(wait.OnStatus(Status(0, 0), false, 40'000), CSlotWait::EOutcome::Keep);
    EXPECT_EQ(wait.OnTick(69'999), CSlotWait::EOutcome::Keep);
    EXPECT_EQ(wait.OnTick(70'000), CSlotWait::EOutcome::GiveUp);
    EXPECT_FALSE(wait.IsWaiting());

    wait.Start(CSockAddr("127.0.0.1:27961"), "Other", 0);
    wait.Stop();
    EXPECT_FALSE(wait.IsWaiting());
    EXPECT_EQ(wait.OnStatus(Status(1, 4), true, 1000), CSlotWait::EOutcome::Keep);
}
