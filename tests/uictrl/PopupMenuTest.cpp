#include "uictrl/PopupMenu.h"

#include "tests/support/FakeMenu.h"

#include <gtest/gtest.h>

using namespace Kivra;
using namespace Platform;
using TestSupport::FakeMenu;
using TestSupport::FakeMenuFactory;
using TestSupport::FakeMenuItem;

namespace {

std::vector<FakeMenuItem> ItemsOf(CPopupMenu& menu) {
    return dynamic_cast<FakeMenu&>(menu.Menu()).Items();
}

} // namespace

TEST(PopupMenuTest, TokensRunBetweenSeparatorsAndVanishOutsideTheText) {
    EXPECT_EQ(GetToken("a;bb;;c", 0, ';'), "a");
    EXPECT_EQ(GetToken("a;bb;;c", 1, ';'), "bb");
    EXPECT_EQ(GetToken("a;bb;;c", 2, ';'), "");
    EXPECT_EQ(GetToken("a;bb;;c", 3, ';'), "c");
    EXPECT_EQ(GetToken("a;bb;;c", 4, ';'), "");
    EXPECT_EQ(GetToken("a;bb", -1, ';'), "");
    EXPECT_EQ(GetToken("", 0, ';'), "");
    EXPECT_EQ(GetToken("a;", 1, ';'), "");
}

TEST(PopupMenuTest, PrefixesStripInAnyOrderAndALoneDashIsASeparator) {
    const CMenuItemText both1 = ParseMenuItem("~=Sorted");
    const CMenuItemText both2 = ParseMenuItem("=~Sorted");
    EXPECT_EQ(both1.flags, MF_GRAYED | MF_DISABLED | MF_CHECKED);
    EXPECT_EQ(both1.caption, "Sorted");
    EXPECT_EQ(both2.flags, both1.flags);
    EXPECT_EQ(both2.caption, "Sorted");

    EXPECT_EQ(ParseMenuItem("-").flags, MF_SEPARATOR);
    // Only the exact text "-" separates; a prefixed dash is a caption.
    EXPECT_EQ(ParseMenuItem("~-").caption, "-");
    EXPECT_EQ(ParseMenuItem("~-").flags, MF_GRAYED | MF_DISABLED);
    EXPECT_EQ(ParseMenuItem("-x").flags, 0u);
    // Prefixes are read only at the start: the caption keeps later ones and its mnemonic.
    EXPECT_EQ(ParseMenuItem("&All ~columns=").caption, "&All ~columns=");
}

TEST(PopupMenuTest, AppendedItemsCountSeparatorsAndStopAtTheFirstEmptyText) {
    FakeMenuFactory factory;
    for (const char* items : {"One;Two;", "One;Two"}) {
        CPopupMenu menu(factory);
        EXPECT_EQ(menu.AppendItems(items, 100), 2);
        EXPECT_EQ(ItemsOf(menu),
                  (std::vector<FakeMenuItem>{{0, 100, "One", {}}, {0, 101, "Two", {}}}));
    }

    CPopupMenu withSeparator(factory);
    EXPECT_EQ(withSeparator.AppendItems("One;-;~Two", 7), 3);
    EXPECT_EQ(ItemsOf(withSeparator),
              (std::vector<FakeMenuItem>{{0, 7, "One", {}},
                                         {MF_SEPARATOR, 8, "", {}},
                                         {MF_GRAYED | MF_DISABLED, 9, "Two", {}}}));

    CPopupMenu stopped(factory);
    EXPECT_EQ(stopped.AppendItems("One;;Two", 1), 1);
    EXPECT_EQ(ItemsOf(stopped).size(), 1u);

    CPopupMenu empty(factory);
    EXPECT_EQ(empty.AppendItems("", 1), 0);
    EXPECT_TRUE(ItemsOf(empty).empty());
}

