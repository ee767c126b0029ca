#include "table/CellOutput.h"

#include "table/Cells.h"
#include "table/ColDef.h"
#include "table/Enum.h"
#include "table/Table.h"
#include "tests/support/FakeDrawContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

using namespace Tavex;
using TestSupport::DrawOp;
using TestSupport::FakeDrawContext;

namespace {

CLocaleSettings Locale(const char* thousand, int grouping, int negativeOrder) {
    CLocaleSettings s;
    s.m_thousand = thousand;
    s.m_grouping = grouping;
    s.m_negativeOrder = negativeOrder;
    return s;
}

std::string Text(const CIntFormat& format, int value) {
    char buffer[64];
    return format.FormatInt(value, buffer, sizeof buffer);
}

CCellLook Look() {
    CCellLook look;
    look.m_textColour = 0x111111;
    look.m_selectedTextColour = 0x222222;
    look.m_font.face = "CellFont";
    return look;
}

} // namespace

TEST(CellOutputTest, IntegerTextsFollowTheLocale) {
    const CLocaleSettings german = Locale(".", 3, 1);
    const CIntFormat de(false, german);
    EXPECT_EQ(Text(de, 1234567), "1.234.567");
    EXPECT_EQ(Text(de, -1234), "-1.234");
    EXPECT_EQ(Text(de, 999), "999");
    EXPECT_EQ(Text(de, 0), "0");
    const CLocaleSettings english = Locale(",", 3, 1);
    EXPECT_EQ(Text(CIntFormat(false, english), INT_MIN), "-2,147,483,648");

    const CLocaleSettings paren = Locale(",", 3, 0), spaced = Locale(",", 3, 2),
                          after = Locale(",", 3, 3), afterSpaced = Locale(",", 3, 4);
    EXPECT_EQ(Text(CIntFormat(false, paren), -5), "(5)");
    EXPECT_EQ(Text(CIntFormat(false, spaced), -5), "- 5");
    EXPECT_EQ(Text(CIntFormat(false, after), -5000), "5,000-");
    EXPECT_EQ(Text(CIntFormat(false, afterSpaced), -5), "5 -");

    const CLocaleSettings none = Locale(",", 0, 1), indian = Locale(",", 32, 1),
                          nbsp = Locale("\xA0", 3, 1);
    EXPECT_EQ(Text(CIntFormat(false, none), 1234567), "1234567");
    EXPECT_EQ(Text(CIntFormat(false, indian), 1234567), "12,34,567");
    EXPECT_EQ(Text(CIntFormat(false, nbsp), 12345), "12\xA0"
                                                    "345");

    // A format switched to another locale formats by it; a short buffer is cut, not overrun.
    CIntFormat switched(false, german);
    switched.SetLocale(english);
    EXPECT_EQ(Text(switched, 1000), "1,000");
    char tiny[4];
    EXPECT_STREQ(switched.FormatInt(123456, tiny, sizeof tiny), "123");
}

TEST(CellOutputTest, LocaleFromTheCLibraryFallsBack) {
    const CLocaleSettings c = CLocaleSettings::FromCLibrary("C");
    EXPECT_EQ(c.m_thousand, ",");
    EXPECT_EQ(c.m_grouping, 3);
    EXPECT_EQ(c.m_decimal, ".");
    const CLocaleSettings bad = CLocaleSettings::FromCLibrary("xx_NOWHERE.bogus");
    EXPECT_EQ(bad.m_thousand, ",");
    EXPECT_EQ(bad.m_negativeOrder, 1);
}

