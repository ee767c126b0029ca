#include "platform/qt/Cp1252.h"

#include <gtest/gtest.h>

using namespace PlatformQt;

TEST(Cp1252Test, SpecialBytesMapBothWays) {
    EXPECT_EQ(FromCp1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(FromCp1252("\x9F"), QString(QChar(0x0178)));
    EXPECT_EQ(FromCp1252("\xE4"), QString(QChar(0x00E4)));
    EXPECT_EQ(FromCp1252("a\x93q\x94"), QString::fromUtf8("a\u201Cq\u201D"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("\u20AC \u0178 \u00E4")), "\x80 \x9F \xE4");
    // An embedded zero byte is a character like any other.
    EXPECT_EQ(FromCp1252(std::string_view("a\0b", 3)).size(), 3);
}

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    QString text = FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToCp1252(text), all);
    // The bytes Windows-1252 leaves undefined stand for the control characters of their number.
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text[b].unicode(), b);
}

TEST(Cp1252Test, CharactersWithoutAByteBecomeQuestionMarks) {
    // U+0080 is not a Windows-1252 character (0x80 is the euro sign).
    EXPECT_EQ(ToCp1252(QString(QChar(0x0080))), "?");
    EXPECT_EQ(ToCp1252(QString::fromUtf8("\u0100\u4E2D")), "??");
    // A character outside the basic plane is one "?", not two.
    EXPECT_EQ(ToCp1252(QString::fromUtf8("x\U0001F600y")), "x?y");
    // A lone surrogate is one "?" too.
    EXPECT_EQ(ToCp1252(QString(QChar(0xD800))), "?");
}
