#include "table/LookSettings.h"

#include "net/RegistryKey.h"
#include "tests/table/TableCtrlFixture.h"

using namespace Tavex;
using Platform::RGB;
using TableCtrlTesting::ScopedConfigDir;

namespace {

CRegistryKey LookKey() {
    CRegistryKey key;
    key.SetRoot(HKEY_CURRENT_USER);
    key.SetPath("Software\\Belvorn\\Tavex", true);
    return key;
}

} // namespace

TEST(LookSettingsTest, ColourTextsAreThreeHexPairsRedFirst) {
    EXPECT_EQ(ParseLookColour("FF0000"), RGB(255, 0, 0));
    EXPECT_EQ(ParseLookColour("F0FFF0"), RGB(240, 255, 240));
    EXPECT_EQ(ParseLookColour("00a0ff"), RGB(0, 160, 255));
    EXPECT_EQ(ParseLookColour("red"), RGB(0, 0, 0));
    EXPECT_EQ(ParseLookColour(""), RGB(0, 0, 0));
    // Fewer than three pairs is no colour at all, not the pairs that were read.
    EXPECT_EQ(ParseLookColour("F0"), RGB(0, 0, 0));
    EXPECT_EQ(ParseLookColour("FFFFx0"), RGB(0, 0, 0));
}

TEST(LookSettingsTest, StoredValuesReplaceDefaultsAndLongTextsAreNotRead) {
    ScopedConfigDir config;
    CLookSettings defaults = ReadLookSettings();
    EXPECT_EQ(defaults.m_gridColour, RGB(128, 160, 128)) << "missing key";
    EXPECT_EQ(defaults.m_vertGrid, 1);

    CRegistryKey key = LookKey();
    key.WriteString("GridColor", "FF0000");
    key.WriteString("Leparello_Color_0", "red");
    key.WriteString("Leparello_Color_1", "FF00FF00FF00"); // 12 characters
    key.WriteNumber("HorzGrid", 2);
    key.WriteNumber("Leparello", 0);
    key.WriteNumber("GridWidth", 3);
    CLookSettings look = ReadLookSettings();
    EXPECT_EQ(look.m_gridColour, RGB(255, 0, 0));
    EXPECT_EQ(look.m_bandColour0, RGB(0, 0, 0));
    EXPECT_EQ(look.m_bandColour1, RGB(224, 255, 224));
    EXPECT_EQ(look.m_horzGrid, 2);
    EXPECT_FALSE(look.m_leparello);
    EXPECT_EQ(look.m_gridWidth, 3);
    EXPECT_EQ(look.m_vertGrid, 1);
    key.WriteString("Leparello_Color_1", "FF00FF00F"); // nine characters still fit
    EXPECT_EQ(ReadLookSettings().m_bandColour1, RGB(255, 0, 255));
    // A damaged store cannot make rows of no or negative height.
    key.WriteNumber("HorzGrid", 0xFFFFFFFF);
    key.WriteNumber("GridWidth", 100000);
    look = ReadLookSettings();
    EXPECT_EQ(look.m_horzGrid, 32);
    EXPECT_EQ(look.m_gridWidth, 32);
}

TEST(LookSettingsTest, TheControlTakesTheStoredLook) {
    ScopedConfigDir config;
    CRegistryKey key = LookKey();
    key.WriteString("GridColor", "0000FF");
    key.WriteNumber("HorzGrid", 3);
    CTableCtrl ctrl;
    EXPECT_EQ(ctrl.GetGridColour(), RGB(0, 0, 255));
    EXPECT_EQ(ctrl.GetHorzGrid(), 3);
    EXPECT_TRUE(ctrl.GetLeparello());
    // The stored horizontal grid joins the row height at the next autosizing.
    TestSupport::FakePlatform platform;
    Platform::CWnd dialog, placeholder;
    dialog.CreateTopLevel(platform, {0, 0, 400, 300}, Platform::WS_VISIBLE);
    placeholder.Create(dialog, {0, 0, 300, 200}, Platform::WS_VISIBLE, 5);
    ASSERT_TRUE(ctrl.ReplaceDlgItem(5, dialog));
    CStringCol col;
    ctrl.AddColumn(&col, "Name", 50);
    ctrl.Build();
    EXPECT_EQ(ctrl.GetRowHeight(), 3 + 15 + 2);
    for (int i = 0; i < 20; ++i)
        ctrl.AddRow();
    ctrl.Redraw(true);
    ctrl.SetVertPos(25);
    EXPECT_EQ(ctrl.GetVertPos(), 20);
    ctrl.SetVertPos(-5);
    EXPECT_EQ(ctrl.GetVertPos(), 0);
    ctrl.ShowHorzGrid(false);
    EXPECT_EQ(ctrl.GetRowHeight(), 3 + 15 + 2 - 1) << "grid width steps";
}

TEST(LookSettingsTest, RowColoursFollowADarkPaletteWhereTheStoreHoldsNone) {
    CLookSettings look;
    CDesktopColours light;
    light.m_text = RGB(0, 0, 0);
    // A light palette, even one with grey text, keeps the designed colours exactly.
    for (Platform::ColorRef text : {RGB(0, 0, 0), RGB(50, 50, 50)}) {
        light.m_text = text;
        const CRowColours rows = ResolveRowColours(look, light);
        EXPECT_EQ(rows.m_band0, RGB(240, 255, 240));
        EXPECT_EQ(rows.m_band1, RGB(224, 255, 224));
        EXPECT_EQ(rows.m_grid, RGB(128, 160, 128));
    }
    // A dark one gives its base, alternate base and mid.
    CDesktopColours dark{RGB(240, 240, 240), RGB(45, 45, 45), RGB(53, 53, 53), RGB(80, 80, 80)};
    CRowColours rows = ResolveRowColours(look, dark);
    EXPECT_EQ(rows.m_band0, RGB(45, 45, 45));
    EXPECT_EQ(rows.m_band1, RGB(53, 53, 53));
    EXPECT_EQ(rows.m_grid, RGB(80, 80, 80));
    // What the user stored stays the user's, on any palette.
    look.m_bandColour1 = RGB(0, 0, 64);
    look.m_storedBand1 = true;
    look.m_gridColour = RGB(255, 0, 0);
    look.m_storedGrid = true;
    rows = ResolveRowColours(look, dark);
    EXPECT_EQ(rows.m_band0, RGB(45, 45, 45));
    EXPECT_EQ(rows.m_band1, RGB(0, 0, 64));
    EXPECT_EQ(rows.m_grid, RGB(255, 0, 0));

    // Reading the store tells the stored colours from the defaults.
    ScopedConfigDir config;
    LookKey().WriteString("Leparello_Color_1", "E0FFE0");
    const CLookSettings read = ReadLookSettings();
    EXPECT_FALSE(read.m_storedBand0);
    EXPECT_TRUE(read.m_storedBand1);
    EXPECT_FALSE(read.m_storedGrid);
}
