#include "app/core/ServerFilter.h"

#include <gtest/gtest.h>

TEST(ServerFilterTest, EmptyAndFullServers) {
    // Both boxes on: everything, a timed-out server with 0/0 as well.
    EXPECT_TRUE(IsServerShown(0, 0, true, true));
    // Empty servers need their box; the answer still counts elsewhere.
    EXPECT_FALSE(IsServerShown(0, 16, false, true));
    EXPECT_TRUE(IsServerShown(1, 16, false, true));
    // Full servers need theirs; 0 maximum players is never "not full".
    EXPECT_FALSE(IsServerShown(16, 16, true, false));
    EXPECT_FALSE(IsServerShown(17, 16, true, false));
    EXPECT_TRUE(IsServerShown(15, 16, true, false));
    EXPECT_FALSE(IsServerShown(0, 0, true, false));
    // Compared unsigned: a negative maximum is a huge one, a negative count a huge count.
    EXPECT_TRUE(IsServerShown(3, -1, true, false));
    EXPECT_FALSE(IsServerShown(-1, 16, true, false));
    EXPECT_EQ(PlayersText(3, 16), "3/16");
    EXPECT_EQ(PlayersText(0, 0), "0/0");
}
