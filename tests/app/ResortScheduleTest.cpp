#include "app/core/ResortSchedule.h"
#include "app/core/MainView.h"

#include <gtest/gtest.h>

TEST(ResortScheduleTest, IntervalsGrowWithTheRows) {
    auto counts = [](int view, int from, int to) {
        std::vector<int> sorted;
        for (int c = from; c <= to; ++c) {
            if (NeedsResort(view, c))
                sorted.push_back(c);
        }
        return sorted;
    };
    // Every row up to 24, then every fifth up to 99, in both views.
    for (int view : {kPlayerView, kServerView}) {
        EXPECT_EQ(counts(view, 20, 32), (std::vector<int>{20, 21, 22, 23, 24, 25, 30}));
        EXPECT_EQ(counts(view, 34, 40), (std::vector<int>{35, 40}));
    }
    EXPECT_EQ(counts(kPlayerView, 96, 100), (std::vector<int>{99, 100}));
    EXPECT_EQ(counts(kServerView, 96, 100), (std::vector<int>{100}));
    // The player view: every tenth up to 499, every 33rd throughout (495 and 528 too).
    EXPECT_EQ(counts(kPlayerView, 60, 70), (std::vector<int>{60, 65, 66, 70}));
    EXPECT_EQ(counts(kPlayerView, 490, 530), (std::vector<int>{490, 495, 528}));
    EXPECT_EQ(counts(kPlayerView, 1000, 1100), (std::vector<int>{1023, 1056, 1089}));
    // The server view: every tenth from 100 on, no multiples of 33.
    EXPECT_EQ(counts(kServerView, 60, 70), (std::vector<int>{60, 65, 70}));
    EXPECT_EQ(counts(kServerView, 1000, 1030), (std::vector<int>{1000, 1010, 1020, 1030}));
}
