#include "dlgutil/LayoutRules.h"

#include "tests/support/PrintGeometry.h"

#include <gtest/gtest.h>

using namespace Dorlu_DlgUtil;
using Platform::Rect;
using Platform::Size;

namespace {

CLayoutItem Item(Rect rect, std::uint16_t flags, int leftRef = -1, int rightRef = -1) {
    CLayoutItem item;
    item.rect = rect;
    item.flags = flags;
    item.refs[EdgeLeft] = leftRef;
    item.refs[EdgeRight] = rightRef;
    return item;
}

// The main window's arrangement: a splitter between the server table and the
// players-on-server table, registered before the two tables that follow it.
std::vector<CLayoutItem> SplitWindow() {
    return {
        Item({400, 40, 406, 560}, 0x1033),        // splitter, 40 % of 1000
        Item({10, 40, 390, 560}, 0x1010, -1, 0),  // server table, right edge follows it
        Item({420, 40, 990, 560}, 0x1011, 0, -1), // players table, left edge follows it
        Item({900, 570, 990, 590}, 0x1111),       // a button in the corner
    };
}

} // namespace

TEST(LayoutRulesTest, GrowthMovesAndWidensByTheSameAmount) {
    const std::vector<CLayoutItem> items = {
        Item({10, 10, 300, 200}, 0x1010), Item({320, 210, 400, 230}, 0x1111),
        Item({10, 210, 80, 230}, 0x1100), Item({320, 10, 400, 30}, 0x0011)};
    const auto placed = PlaceItems(items, {410, 240}, {460, 270});
    EXPECT_EQ(placed[0], (Rect{10, 10, 350, 230}));
    EXPECT_EQ(placed[1], (Rect{370, 240, 450, 260}));
    EXPECT_EQ(placed[2], (Rect{10, 240, 80, 260}));
    EXPECT_EQ(placed[3], (Rect{370, 10, 450, 30}));
}

TEST(LayoutRulesTest, PlacementIsComputedFromTheBaseSoResizingBackRestoresEverything) {
    const auto items = SplitWindow();
    const auto small = PlaceItems(items, {1000, 600}, {517, 333});
    EXPECT_NE(small[0], items[0].rect);
    const auto back = PlaceItems(items, {1000, 600}, {1000, 600});
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(back[i], items[i].rect) << "item " << i;
}

TEST(LayoutRulesTest, SplitterKeepsItsShareAndTheTablesKeepTheirGaps) {
    const auto items = SplitWindow();
    const auto placed = PlaceItems(items, {1000, 600}, {1500, 700});
    // Centre scaled: (400 + 3) * 1.5 - 3 = 601.5, truncated; the width stays 6.
    EXPECT_EQ(placed[0], (Rect{601, 40, 607, 660}));
    EXPECT_EQ(placed[0].left * 100 / 1500, 40);
    EXPECT_EQ(placed[1].right, 607 - 16) << "gap to the splitter's right edge kept";
    EXPECT_EQ(placed[1].left, 10);
    EXPECT_EQ(placed[2].left, 607 + 14);
    EXPECT_EQ(placed[2].right, 1490);
    EXPECT_EQ(placed[3], (Rect{1400, 670, 1490, 690}));
}

TEST(LayoutRulesTest, ScaleAndKeepSizeRules) {
    // Left and right scaled; top kept, bottom keeps the height.
    const auto placed = PlaceItems({Item({100, 50, 200, 80}, 0x3022)}, {400, 300}, {600, 150});
    EXPECT_EQ(placed[0], (Rect{150, 50, 300, 80}));
    // Centre rule on the near edge alone does not centre: the near edge stays.
    const auto lone = PlaceItems({Item({100, 0, 200, 10}, 0x0013)}, {400, 300}, {800, 300});
    EXPECT_EQ(lone[0], (Rect{100, 0, 600, 10}));
    // Centre rule relative to a reference item: the centre keeps its scaled distance.
    const auto centred =
        PlaceItems({Item({0, 0, 100, 10}, 0x0010), Item({40, 20, 60, 30}, 0x0033, 0, -1)},
                   {200, 100}, {400, 100});
    EXPECT_EQ(centred[0], (Rect{0, 0, 300, 10}));
    // offset = 40 + 10 - 50 - 0 = 0; new left = 0 * 2 - 10 + 150 + 0.
    EXPECT_EQ(centred[1], (Rect{140, 20, 160, 30}));
}

TEST(LayoutRulesTest, ReferencesToLaterOrMissingItemsAreIgnored) {
    // The table names item 1 (registered after it) and item 7 (none) as references.
    const auto placed =
        PlaceItems({Item({10, 10, 300, 200}, 0x0011, 7, 1), Item({320, 10, 400, 30}, 0x0011)},
                   {410, 240}, {460, 240});
    EXPECT_EQ(placed[0], (Rect{60, 10, 350, 200}));
    EXPECT_EQ(placed[1], (Rect{370, 10, 450, 30}));
}

TEST(LayoutRulesTest, PlacementInsideNeedsEveryChildInTheClientAndNotEmpty) {
    EXPECT_TRUE(IsPlacementInside({{0, 0, 100, 50}}, {100, 50}));
    EXPECT_FALSE(IsPlacementInside({{0, 0, 101, 50}}, {100, 50}));
    EXPECT_FALSE(IsPlacementInside({{0, 0, 100, 51}}, {100, 50}));
    EXPECT_FALSE(IsPlacementInside({{-1, 0, 10, 10}}, {100, 50}));
    EXPECT_FALSE(IsPlacementInside({{0, -1, 10, 10}}, {100, 50}));
    EXPECT_FALSE(IsPlacementInside({{5, 0, 5, 10}}, {100, 50}));
    EXPECT_FALSE(IsPlacementInside({{0, 7, 10, 7}}, {100, 50}));
}
