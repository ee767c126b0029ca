#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using Platform::CompareNoCase;

TEST(TextTest, CaseIsIgnoredAndEmptySortsFirst) {
    EXPECT_EQ(CompareNoCase("apple", "Apple"), 0);
    EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
    EXPECT_EQ(CompareNoCase("", "a"), -1);
    EXPECT_EQ(CompareNoCase("a", ""), 1);
    EXPECT_EQ(CompareNoCase("", ""), 0);
    EXPECT_EQ(CompareNoCase("b", "a"), 1);
    EXPECT_EQ(CompareNoCase("a", "B"), -1); // byte order would put "B" first
    EXPECT_EQ(CompareNoCase("ab", "abc"), -1);
}

TEST(TextTest, CodePageLettersFoldToTheirBase) {
    // A umlaut with its capital, and both next to plain a rather than after z.
    EXPECT_EQ(CompareNoCase("\xE4", "\xC4"), 0);
    EXPECT_EQ(CompareNoCase("\xE4rger", "Zorn"), -1);
    EXPECT_EQ(CompareNoCase("\xE4rger", "Apfel"), 1); // r after p, the accent does not decide
    EXPECT_EQ(CompareNoCase("a", "\xE4"), -1);        // same base: plain before accented
    EXPECT_EQ(CompareNoCase("\x9A", "\x8A"), 0);      // s caron pair
    EXPECT_EQ(CompareNoCase("\xFF", "\x9F"), 0);      // y diaeresis pair
    const std::string strasse = "Stra\xDF"
                                "e";
    EXPECT_EQ(CompareNoCase(strasse, "Strase"), 1); // sharp s as one s, then the accent
    EXPECT_EQ(CompareNoCase("\xDF", "t"), -1);      // sharp s sorts as s, not as y diaeresis
    EXPECT_EQ(CompareNoCase("\xFE", "z"), 1);       // thorn after z
}

TEST(TextTest, ClassesOrderSpacesSymbolsDigitsLetters) {
    std::vector<std::string> words{"b", "1", "!x", " ", "A", "\xC9t\xE9", "10", "2", ""};
    std::sort(words.begin(), words.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    const std::vector<std::string> expected{"", " ", "!x", "1", "10", "2", "A", "b", "\xC9t\xE9"};
    EXPECT_EQ(words, expected);
}

TEST(TextTest, LimitedCompareAndPrefix) {
    EXPECT_EQ(CompareNoCase("Playername", "PLAYER", 6), 0);
    EXPECT_EQ(CompareNoCase("Playername", "PLAYEX", 6), -1);
    EXPECT_TRUE(Platform::HasPrefixNoCase("Padawan", "pad"));
    EXPECT_TRUE(Platform::HasPrefixNoCase("\xC4rger", "\xE4"));
    EXPECT_TRUE(Platform::HasPrefixNoCase("x", ""));
    EXPECT_FALSE(Platform::HasPrefixNoCase("pa", "pad"));
    EXPECT_FALSE(Platform::HasPrefixNoCase("bad", "pad"));
}

TEST(TextTest, UpperCaseOfTheCodePage) {
    EXPECT_EQ(Platform::ToUpper("abc xyz 09!"), "ABC XYZ 09!");
    EXPECT_EQ(Platform::ToUpper("\xE4\xF6\xFC\xE9"), "\xC4\xD6\xDC\xC9");
    EXPECT_EQ(Platform::ToUpper("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    // No capital exists for these: sharp s, micro sign, division sign stay.
    EXPECT_EQ(Platform::ToUpper("\xDF\xB5\xF7"), "\xDF\xB5\xF7");
}
