#include "app/core/PlayerSearch.h"

#include "app/core/SearchHistory.h"

#include <gtest/gtest.h>

TEST(PlayerSearchTest, OnlyOneLeadingAsteriskIsSpecial) {
    auto search = PreparePlayerSearch(" **x? ");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->m_text, "**x?");
    EXPECT_TRUE(search->m_contains);
    EXPECT_EQ(search->m_pattern, "*X?");
    EXPECT_TRUE(MatchesPlayer(*search, "a*x?b"));
    EXPECT_FALSE(MatchesPlayer(*search, "axb"));

    // An asterisk elsewhere is a plain character in prefix mode.
    auto prefix = PreparePlayerSearch("a*");
    ASSERT_TRUE(prefix);
    EXPECT_FALSE(prefix->m_contains);
    EXPECT_TRUE(MatchesPlayer(*prefix, "A*bc"));
    EXPECT_FALSE(MatchesPlayer(*prefix, "Abc"));

    EXPECT_FALSE(PreparePlayerSearch(" \t "));
    EXPECT_FALSE(PreparePlayerSearch(""));
}

TEST(PlayerSearchTest, UpperCasesTheCodePage) {
    // Accented letters of Windows-1252 match their capitals; a longer pattern never matches.
    auto search = PreparePlayerSearch("*\xE9t\xE9");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->m_pattern, "\xC9T\xC9");
    EXPECT_TRUE(MatchesPlayer(*search, "L'\xC9T\xC9"));
    EXPECT_TRUE(MatchesPlayer(*search, "l'\xE9t\xE9"));
    EXPECT_FALSE(MatchesPlayer(*search, "ete"));
    EXPECT_FALSE(MatchesPlayer(*PreparePlayerSearch("abcdef"), "abc"));
    // Colour codes and other bytes are matched as they stand.
    EXPECT_TRUE(MatchesPlayer(*PreparePlayerSearch("^1pa"), "^1Padawan"));
}

TEST(PlayerSearchTest, ALineEndNeverSplitsTheSavedHistory) {
    // The history is saved one item a line, so a pasted line end would come back as two.
    auto search = PreparePlayerSearch("\nAbe\r\nBob\n");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->m_text, "Abe  Bob");
    CSearchHistory history;
    history.AddIfNew(search->m_text);
    EXPECT_EQ(CSearchHistory::FromSetting(history.ToSetting()).Items(),
              std::vector<std::string>{"Abe  Bob"});
}