TEST(PopupMenuTest, InsertByPositionKeepsOrderAndByCommandGoesBeforeTheItem) {
    // Given the body menu a table fills, when the browser puts its entries on top:
    FakeMenuFactory factory;
    CPopupMenu menu(factory);
    menu.AppendItems("Copy cell;Copy", 40000);
    EXPECT_EQ(menu.InsertItems(0, "~Add to favorites;-;~Show server info;-", 57341, MF_BYPOSITION),
              4);
    const auto items = ItemsOf(menu);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], (FakeMenuItem{MF_GRAYED | MF_DISABLED, 57341, "Add to favorites", {}}));
    EXPECT_EQ(items[1].flags, MF_SEPARATOR);
    EXPECT_EQ(items[2], (FakeMenuItem{MF_GRAYED | MF_DISABLED, 57343, "Show server info", {}}));
    EXPECT_EQ(items[4].caption, "Copy cell");

    // By command every item lands right before the same item, so they also keep order.
    CPopupMenu byCommand(factory);
    byCommand.AppendItems("A;Z", 1);
    EXPECT_EQ(byCommand.InsertItems(2, "X;=Y", 10, MF_BYCOMMAND), 2);
    const auto ordered = ItemsOf(byCommand);
    ASSERT_EQ(ordered.size(), 4u);
    EXPECT_EQ(ordered[1].caption, "X");
    EXPECT_EQ(ordered[2], (FakeMenuItem{MF_CHECKED, 11, "Y", {}}));
    EXPECT_EQ(ordered[3].caption, "Z");

    // Before a command that is not there nothing goes in, and the count says so.
    EXPECT_EQ(byCommand.InsertItems(99, "P;Q", 20, MF_BYCOMMAND), 0);
    EXPECT_EQ(ItemsOf(byCommand).size(), 4u);
}

TEST(PopupMenuTest, SubmenuHandOverLeavesTheSecondMenuFreshAndUsable) {
    FakeMenuFactory factory;
    CPopupMenu menu(factory);
    CPopupMenu columns(factory);
    menu.AppendItems("Copy;Show column;Hide column", 1);
    columns.AppendItems("&All columns;-;Ping", 100);

    menu.SetSubMenu(2, columns);

    const auto items = ItemsOf(menu);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].caption, "Show column");
    EXPECT_TRUE(items[1].flags & MF_POPUP);
    ASSERT_EQ(items[1].submenu.size(), 3u);
    EXPECT_EQ(items[1].submenu[2], (FakeMenuItem{0, 102, "Ping", {}}));

    // The second object can be filled again for the next submenu.
    EXPECT_TRUE(ItemsOf(columns).empty());
    columns.AppendItems("~(none)", 200);
    menu.SetSubMenu(3, columns);
    EXPECT_EQ(ItemsOf(menu)[2].submenu,
              (std::vector<FakeMenuItem>{{MF_GRAYED | MF_DISABLED, 200, "(none)", {}}}));

    // An identifier that is not in the menu changes neither menu.
    columns.AppendItems("Kept", 300);
    menu.SetSubMenu(99, columns);
    EXPECT_EQ(ItemsOf(columns).size(), 1u);
    EXPECT_EQ(ItemsOf(menu).size(), 3u);

    // Nor does making a menu its own submenu.
    menu.SetSubMenu(1, menu);
    ASSERT_EQ(ItemsOf(menu).size(), 3u);
    EXPECT_FALSE(ItemsOf(menu)[0].flags & MF_POPUP);
}

TEST(PopupMenuTest, TrackReturnsTheChosenCommandWithoutNotifying) {
    FakeMenuFactory factory;
    CPopupMenu menu(factory);
    menu.AppendItems("Ascending;Descending", 5);

    EXPECT_EQ(menu.Track(10, 20, TPM_RIGHTBUTTON), 0u) << "dismissed";
    factory.chooser = [](const std::vector<FakeMenuItem>& items) { return items[1].id; };
    EXPECT_EQ(menu.Track(30, 40, TPM_RIGHTBUTTON), 6u);

    ASSERT_EQ(factory.tracked.size(), 2u);
    EXPECT_EQ(factory.tracked[1].flags, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD);
    EXPECT_EQ(factory.tracked[1].x, 30);
    EXPECT_EQ(factory.tracked[1].y, 40);
}
