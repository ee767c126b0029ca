#include "query/MasterList.h"

#include <gtest/gtest.h>

TEST(MasterListTest, TextsSplitOnBlanksCommasAndSemicolonsAndJoinWithBlanks) {
    EXPECT_EQ(SplitMasterTexts(" a:1,b:2 ;; c\td\n"),
              (std::vector<std::string>{"a:1", "b:2", "c", "d"}));
    EXPECT_TRUE(SplitMasterTexts(" , ; ").empty());
    EXPECT_EQ(JoinMasterTexts({"a:1", "b"}), "a:1 b");
    EXPECT_EQ(JoinMasterTexts({}), "");
}

TEST(MasterListTest, ResolvingKeepsTheTextsAndAsksEachAddressOnce) {
    // Names come from /etc/hosts alone in tests: "localhost" resolves, ".invalid" never does.
    const std::vector<CMasterTarget> targets =
        ResolveMasters({"localhost:29000", "127.0.0.1:29000", "no-such-master.invalid:28060",
                        "127.0.0.2", "localhost:29000"});
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0].m_text, "localhost:29000");
    EXPECT_TRUE(targets[0].m_resolved);
    EXPECT_EQ(targets[0].m_address.Format(), "127.0.0.1:29000");
    EXPECT_EQ(targets[1].m_text, "no-such-master.invalid:28060");
    EXPECT_FALSE(targets[1].m_resolved);
    // No port given: the masters' own.
    EXPECT_EQ(targets[2].m_address.Format(), "127.0.0.2:28060");
}
