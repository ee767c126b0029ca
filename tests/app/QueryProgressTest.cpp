#include "app/core/QueryProgress.h"

#include <gtest/gtest.h>

TEST(QueryProgressTest, BarMovesWithTheCounterAndFitsItsRange) {
    CQueryProgress progress;
    progress.Start(7);
    std::vector<int> positions;
    for (int i = 0; i < 7; ++i) {
        if (progress.OnServerDone())
            positions.push_back(progress.Position());
    }
    // Two per step, never past the range, back to 0 when the run is complete.
    EXPECT_EQ(progress.Range(), 7);
    EXPECT_EQ(positions, (std::vector<int>{2, 4, 6, 0}));
    EXPECT_TRUE(progress.IsComplete());

    // A progress range holds 16 bits.
    progress.Start(100000);
    EXPECT_EQ(progress.Range(), 0xFFFF);
    EXPECT_EQ(progress.Shown(), 100000);
}