TEST(CellOutputTest, IntegerColoursAndMeasures) {
    const CLocaleSettings english = Locale(",", 3, 1);
    CIntCol column(kIntColumnFormat, CIntFormat(true, english));
    std::unique_ptr<CCellOutput> out(column.CreateOutput());
    const CCellLook look = Look();
    out->SetLook(&look);
    FakeDrawContext dc;
    out->Begin(dc);
    EXPECT_EQ(dc.Current().font.face, "CellFont");
    EXPECT_EQ(dc.Current().bkMode, Platform::TRANSPARENT);

    const Platform::Rect rect{0, 0, 100, 15};
    out->Draw(rect, CDInt(-5), false);
    out->Draw(rect, CDInt(-5), true);
    out->Draw(rect, CDInt(0), false);
    out->Draw(rect, CDInt(1234), true);
    ASSERT_EQ(dc.Ops().size(), 4u);
    EXPECT_EQ(dc.Ops()[0].colour, 0x0000FFu); // red, also when selected
    EXPECT_EQ(dc.Ops()[1].colour, 0x0000FFu);
    EXPECT_EQ(dc.Ops()[2].colour, 0x111111u);
    EXPECT_EQ(dc.Ops()[3].colour, 0x222222u);
    EXPECT_EQ(dc.Ops()[3].text, "1,234");
    EXPECT_EQ(dc.Ops()[3].format, 35110u);
    EXPECT_EQ(out->GetText(CDInt(-1234567)), "-1,234,567");

    EXPECT_EQ(out->GetRowHeight(), 15);
    EXPECT_EQ(out->GetMinWidth(), 4 * 7);         // "0..."
    EXPECT_EQ(out->GetDefaultWidth(), 13 * 7);    // "1,073,741,823"
    EXPECT_EQ(out->GetTextWidth(CDInt(-10)), 21); // "-10"
    out->End();
    EXPECT_EQ(dc.SavedLevels(), 0);
    EXPECT_EQ(dc.Current().bkMode, Platform::OPAQUE);
    EXPECT_EQ(out->GetTextWidth(CDInt(5)), 0); // nothing to measure with outside Begin/End
}

TEST(CellOutputTest, IntegerContentWidthMeasuresOnlyExtremes) {
    CTable t;
    t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.Build();
    const CLocaleSettings english = Locale(",", 3, 1);
    CIntFormat format(false, english);
    format.m_special = true;
    format.m_specialText = "unknown value";
    format.m_specialValue = -1;
    CIntOut out(kIntColumnFormat, format);
    FakeDrawContext dc;
    out.Begin(dc);
    EXPECT_EQ(out.GetContentWidth(*t.GetColumnData(0)), 0);
    EXPECT_TRUE(dc.Measured().empty());

    for (int v : {5, 120000, 7, -3, 42, 9})
        t.AddRow()->GetCell(0)->SetInt(v);
    dc.ClearMeasured();
    EXPECT_EQ(out.GetContentWidth(*t.GetColumnData(0)), 7 * 7); // "120,000"
    EXPECT_EQ(dc.Measured(), (std::vector<std::string>{"-3", "120,000"}));

    t.AddRow()->GetCell(0)->SetInt(-1); // the special value: its text is measured as well
    dc.ClearMeasured();
    EXPECT_EQ(out.GetContentWidth(*t.GetColumnData(0)), 13 * 7);
    EXPECT_EQ(dc.Measured().size(), 3u);
    EXPECT_EQ(out.GetText(CDInt(-1)), "unknown value");
    EXPECT_EQ(out.GetTextColour(CDInt(-1), false), 0xA9A9A9u);
    out.End();
}

