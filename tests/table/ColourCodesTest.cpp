#include "table/ColourCodes.h"

#include "table/CodedText.h"
#include "table/Table.h"
#include "tests/support/FakeDrawContext.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Tavex;
using Platform::RGB;
using TestSupport::DrawOp;
using TestSupport::FakeDrawContext;

namespace {

constexpr Platform::ColorRef kWhite = RGB(255, 255, 255);
constexpr Platform::ColorRef kBlack = RGB(0, 0, 0);
constexpr Platform::ColorRef kDark = RGB(30, 30, 30);

std::string Joined(const std::vector<CColourRun>& runs) {
    std::string text;
    for (const CColourRun& run : runs)
        text += run.m_text;
    return text;
}

} // namespace

TEST(ColourCodesTest, CodesSelectTheGamesColours) {
    const Platform::ColorRef expected[10] = {
        RGB(0, 0, 0),     RGB(255, 0, 0),    RGB(0, 255, 0),   RGB(255, 255, 0),
        RGB(0, 0, 255),   RGB(0, 255, 255),  RGB(255, 0, 255), RGB(255, 255, 255),
        RGB(255, 128, 0), RGB(128, 128, 128)};
    for (int digit = 0; digit < 10; ++digit)
        EXPECT_EQ(CodeColour(static_cast<char>('0' + digit)), expected[digit]) << digit;
    // Any other character c selects ((c - '0') & 7).
    EXPECT_EQ(CodeColour('a'), expected[('a' - '0') & 7]);
    EXPECT_EQ(CodeColour('a'), RGB(255, 0, 0));
    EXPECT_EQ(CodeColour(':'), expected[2]);
    EXPECT_EQ(CodeColour('"'), expected[('"' - '0') & 7]);
    EXPECT_EQ(CodeColour('\xE9'), expected[(0xE9 - '0') & 7]);
}

TEST(ColourCodesTest, RunsLeaveTheCodesOutAndJoinToThePlainText) {
    auto runs = SplitColourCodes("Pre^1Red^7White^^Car^8");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].m_text, "Pre");
    EXPECT_FALSE(runs[0].m_coded);
    EXPECT_EQ(runs[1].m_text, "Red");
    EXPECT_EQ(runs[1].m_colour, RGB(255, 0, 0));
    EXPECT_EQ(runs[2].m_text, "White");
    EXPECT_EQ(runs[3].m_text, "Car"); // "^^" is a code whose character is a caret
    EXPECT_EQ(Joined(runs), "PreRedWhiteCar");

    EXPECT_EQ(Joined(SplitColourCodes("end^")), "end"); // a caret at the end is dropped
    EXPECT_TRUE(SplitColourCodes("^1^2").empty());
    EXPECT_TRUE(SplitColourCodes("").empty());
}

TEST(ColourCodesTest, ContrastFollowsTheAccessibilityFormula) {
    EXPECT_NEAR(ContrastRatio(kBlack, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(kWhite, kBlack), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RGB(255, 0, 0), kWhite), 3.998, 0.001);
    EXPECT_NEAR(RelativeLuminance(RGB(0, 255, 0)), 0.7152, 1e-9);
}

