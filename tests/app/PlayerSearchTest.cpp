#include "app/core/PlayerSearch.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// What the window does with the result: each matching row moved to the top, in order.
std::vector<std::string> SearchAndMove(std::string_view text, std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    auto search = PreparePlayerSearch(text);
    if (!search)
        return names;
    for (int row : FindRowsToMoveUp(*search, names)) {
        std::string moved = names[static_cast<std::size_t>(row)];
        names.erase(names.begin() + row);
        names.insert(names.begin(), moved);
    }
    return names;
}

} // namespace

TEST(PlayerSearchTest, PrefixAndContainsModesMoveMatchesToTheTop) {
    const std::vector<std::string> players = {"Tabby", "Abe", "Bob"};
    // Prefix mode: only names that begin with the text, case ignored.
    EXPECT_EQ(SearchAndMove("ab", players), (std::vector<std::string>{"Abe", "Bob", "Tabby"}));
    EXPECT_EQ(SearchAndMove("  aB ", players), (std::vector<std::string>{"Abe", "Bob", "Tabby"}));
    // Contains mode: the matches in reverse alphabetical order, so Tabby takes row 0.
    EXPECT_EQ(SearchAndMove("*ab", players), (std::vector<std::string>{"Tabby", "Abe", "Bob"}));
    // An asterisk alone finds the empty text in every name: the table ends in descending order.
    EXPECT_EQ(SearchAndMove("*", players), (std::vector<std::string>{"Tabby", "Bob", "Abe"}));
    // No match leaves the sorted table as it is.
    EXPECT_EQ(SearchAndMove("zed", players), (std::vector<std::string>{"Abe", "Bob", "Tabby"}));
}

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
