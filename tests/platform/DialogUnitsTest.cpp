#include "platform/DialogUnits.h"
#include "tests/support/FakeDrawContext.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(DialogUnitsTest, BaseUnitsComeFromTheLettersAndTheHeight) {
    TestSupport::FakeDrawContext dc;
    Font bold;
    bold.bold = true;
    Font before = dc.SelectFont(bold);
    // Every letter is 7 px wide and text 13 px high in the headless context.
    EXPECT_EQ(GetDialogBaseUnits(dc, {}), (Size{7, 13}));
    EXPECT_EQ(dc.SelectFont(before), bold); // the selected font is left alone
}

TEST(DialogUnitsTest, UnitsScaleAndRoundLikeWindows) {
    // 10 units * 7 / 4 = 17.5 -> 18; 3 * 13 / 8 = 4.875 -> 5; 1 * 7 / 4 = 1.75 -> 2.
    EXPECT_EQ(MapDialogRect({10, 3, 1, 8}, {7, 13}), (Rect{18, 5, 2, 13}));
    EXPECT_EQ(MapDialogRect({-10, 0, 0, -3}, {7, 13}), (Rect{-18, 0, 0, -5}));
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000); // no overflow on the way
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}