TEST(ColourCodesTest, ColoursAreMadeLegibleOnLightAndDarkRows) {
    const Platform::ColorRef light[] = {kWhite, RGB(240, 240, 240), RGB(255, 255, 220)};
    const Platform::ColorRef dark[] = {kDark, kBlack, RGB(20, 40, 80)};
    for (char code : std::string("0123456789a")) {
        for (Platform::ColorRef bg : light) {
            const auto c = LegibleColour(CodeColour(code), bg, kBlack);
            EXPECT_GE(ContrastRatio(c, bg), kMinimumContrast) << code << " on " << bg;
        }
        for (Platform::ColorRef bg : dark) {
            const auto c = LegibleColour(CodeColour(code), bg, kWhite);
            EXPECT_GE(ContrastRatio(c, bg), kMinimumContrast) << code << " on " << bg;
        }
    }
    // Colours that read already stay as they are; others keep their hue.
    EXPECT_EQ(LegibleColour(RGB(255, 0, 0), kWhite, kBlack), RGB(255, 0, 0));
    const auto blue = LegibleColour(RGB(0, 0, 255), kDark, kWhite);
    EXPECT_EQ(blue & 0xFF, (blue >> 8) & 0xFF) << "blue stays blue";
    EXPECT_EQ((blue >> 16) & 0xFF, 255u);
    const auto yellow = LegibleColour(RGB(255, 255, 0), kWhite, kBlack);
    EXPECT_NE(yellow, RGB(255, 255, 0));
    EXPECT_EQ(yellow & 0xFF, (yellow >> 8) & 0xFF) << "yellow stays yellow";
    EXPECT_EQ((yellow >> 16) & 0xFF, 0u);
    // The least change: one step lighter would not read.
    EXPECT_LT(ContrastRatio(yellow + 0x000303, kWhite), kMinimumContrast + 0.1);
    // White on a light row and black on a dark one are drawn in the text colour.
    EXPECT_EQ(LegibleColour(kWhite, kWhite, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(LegibleColour(kBlack, kDark, RGB(200, 200, 200)), RGB(200, 200, 200));
    // A text colour that does not read on the row is no help: the grey is moved instead.
    const auto grey = LegibleColour(kWhite, kWhite, RGB(250, 250, 250));
    EXPECT_GE(ContrastRatio(grey, kWhite), kMinimumContrast);
    EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
}

TEST(ColourCodesTest, CodedColumnsDrawRunsButKeepThePlainValue) {
    CCodedStringCol col;
    CTable table;
    table.SetColumnCount(1);
    table.SetColumn(0, col.CreateFactory(), col.CreateCompare());
    table.Build();
    SetCodedText(table.AddRow()->GetCell(0), "RedServer", "^1Red^7Server");
    EXPECT_EQ(table.GetCell(0, 0)->GetString(), "RedServer");
    // A copied row keeps both texts.
    table.AddRowCopy(table.GetRow(0));
    EXPECT_EQ(static_cast<CDCodedString*>(table.GetCell(1, 0))->Coded(), "^1Red^7Server");

    std::unique_ptr<CCellOutput> out(col.CreateOutput());
    EXPECT_EQ(out->GetText(*table.GetCell(0, 0)), "RedServer");
    FakeDrawContext dc;
    out->Begin(dc);
    out->SetRowBackground(kWhite);
    out->Draw({0, 0, 200, 15}, *table.GetCell(0, 0), false);
    out->End();
    std::vector<DrawOp> texts;
    for (const DrawOp& op : dc.Ops())
        if (op.kind == DrawOp::Kind::Text)
            texts.push_back(op);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Red");
    EXPECT_EQ(texts[0].colour, RGB(255, 0, 0));
    EXPECT_EQ(texts[0].rect.left, 0);
    EXPECT_EQ(texts[1].text, "Server");
    EXPECT_EQ(texts[1].colour, kBlack) << "white on a light row is drawn in the text colour";
    EXPECT_EQ(texts[1].rect.left, 3 * FakeDrawContext::kCharWidth);

    // A coded text that does not read as the plain one is not drawn: the plain one is.
    SetCodedText(table.GetCell(1, 0), "Other", "^1Red");
    dc.ClearOps();
    out->Begin(dc);
    out->Draw({0, 0, 200, 15}, *table.GetCell(1, 0), false);
    out->End();
    ASSERT_EQ(dc.Ops().size(), 1u);
    EXPECT_EQ(dc.Ops()[0].text, "Other");
    EXPECT_EQ(dc.Ops()[0].colour, kBlack);

    // Selected rows and colours off draw the plain text in one colour.
    for (bool selected : {true, false}) {
        col.SetColoursShown(selected);
        dc.ClearOps();
        out->Begin(dc);
        out->Draw({0, 0, 200, 15}, *table.GetCell(0, 0), selected);
        out->End();
        int drawn = 0;
        for (const DrawOp& op : dc.Ops())
            if (op.kind == DrawOp::Kind::Text) {
                ++drawn;
                EXPECT_EQ(op.text, "RedServer");
                EXPECT_EQ(op.colour, selected ? out->GetLook().m_selectedTextColour : kBlack);
            }
        EXPECT_EQ(drawn, 1);
    }
}
