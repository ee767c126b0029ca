#include "app/core/QueryProgress.h"

#include <gtest/gtest.h>

TEST(QueryProgressTest, CountsDownInStepsOfTwo) {
    CQueryProgress progress;
    progress.Start(7);
    EXPECT_EQ(progress.Shown(), 7);
    EXPECT_EQ(progress.Range(), 7);
    std::vector<int> shown;
    std::vector<int> positions;
    for (int i = 0; i < 7; ++i) {
        bool changed = progress.OnServerDone();
        EXPECT_EQ(changed, (7 - i - 1) % 2 == 0);
        EXPECT_EQ(progress.IsComplete(), i == 6);
        if (changed) {
            shown.push_back(progress.Shown());
            positions.push_back(progress.Position());
        }
        EXPECT_EQ(progress.Shown() % 2, 0); // never an odd value
    }
    EXPECT_EQ(shown, (std::vector<int>{6, 4, 2, 0}));
    // The bar moves with the counter and goes back to 0 when the run is complete.
    EXPECT_EQ(positions, (std::vector<int>{2, 4, 6, 0}));

    progress.Start(100000);
    EXPECT_EQ(progress.Range(), 0xFFFF);
    progress.Start(0);
    EXPECT_EQ(progress.Shown(), 0);
}