TEST(CellOutputTest, StringTextsTipsAndSpecialText) {
    CStringCol column;
    std::unique_ptr<CCellOutput> out(column.CreateOutput());
    FakeDrawContext dc;
    out->Begin(dc);
    const CDString cell("Padawan"); // 49 px
    EXPECT_EQ(out->GetTipText(cell, 49), "");
    EXPECT_EQ(out->GetTipText(cell, 48), "Padawan");
    EXPECT_EQ(out->GetTextColour(cell, true), kNoColour);

    CTable t;
    t.AddColumn(new CFAny<CDString>, new CCellCompare);
    t.Build();
    for (const char* s : {"ab", "abcdef", ""})
        t.AddRow()->GetCell(0)->SetString(s);
    EXPECT_EQ(out->GetContentWidth(*t.GetColumnData(0)), 42);
    EXPECT_EQ(out->GetDefaultWidth(), 80);
    EXPECT_EQ(out->GetMinWidth(), 28);
    out->End();

    CFormat special;
    special.m_special = true;
    special.m_specialText = "(none)";
    CStringOut withSpecial(kStringColumnFormat, special);
    EXPECT_EQ(withSpecial.GetText(CDString("")), "(none)");
    EXPECT_EQ(withSpecial.GetTextColour(CDString(""), false), 0xA9A9A9u);
    EXPECT_EQ(withSpecial.GetText(CDString("x")), "x");
    EXPECT_EQ(withSpecial.GetTextColour(CDString("x"), false), kNoColour);
}

TEST(CellOutputTest, EnumerationOutputByMode) {
    CEnum plain("Duel\nCapture the flag");
    CEnumOut noImages(plain, 0, kStringColumnFormat);
    EXPECT_EQ(noImages.GetMode(), 1); // asked for image and text, but there are no images

    auto images = std::make_shared<TestSupport::FakeImageList>(2, Platform::Size{16, 20});
    CEnum pictured("Duel\nCapture the flag", images);
    pictured->AddEntry(5, "Siege", "Long siege description");
    CEnumOut both(pictured, 0, kStringColumnFormat);
    const CCellLook look = Look();
    both.SetLook(&look);
    FakeDrawContext dc;
    both.Begin(dc);
    both.Draw({10, 0, 200, 30}, CDInt(1), true);
    ASSERT_EQ(dc.Ops().size(), 2u);
    EXPECT_EQ(dc.Ops()[0].kind, DrawOp::Kind::Image);
    EXPECT_EQ(dc.Ops()[0].image, 1);
    EXPECT_EQ(dc.Ops()[0].rect, (Platform::Rect{10, 5, 26, 25}));
    EXPECT_EQ(dc.Ops()[1].text, "Capture the flag");
    EXPECT_EQ(dc.Ops()[1].rect, (Platform::Rect{31, 0, 200, 30}));
    EXPECT_EQ(dc.Ops()[1].format, 35108u & ~Platform::DT_NOCLIP);
    EXPECT_EQ(dc.Ops()[1].colour, 0x222222u);
    EXPECT_EQ(both.GetTextWidth(CDInt(0)), 16 + 28 + 5);
    EXPECT_EQ(both.GetRowHeight(), 20);
    EXPECT_EQ(both.GetMinWidth(), 16);
    EXPECT_EQ(both.GetDefaultWidth(), 16 * 7 + 21); // "Capture the flag" is the widest
    EXPECT_EQ(both.GetTipText(CDInt(5), 1000), "Long siege description");
    EXPECT_EQ(both.GetTipText(CDInt(0), 49), "");
    EXPECT_EQ(both.GetTipText(CDInt(0), 48), "Duel");
    EXPECT_EQ(both.GetText(CDInt(42)), "#Error#");
    both.End();

    CEnumOut imageOnly(pictured, 2, kCentredColumnFormat);
    imageOnly.Begin(dc);
    dc.ClearOps();
    imageOnly.Draw({0, 0, 40, 20}, CDInt(0), false);
    ASSERT_EQ(dc.Ops().size(), 1u);
    EXPECT_EQ(dc.Ops()[0].rect.left, 12);                    // centred
    EXPECT_EQ(imageOnly.GetTipText(CDInt(0), 1000), "Duel"); // the image says nothing
    EXPECT_EQ(imageOnly.GetDefaultWidth(), 16);
    imageOnly.End();

    CTable t;
    t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.Build();
    t.AddRow()->GetCell(0)->SetInt(0);
    noImages.Begin(dc);
    EXPECT_EQ(noImages.GetContentWidth(*t.GetColumnData(0)), 28);
    EXPECT_EQ(noImages.GetDefaultWidth(), 16 * 7);
    noImages.End();
}
