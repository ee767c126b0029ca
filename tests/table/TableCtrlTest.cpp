#include "tests/table/TableCtrlFixture.h"

#include "platform/Contrast.h"
#include "uictrl/PopupMenu.h"

#include <fstream>
#include <sstream>

using namespace Platform;
using namespace Tavex;
using TableCtrlTesting::Note;
using TableCtrlTesting::TableCtrlTest;
using TestSupport::FakeDrawContext;
using TestSupport::FakeMenuItem;

TEST_F(TableCtrlTest, ReplacesThePlaceholderAndReadsItsListStyles) {
    Make(300, 200, LVS_SINGLESEL | LVS_NOSORTHEADER);
    EXPECT_FALSE(placeholder.IsWindow());
    EXPECT_EQ(dialog.GetDlgItem(kId), ctrl.get());
    EXPECT_EQ(ctrl->GetDlgCtrlID(), static_cast<int>(kId));
    EXPECT_EQ(ctrl->GetWindowText(), "Tavex");
    EXPECT_EQ(Where(*ctrl), (Rect{10, 20, 310, 220}));
    EXPECT_EQ(ctrl->GetStyle() & 0xFFFF, 0u) << "list-view bits stay with the placeholder";
    EXPECT_EQ(ctrl->GetSelection().GetMode(), CTableSelection::kSingle);
    EXPECT_FALSE(ctrl->IsSortable());
    EXPECT_TRUE(ctrl->IsHeaderShown());

    Tavex::CTableCtrl plain;
    CWnd other;
    other.Create(dialog, {0, 0, 50, 50}, WS_VISIBLE | LVS_NOCOLUMNHEADER, 77);
    ASSERT_TRUE(plain.ReplaceDlgItem(77, dialog));
    EXPECT_EQ(plain.GetSelection().GetMode(), CTableSelection::kMultiple);
    EXPECT_TRUE(plain.IsSortable());
    EXPECT_FALSE(plain.IsHeaderShown());
    EXPECT_FALSE(Tavex::CTableCtrl().ReplaceDlgItem(4711, dialog));
}

TEST_F(TableCtrlTest, ScrollBarsAppearAtTheirThresholds) {
    Make(300, 200);
    // Body 182 high under the 18 px header; nine rows of 17 fit in it with or without a bar.
    Rows(9, 100);
    ctrl->SetColumnWidth(0, 101); // total 301 = width + grid width
    ctrl->Redraw(true);
    EXPECT_FALSE(platform.Window(ctrl->GetHorzBar()).visible);
    EXPECT_FALSE(platform.Window(ctrl->GetVertBar()).visible);
    EXPECT_EQ(Where(ctrl->GetBody()), (Rect{0, 18, 300, 200}));

    ctrl->SetColumnWidth(0, 102); // one pixel more
    ctrl->Redraw(true);
    EXPECT_TRUE(platform.Window(ctrl->GetHorzBar()).visible);
    EXPECT_FALSE(platform.Window(ctrl->GetVertBar()).visible);
    EXPECT_EQ(Where(ctrl->GetBody()), (Rect{0, 18, 300, 183}));

    // Bars that are not allowed never show; without a header the body starts at the top.
    ctrl->EnableHorzScrollBar(false);
    ctrl->ShowHeader(false);
    ctrl->Redraw(true);
    EXPECT_FALSE(platform.Window(ctrl->GetHorzBar()).visible);
    EXPECT_FALSE(platform.Window(ctrl->GetHeader()).visible);
    EXPECT_EQ(Where(ctrl->GetBody()), (Rect{0, 0, 300, 200}));
    EXPECT_EQ(ctrl->GetMaxHorzPos(), 2) << "the columns can still be scrolled by keys";
}

TEST_F(TableCtrlTest, TheHorizontalBarCanBringTheVerticalOne) {
    Make(300, 200);
    Rows(10, 100);
    ctrl->SetColumnWidth(0, 102);
    ctrl->Redraw(true);
    // 182 - 17 = 165 px cannot show 170 px of rows.
    CCtrlLayout l = ctrl->ComputeLayout(300, 200);
    EXPECT_EQ(l.m_horzBarHeight, 17);
    EXPECT_EQ(l.m_bodyHeight, 165);
    EXPECT_EQ(l.m_vertBarWidth, 17);
    EXPECT_EQ(l.m_width, 283);
    EXPECT_EQ(Where(ctrl->GetBody()), (Rect{0, 18, 283, 183}));
    EXPECT_EQ(Where(ctrl->GetVertBar()), (Rect{283, 18, 300, 183}));
    EXPECT_EQ(Where(ctrl->GetHorzBar()), (Rect{0, 183, 283, 200}));
    EXPECT_EQ(Where(ctrl->GetHeader()), (Rect{0, 0, 300, 18}));
    const ScrollInfo& vert = platform.Window(ctrl->GetVertBar()).scroll;
    EXPECT_EQ(vert.page, 165);
    // Largest position: 170 - 17 * (165 / 17) = 17; maximum = largest + page - 1.
    EXPECT_EQ(vert.max, 17 + 165 - 1);

    // A narrower vertical bar threshold: the vertical bar alone can push the columns over.
    ctrl->SetColumnWidth(0, 90);
    ctrl->AddRow();
    ctrl->AddRow();
    l = ctrl->ComputeLayout(300, 200); // 12 rows = 204 px > 182: vertical bar, width 283
    EXPECT_EQ(l.m_vertBarWidth, 17);
    EXPECT_EQ(l.m_horzBarHeight, 17) << "290 > 283 + 1 once the vertical bar took its width";
}

TEST_F(TableCtrlTest, VerticalPositionsSnapToRowsAndStayInRange) {
    Make(300, 188);
    EXPECT_EQ(ctrl->GetMaxVertPos(), 0) << "no columns, no rows";
    Rows(30, 80);
    ASSERT_EQ(ctrl->GetVertPage(), 170);
    ctrl->SetVertPos(25);
    EXPECT_EQ(ctrl->GetVertPos(), 17);
    ctrl->SetVertPos(-5);
    EXPECT_EQ(ctrl->GetVertPos(), 0);
    ctrl->SetVertPos(100000);
    EXPECT_EQ(ctrl->GetVertPos(), 30 * 17 - 170) << "last row is the last fully visible one";
    EXPECT_EQ(ctrl->RowAtY(0), 20);
    EXPECT_EQ(ctrl->RowAtY(169), 29);
    EXPECT_EQ(ctrl->RowAtY(170), 30) << "below the rows: the row count";

    ctrl->DeleteAllRows();
    ctrl->Redraw(true);
    EXPECT_EQ(ctrl->GetVertPos(), 0);
    EXPECT_FALSE(platform.Window(ctrl->GetVertBar()).visible);
}

TEST_F(TableCtrlTest, WheelScrollsByWholeNotchesOfLinesOrByPages) {
    Make(300, 188);
    Rows(40, 80);
    CWnd& body = ctrl->GetBody();
    platform.Wheel(body, {10, 10}, 60);
    platform.Wheel(body, {10, 10}, -60);
    EXPECT_EQ(ctrl->GetVertPos(), 0) << "half a notch does not scroll";
    platform.Wheel(body, {10, 10}, -120);
    EXPECT_EQ(ctrl->GetVertPos(), 3 * kRowHeight);
    platform.Wheel(body, {10, 10}, 120);
    EXPECT_EQ(ctrl->GetVertPos(), 0);
    platform.wheelScrollLines = -1; // a page per notch
    platform.Wheel(body, {10, 10}, -120);
    EXPECT_EQ(ctrl->GetVertPos(), 170 - kRowHeight);
    platform.wheelScrollLines = 0; // counts as one line
    platform.Wheel(body, {10, 10}, 120);
    EXPECT_EQ(ctrl->GetVertPos(), 170 - 2 * kRowHeight);
}

TEST_F(TableCtrlTest, FitColumnsToWidthFillsThePageLessOneBar) {
    Make(417, 200);
    Rows(3, 100);
    ASSERT_EQ(ctrl->GetHorzPage(), 417);
    EXPECT_TRUE(ctrl->FitColumnsToWidth());
    EXPECT_EQ(ctrl->GetColumnWidth(0), 133);
    EXPECT_EQ(ctrl->GetColumnWidth(1), 133);
    EXPECT_EQ(ctrl->GetColumnWidth(2), 134) << "the last column in display order takes the rest";

    // The remainder goes to the rightmost column shown, not the highest column number.
    Rows(3, 100);
    ctrl->MoveColumn(0, 2);
    ctrl->SetColumnVisible(1, false);
    ctrl->FitColumnsToWidth();
    EXPECT_EQ(ctrl->GetColumnWidth(2), 200);
    EXPECT_EQ(ctrl->GetColumnWidth(0), 200);
    EXPECT_EQ(ctrl->GetColumnWidth(1), 100) << "hidden columns keep their width";
}

TEST_F(TableCtrlTest, ColumnGeometryFollowsDisplayOrderAndVisibility) {
    Make(150, 200);
    Rows(3, 100);
    ctrl->MoveColumn(2, 0); // order 2, 0, 1
    ctrl->SetColumnVisible(0, false);
    EXPECT_EQ(ctrl->GetLeftEdge(2), 100);
    EXPECT_EQ(ctrl->PositionAtX(99), 0);
    EXPECT_EQ(ctrl->PositionAtX(100), 2) << "the hidden column has no width";
    EXPECT_EQ(ctrl->PositionAtX(200), 3);
    EXPECT_EQ(ctrl->ColumnAtX(150), 1);
    EXPECT_EQ(ctrl->ColumnAtX(250), -1);
    EXPECT_EQ(ctrl->NextVisibleColumn(0), 2);
    EXPECT_EQ(ctrl->PrevVisibleColumn(2), 0);
    ctrl->Redraw(true);
    ctrl->SetHorzPos(30);
    EXPECT_EQ(ctrl->ColumnAtX(75), 1) << "client x 75 is content x 105";
    ctrl->SetHorzPos(500);
    EXPECT_EQ(ctrl->GetHorzPos(), 200 - 150);
}

TEST_F(TableCtrlTest, EnsureVisibleScrollsRowsAndColumnsIntoView) {
    Make(150, 205); // 170 px of body under the horizontal bar
    Rows(30, 100);
    ASSERT_EQ(ctrl->GetVertPage(), 170);
    ctrl->EnsureVisible(15, -1);
    EXPECT_EQ(ctrl->GetVertPos(), 17 * (15 - 10 + 1)) << "row 15 becomes the last full row";
    ctrl->EnsureVisible(3, -1);
    EXPECT_EQ(ctrl->GetVertPos(), 3 * 17);
    ctrl->EnsureVisible(5, -1);
    EXPECT_EQ(ctrl->GetVertPos(), 3 * 17) << "already visible";
    const int page = ctrl->GetHorzPage();
    ctrl->EnsureVisible(-1, 2);
    EXPECT_EQ(ctrl->GetHorzPos(), 300 - page);
    ctrl->EnsureVisible(-1, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 0);
}

TEST_F(TableCtrlTest, MultipleSelectionWithShiftAndCtrlKeepsTheAnchor) {
    Make(300, 200);
    Rows(10);
    ClickRow(2);
    platform.SetKeyDown(VK_SHIFT, true);
    ClickRow(5);
    platform.SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(ctrl->GetSelection().GetAnchor(), 2);
    platform.SetKeyDown(VK_CONTROL, true);
    ClickRow(3);
    platform.SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 5}));
    EXPECT_EQ(ctrl->GetSelection().GetAnchor(), 3);
    platform.SetKeyDown(VK_SHIFT, true);
    ClickRow(6);
    platform.SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(ctrl->GetCurrentRow(), 3);

    // Clicking the only selected row again announces nothing.
    ClickRow(8);
    dialog.notes.clear();
    ClickRow(8);
    for (int code : dialog.Codes())
        EXPECT_NE(code, TVN_SELCHANGING);
    // Ctrl+Shift gives the range the anchor's state.
    platform.SetKeyDown(VK_CONTROL, true);
    ClickRow(1);
    platform.SetKeyDown(VK_SHIFT, true);
    ClickRow(3);
    platform.SetKeyDown(VK_SHIFT, false);
    platform.SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 8}));
}

TEST_F(TableCtrlTest, SingleSelectionAnnouncesChangesAndObeysAVeto) {
    Make(300, 200, LVS_SINGLESEL);
    Rows(10);
    ClickRow(1);
    std::vector<Note> changes;
    for (const Note& n : dialog.notes)
        if (n.code == TVN_SELCHANGING || n.code == TVN_SELCHANGED)
            changes.push_back(n);
    EXPECT_EQ(changes, (std::vector<Note>{{TVN_SELCHANGING, 1, -1}, {TVN_SELCHANGED, 1, -1}}));
    EXPECT_EQ(dialog.Codes().back(), NM_CLICK);

    dialog.notes.clear();
    ClickRow(1);
    for (int code : dialog.Codes())
        EXPECT_TRUE(code != TVN_SELCHANGING && code != TVN_SELCHANGED);

    dialog.answers[TVN_SELCHANGING] = 1;
    ClickRow(4);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(ctrl->GetCurrentCell().GetRow(), 4) << "the current cell moved before the veto";

    // Programmatic changes never notify.
    dialog.notes.clear();
    ctrl->SetCurrentRow(7);
    ctrl->Sort(CSortKeys{0, 1, -1});
    ctrl->Redraw(true);
    EXPECT_TRUE(dialog.notes.empty());
    EXPECT_EQ(ctrl->GetCurrentRow(), 2) << "sorted descending, row 7 moved to 2";
}

TEST_F(TableCtrlTest, ClicksAndDoubleClicksReportCellsAndPoints) {
    Make(300, 200);
    Rows(5);
    platform.DoubleClick(ctrl->GetBody(), {120, 2 * kRowHeight + 3});
    std::vector<Note> clicks;
    for (const Note& n : dialog.notes)
        if (n.code == NM_CLICK || n.code == NM_DBLCLK)
            clicks.push_back(n);
    EXPECT_EQ(clicks, (std::vector<Note>{{NM_CLICK, 2, 1}, {NM_CLICK, 2, 1}, {NM_DBLCLK, 2, 1}}));
    EXPECT_EQ(dialog.last.x, 120);
    EXPECT_EQ(dialog.last.y, 18 + 2 * kRowHeight + 3) << "control client coordinates";

    dialog.notes.clear();
    platform.Click(ctrl->GetBody(), {20, 150});
    EXPECT_EQ(dialog.notes.back(), (Note{NM_CLICK, -1, 0})) << "below the rows";
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
}

TEST_F(TableCtrlTest, PagingMovesByTheRowsInView) {
    Make(300, 188); // body 170 = 10 rows exactly
    Rows(30, 80);
    ctrl->SetFocus();
    ClickRow(0);
    platform.KeyDown(VK_NEXT);
    EXPECT_EQ(ctrl->GetCurrentRow(), 9);
    platform.KeyDown(VK_NEXT);
    EXPECT_EQ(ctrl->GetCurrentRow(), 18);
    EXPECT_EQ(ctrl->GetVertPos(), (18 - 10 + 1) * kRowHeight);
    platform.KeyDown(VK_PRIOR);
    EXPECT_EQ(ctrl->GetCurrentRow(), 8);
    platform.KeyDown(VK_PRIOR);
    EXPECT_EQ(ctrl->GetCurrentRow(), 0);
    platform.SetKeyDown(VK_CONTROL, true);
    platform.KeyDown(VK_END);
    platform.SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(ctrl->GetCurrentCell().GetRow(), 29);
    EXPECT_EQ(Selected(), (std::vector<int>{0})) << "Ctrl moves the current cell only";
    platform.KeyDown(VK_SPACE);
    EXPECT_EQ(Selected(), (std::vector<int>{29}));
    platform.SetKeyDown(VK_SHIFT, true);
    platform.KeyDown(VK_UP);
    platform.KeyDown(VK_UP);
    platform.SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(Selected(), (std::vector<int>{27, 28, 29}));
    platform.KeyDown(VK_DOWN);
    EXPECT_EQ(Selected(), (std::vector<int>{28}));
}

TEST_F(TableCtrlTest, KeysReachTheParentFirstAndLeftScrollsInRowMode) {
    Make(150, 188);
    Rows(10);
    ClickRow(0);
    platform.SetKeyDown(VK_SHIFT, true);
    ClickRow(3);
    platform.SetKeyDown(VK_SHIFT, false);
    platform.KeyDown(VK_RIGHT);
    EXPECT_EQ(ctrl->GetHorzPos(), 100) << "to the next column's start";
    EXPECT_EQ(Selected(), (std::vector<int>{3})) << "the selection collapses to the current row";
    platform.KeyDown(VK_LEFT);
    EXPECT_EQ(ctrl->GetHorzPos(), 0);
    EXPECT_EQ(dialog.keys, (std::vector<unsigned>{VK_RIGHT, VK_LEFT}));

    // A parent that takes the key leaves the control alone.
    dialog.answers[NM_KEYDOWN] = 1;
    platform.KeyDown(VK_DOWN);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    dialog.answers.erase(NM_KEYDOWN);
    platform.KeyDown(VK_DOWN);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
}

TEST_F(TableCtrlTest, TypeAheadFindsByPrefixAndForgetsAfterAPause) {
    Make(300, 200);
    Fill({"Charlie", "alpha", "ABLE", "beta", "abacus"});
    ctrl->SetFocus();
    platform.Char('a');
    platform.Char('b');
    EXPECT_EQ(Selected(), (std::vector<int>{2})) << "first row starting with ab in any case";
    platform.Advance(1199);
    platform.Char('a');
    EXPECT_EQ(Selected(), (std::vector<int>{4})) << "aba within the pause";
    EXPECT_EQ(platform.Window(*ctrl).cursor, IDC_APPSTARTING);
    platform.Advance(1200);
    EXPECT_EQ(platform.Window(*ctrl).cursor, IDC_ARROW);
    platform.Char('b');
    EXPECT_EQ(Selected(), (std::vector<int>{3})) << "a new search after 1.2 s";
    EXPECT_TRUE(platform.beeps.empty());
    platform.Char('x');
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));

    // The first sort key chooses the column searched.
    platform.Advance(2000);
    ctrl->Sort(CSortKeys{2, 0, -1});
    platform.Char('c');
    platform.Char('i');
    EXPECT_EQ(ctrl->GetCurrentCell().GetRow(), 0);
    EXPECT_EQ(ctrl->FindRowByPrefix(0, "AB", 2), 4);
    EXPECT_EQ(ctrl->FindRowByPrefix(0, "ch", 0), -1) << "never the row it starts after";
}

TEST_F(TableCtrlTest, BodyMenuHasItsItemsAndIdentifiers) {
    Make(300, 200);
    Rows(3);
    ctrl->SetColumnTitle(2, "City\nHome town", -1);
    ctrl->SetColumnVisible(1, false);
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    ASSERT_EQ(platform.menus.tracked.size(), 1u);
    const auto& items = platform.menus.tracked[0].items;
    std::vector<std::pair<unsigned, std::string>> top;
    for (const FakeMenuItem& item : items)
        top.push_back({item.id, item.caption});
    EXPECT_EQ(top, (std::vector<std::pair<unsigned, std::string>>{{57345, "Copy cell"},
                                                                  {57346, "Copy"},
                                                                  {57347, "Copy all"},
                                                                  {57348, "Select all"},
                                                                  {57349, ""},
                                                                  {57350, "Show column"},
                                                                  {57351, "Hide column"},
                                                                  {57352, "Restore default"},
                                                                  {57353, ""},
                                                                  {57354, "Save as ..."}}));
    EXPECT_EQ(items[0].flags & MF_GRAYED, 0u);
    ASSERT_EQ(items[5].submenu.size(), 3u);
    EXPECT_EQ(items[5].submenu[0].id, 57443u);
    EXPECT_EQ(items[5].submenu[0].caption, "&All columns");
    EXPECT_EQ(items[5].submenu[2].id, 57444u + 1);
    EXPECT_EQ(items[5].submenu[2].caption, "Score");
    ASSERT_EQ(items[6].submenu.size(), 2u);
    EXPECT_EQ(items[6].submenu[1].id, 57844u + 2);
    EXPECT_EQ(items[6].submenu[1].caption, "Home town") << "the long title names the column";
    EXPECT_EQ(dialog.Codes().back(), TVN_BODYMENUCOMMAND);

    // Below the rows, single selection, every column shown: fewer items, "(none)" lists.
    ctrl->SetColumnVisible(1, true);
    ctrl->GetSelection().SetMode(CTableSelection::kSingle);
    platform.ContextMenu(ctrl->GetBody(), Point{20, 150});
    const auto& second = platform.menus.tracked[1].items;
    ASSERT_EQ(second.size(), 9u);
    EXPECT_EQ(second[0].flags & MF_GRAYED, MF_GRAYED) << "no cell under the pointer";
    EXPECT_EQ(second[2].caption, "Copy all");
    EXPECT_EQ(second[3].id, 57349u);
    ASSERT_EQ(second[4].submenu.size(), 1u);
    EXPECT_EQ(second[4].submenu[0], (FakeMenuItem{MF_GRAYED | MF_DISABLED, 57350, "(none)", {}}));

    // A parent that handles the opening suppresses the menu.
    dialog.answers[TVN_BODYMENU] = 1;
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    EXPECT_EQ(platform.menus.tracked.size(), 2u);
}

TEST_F(TableCtrlTest, BodyMenuCommandsHideShowSelectAndRestore) {
    Make(400, 200);
    Rows(4);
    auto choose = [&](unsigned id) {
        platform.menus.chooser = [id](const std::vector<FakeMenuItem>&) { return id; };
        platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    };
    choose(ID_HIDE_COLUMN_FIRST + 1);
    EXPECT_FALSE(ctrl->IsColumnVisible(1));
    choose(ID_SHOW_COLUMN_FIRST + 1);
    EXPECT_TRUE(ctrl->IsColumnVisible(1));
    choose(ID_SELECT_ALL);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
    ctrl->Sort(CSortKeys{0, 1, -1});
    ctrl->MoveColumn(0, 2);
    ctrl->SetColumnVisible(2, false);
    choose(ID_RESTORE_DEFAULT);
    EXPECT_EQ(ctrl->GetDisplayOrder(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(ctrl->IsColumnVisible(2));
    EXPECT_EQ(ctrl->GetColumnWidth(0), 10 + 7 * 5) << "autosized to 'Row 3' and its title";
    EXPECT_EQ(ctrl->GetSortKeys()->GetCount(), 0);

    // The parent may run a command itself.
    dialog.answers[TVN_BODYMENUCOMMAND] = 1;
    choose(ID_HIDE_COLUMN_FIRST + 1);
    EXPECT_TRUE(ctrl->IsColumnVisible(1));
}

TEST_F(TableCtrlTest, CopyIsProducedWhenPastedFromTheRowsThenSelected) {
    Make(300, 200);
    Fill({"a\tb", "two", "three"});
    ClickRow(0);
    platform.menus.chooser = [](const std::vector<FakeMenuItem>&) { return ID_COPY; };
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    EXPECT_EQ(platform.clipboardRenders, 0) << "nothing is produced at copy time";
    ClickRow(2);
    EXPECT_EQ(platform.ClipboardText(), std::optional<std::string>("three\t0\tCity 2\t\r\n"));

    ctrl->SetColumnVisible(1, false);
    platform.menus.chooser = [](const std::vector<FakeMenuItem>&) { return ID_COPY_ALL; };
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    EXPECT_EQ(platform.ClipboardText(),
              std::optional<std::string>("a*b\tCity 0\t\r\ntwo\tCity 1\t\r\nthree\tCity 2\t\r\n"));

    platform.menus.chooser = [](const std::vector<FakeMenuItem>&) { return ID_COPY_CELL; };
    platform.ContextMenu(ctrl->GetBody(), Point{20, kRowHeight + 5});
    EXPECT_EQ(platform.ClipboardText(), std::optional<std::string>("two"));
}

TEST_F(TableCtrlTest, SaveAsProposesTheWindowTextAndWritesTheTable) {
    Make(300, 200);
    Fill({"x<y", ""});
    ctrl->SetWindowText("Server: list");
    platform.menus.chooser = [](const std::vector<FakeMenuItem>&) { return ID_SAVE_AS; };
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    ASSERT_EQ(platform.saveFileRequests.size(), 1u);
    const SaveFileRequest& request = platform.saveFileRequests[0];
    EXPECT_EQ(request.fileName, "Server_ list.html");
    EXPECT_EQ(request.defaultExt, "html");
    EXPECT_EQ(request.filter, "Html Dateien (*.html)|*.html|Alle Dateien (*.*)|*.*||");
    EXPECT_EQ(request.flags, 0x800006u);

    const std::string path = config.Path() + "/out.html";
    platform.saveFileAnswer = path;
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("    <TD>x&lt;y</TD>\n"), std::string::npos);
    EXPECT_NE(text.str().find("    <TD>&nbsp;</TD>\n"), std::string::npos);
    EXPECT_NE(text.str().find("    <TH>Score</TH>\n"), std::string::npos);
}

TEST_F(TableCtrlTest, BandsStayOnScreenRowsAndSelectedRowsUseSelectionColours) {
    Make(300, 188);
    Rows(30, 80);
    ClickRow(1);
    FakeDrawContext dc;
    auto fillAt = [&](int y) {
        for (const auto& op : dc.Ops())
            if (op.kind == TestSupport::DrawOp::Kind::Fill && op.rect.top == y &&
                op.rect.Height() == kRowHeight)
                return op.colour;
        return ColorRef{0xDEADBEEF};
    };
    ctrl->GetBody().Invalidate();
    platform.Paint(ctrl->GetBody(), dc);
    EXPECT_EQ(fillAt(0), RGB(240, 255, 240));
    EXPECT_EQ(fillAt(kRowHeight), RGB(0, 0, 128)) << "selected";
    EXPECT_EQ(fillAt(2 * kRowHeight), RGB(240, 255, 240));
    EXPECT_EQ(fillAt(3 * kRowHeight), RGB(224, 255, 224));
    // Texts only for rows that exist and intersect the clip.
    int texts = 0;
    for (const auto& op : dc.Ops())
        texts += op.kind == TestSupport::DrawOp::Kind::Text ? 1 : 0;
    EXPECT_EQ(texts, 3 * 11) << "rows 0 to 10 (one past the clip), three columns";

    ctrl->SetVertPos(kRowHeight);
    dc.ClearOps();
    platform.Paint(ctrl->GetBody(), dc);
    // Row 2 moved from an even screen row to an odd one and changed colour with it.
    EXPECT_EQ(fillAt(kRowHeight), RGB(224, 255, 224));
    bool rowTwoText = false;
    for (const auto& op : dc.Ops())
        if (op.kind == TestSupport::DrawOp::Kind::Text && op.text == "Row 2")
            rowTwoText = op.rect.top == kRowHeight + 1;
    EXPECT_TRUE(rowTwoText);
}

TEST_F(TableCtrlTest, StrongRowsAreDrawnBoldInEveryColumnAndTheOthersNot) {
    Make(300, 188);
    Rows(5, 80);
    ctrl->GetRow(1)->SetStrong(true);
    ctrl->GetRow(3)->SetStrong(true);
    FakeDrawContext dc;
    ctrl->GetBody().Invalidate();
    platform.Paint(ctrl->GetBody(), dc);
    int bold = 0, plain = 0;
    for (const auto& op : dc.Ops()) {
        if (op.kind != TestSupport::DrawOp::Kind::Text)
            continue;
        const int row = (op.rect.top - 1) / kRowHeight;
        const bool strongRow = row == 1 || row == 3;
        EXPECT_EQ(op.font.bold, strongRow) << op.text;
        (op.font.bold ? bold : plain) += 1;
    }
    EXPECT_EQ(bold, 2 * 3);
    EXPECT_EQ(plain, 3 * 3);
    // The mark goes with the row through a sort and is gone from a row taken anew.
    ctrl->DeleteRow(1);
    EXPECT_FALSE(ctrl->AddRow()->IsStrong());
}

TEST_F(TableCtrlTest, ToolTipsShowCutTextsAndLetTheParentAnswer) {
    Make(300, 200);
    Fill({"short", "a rather long name"}, 60, 60, 60);
    CWnd& body = ctrl->GetBody();
    EXPECT_EQ(platform.ToolTip(body, {10, 5}), "");
    EXPECT_EQ(platform.ToolTip(body, {10, kRowHeight + 5}), "a rather long name");
    EXPECT_EQ(dialog.notes.back(), (Note{LVN_GETINFOTIPA, 1, 0}));
    EXPECT_EQ(platform.ToolTip(body, {10, 150}), "") << "no row";

    CWnd& header = ctrl->GetHeader();
    ctrl->SetColumnTitle(2, "Cities of the world", -1);
    ctrl->SetColumnTitle(1, "Score\nPoints this round", -1);
    EXPECT_EQ(platform.ToolTip(header, {10, 5}), "") << "Name fits";
    EXPECT_EQ(platform.ToolTip(header, {70, 5}), "Points this round");
    EXPECT_EQ(platform.ToolTip(header, {130, 5}), "Cities of the world");
    ctrl->SetColumnWidth(0, 280); // "Score" now runs past the 300 px page
    ctrl->Redraw(true);
    EXPECT_EQ(platform.ToolTip(header, {285, 5}), "Points this round");
    ctrl->SetColumnTitle(1, "Score", -1);
    EXPECT_EQ(platform.ToolTip(header, {285, 5}), "Score");
    ctrl->SetColumnWidth(0, 230);
    ctrl->Redraw(true);
    EXPECT_EQ(platform.ToolTip(header, {245, 5}), "") << "fits and ends inside the page";

    dialog.answers[LVN_GETINFOTIPA] = 1;
    dialog.replaceText = "from the parent";
    EXPECT_EQ(platform.ToolTip(body, {10, 5}), "from the parent");
}

TEST_F(TableCtrlTest, FocusIsAnnouncedOnceForTheControlAndItsChildren) {
    Make(300, 200);
    Rows(3);
    ClickRow(0);
    ctrl->GetHeader().SetFocus();
    ctrl->SetFocus();
    int gained = 0;
    for (int code : dialog.Codes())
        gained += code == NM_SETFOCUS ? 1 : 0;
    EXPECT_EQ(gained, 1);
    EXPECT_TRUE(ctrl->HasFocus());
    dialog.SetFocus();
    EXPECT_FALSE(ctrl->HasFocus());
    EXPECT_EQ(dialog.Codes().back(), NM_KILLFOCUS);
}

TEST_F(TableCtrlTest, DragSelectingScrollsFasterFurtherBeyondTheEdge) {
    Make(300, 188);
    Rows(40, 80);
    CWnd& body = ctrl->GetBody();
    platform.LButtonDown(body, RowPoint(2));
    platform.MouseMove(body, {20, 170 + 2}); // just below the last full row
    EXPECT_EQ(ctrl->GetVertPos(), kRowHeight);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    platform.Advance(70 * 6 - 1);
    EXPECT_EQ(ctrl->GetVertPos(), kRowHeight) << "420 ms per row right at the edge";
    platform.Advance(1);
    EXPECT_EQ(ctrl->GetVertPos(), 2 * kRowHeight);
    platform.MouseMove(body, {20, 170 + 20}); // 20 px beyond: the fastest, after the
    platform.Advance(420);                    // step already scheduled
    EXPECT_EQ(ctrl->GetVertPos(), 3 * kRowHeight);
    platform.Advance(5 * 70);
    EXPECT_EQ(ctrl->GetVertPos(), 8 * kRowHeight);
    platform.LButtonUp(body, {20, 170 + 20});
    EXPECT_FALSE(ctrl->GetBody().IsDragSelecting());
    const int pos = ctrl->GetVertPos();
    platform.Advance(1000);
    EXPECT_EQ(ctrl->GetVertPos(), pos);
    EXPECT_EQ(Selected().front(), 2);
    EXPECT_EQ(Selected().back(), pos / kRowHeight + 9) << "the last full row";
}

TEST_F(TableCtrlTest, ColumnsRowKeysAndTheLayoutRecord) {
    Make(400, 200);
    EXPECT_EQ(ctrl->AddColumn(&stringCol, "Name", 0), 0);
    EXPECT_EQ(ctrl->AddColumn(&intCol, nullptr, 50), 1);
    EXPECT_EQ(ctrl->AddColumn(&intCol, "Key", -1), 2);
    EXPECT_EQ(ctrl->GetColumnWidth(0), 80 + 10) << "measured: the output's width and margins";
    EXPECT_FALSE(ctrl->IsColumnVisible(1)) << "no title";
    EXPECT_FALSE(ctrl->IsColumnVisible(2)) << "negative width";
    EXPECT_EQ(ctrl->GetColumnWidth(2), 7 * 13 + 10) << "'1,073,741,823' and margins";
    EXPECT_EQ(ctrl->GetHeaderFormat(2), static_cast<int>(kIntColumnFormat));
    ctrl->Build(2);
    for (int r = 0; r < 5; ++r) {
        ctrl->AddRow()->GetCell(0)->SetString("n" + std::to_string(r));
        ctrl->SetRowKey(r, 100 + r);
    }
    ctrl->Redraw(true);
    EXPECT_EQ(ctrl->GetRowKey(3), 103);
    EXPECT_EQ(ctrl->FindRowByKey(103), 3);
    ctrl->Sort(CSortKeys{2, 1, -1});
    EXPECT_EQ(ctrl->FindRowByKey(103), 1);
    EXPECT_EQ(ctrl->FindRowByKey(99), -1);
    ClickRow(1);
    EXPECT_EQ(dialog.last.code, NM_CLICK);
    EXPECT_EQ(dialog.last.rowKey, 103) << "notifications carry the row's key";

    CWordArray words;
    ctrl->SaveLayout(words);
    ASSERT_EQ(words.size(), 3u + 4 * 3);
    ctrl->SetColumnWidth(0, 200);
    ctrl->MoveColumn(0, 2);
    ctrl->SetColumnVisible(2, true);
    EXPECT_TRUE(ctrl->RestoreLayout(words));
    EXPECT_EQ(ctrl->GetColumnWidth(0), 90);
    EXPECT_EQ(ctrl->GetDisplayOrder(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(ctrl->IsColumnVisible(2));
    ctrl->SetColumnTitle(0, "Player", -1);
    EXPECT_FALSE(ctrl->RestoreLayout(words)) << "saved for other titles";

    ctrl->ClearLayout();
    EXPECT_EQ(ctrl->GetColumnCount(), 0);
    EXPECT_EQ(ctrl->GetRowCount(), 0);
    EXPECT_EQ(ctrl->GetRowKey(0), -1);
    EXPECT_EQ(ctrl->GetCurrentCell().GetRow(), -1);
}

TEST_F(TableCtrlTest, CellModeMovesTheCurrentColumnOverVisibleColumns) {
    Make(400, 200);
    Rows(5);
    ctrl->SetColumnsEditable(true);
    ctrl->SetColumnVisible(1, false);
    ClickRow(2);
    // The click opened the cell's editor; Escape closes it, so the keys move the cell.
    ASSERT_TRUE(ctrl->GetEditController().IsEditing());
    platform.KeyDown(VK_ESCAPE);
    ASSERT_FALSE(ctrl->GetEditController().IsEditing());
    CCurrentCell& cell = ctrl->GetCurrentCell();
    EXPECT_EQ(cell.GetColumn(), 0);
    platform.KeyDown(VK_RIGHT);
    EXPECT_EQ(cell.GetColumn(), 2) << "the hidden column is skipped";
    platform.KeyDown(VK_RIGHT);
    EXPECT_EQ(cell.GetColumn(), 2);
    platform.KeyDown(VK_HOME);
    EXPECT_EQ(cell.GetColumn(), 0);
    platform.KeyDown(VK_END);
    EXPECT_EQ(cell.GetColumn(), 2);
    ctrl->SetColumnVisible(2, false);
    EXPECT_EQ(cell.GetColumn(), 0) << "a hidden current column reads as the previous visible one";
    EXPECT_EQ(ctrl->GetBody().FocusRect(), (Rect{0, 2 * kRowHeight, 99, 3 * kRowHeight}));
    // The row object stays current when the rows are sorted.
    ctrl->Sort(CSortKeys{1, 1, -1});
    EXPECT_EQ(cell.GetRow(), 2);
    ctrl->Sort(CSortKeys{1, 0, -1});
    EXPECT_EQ(cell.GetRow(), 2);
    ctrl->Sort(CSortKeys{0, 1, -1});
    EXPECT_EQ(ctrl->GetCellText(cell.GetRow(), 0), "Row 2");
    EXPECT_EQ(cell.GetRow(), 2);
    ctrl->MoveRow(2, 0);
    EXPECT_EQ(cell.GetRow(), 0);
}

TEST_F(TableCtrlTest, AForwardingInterfaceReachesTheControlAndItsModel) {
    Make(300, 200);
    CTableCtrlInterface forward;
    forward.SetControl(ctrl.get());
    forward.SetColumnCount(1);
    forward.SetColumn(0, &stringCol, "Name", 60);
    forward.Build(-1);
    forward.AddRow()->GetCell(0)->SetString("x");
    EXPECT_EQ(ctrl->GetRowCount(), 1);
    EXPECT_EQ(forward.GetColumnWidth(0), 60);
    EXPECT_EQ(forward.GetCellText(0, 0), "x");
    EXPECT_EQ(forward.GetTable(), ctrl->GetTable()) << "data operations skip the control";
    forward.SetCurrentRow(0);
    EXPECT_EQ(forward.GetCurrentRow(), 0);
}

TEST_F(TableCtrlTest, ColumnMenusOfferOnlyColumnsWithinTheirIdentifierRanges) {
    Make(300, 200);
    ctrl->SetColumnCount(401);
    for (int c = 0; c < 401; ++c)
        ctrl->SetColumn(c, &stringCol, ("C" + std::to_string(c)).c_str(), 20);
    ctrl->Build();
    for (int c : {0, 398, 399})
        ctrl->SetColumnVisible(c, false);
    platform.ContextMenu(ctrl->GetBody(), Point{5, 5});
    const auto& items = platform.menus.tracked.at(0).items;
    std::vector<unsigned> shown;
    for (const FakeMenuItem& item : items.at(5).submenu)
        shown.push_back(item.id);
    EXPECT_EQ(shown, (std::vector<unsigned>{57443, 57444, 57444, 57444 + 398}));
    unsigned highest = 0;
    for (const FakeMenuItem& item : items.at(6).submenu)
        highest = std::max(highest, item.id);
    EXPECT_EQ(highest, 57844u + 397) << "column 400 is visible but out of range";
}

TEST_F(TableCtrlTest, ScrollBarCodesMoveByRowsPagesAndColumns) {
    Make(250, 205); // body 170 under the horizontal bar: ten rows
    Fill({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
          "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y"},
         120, 90, 100);
    ASSERT_EQ(ctrl->GetVertPage(), 170);
    CScrollBar& vert = ctrl->GetVertBar();
    vert.ReportScroll(SB_LINEDOWN, 0);
    EXPECT_EQ(ctrl->GetVertPos(), kRowHeight);
    vert.ReportScroll(SB_PAGEDOWN, 0);
    EXPECT_EQ(ctrl->GetVertPos(), kRowHeight + 170 - kRowHeight) << "a page less one row";
    vert.ReportScroll(SB_THUMBTRACK, 100);
    EXPECT_EQ(ctrl->GetVertPos(), 85) << "snapped to rows";
    EXPECT_EQ(platform.Window(vert).scroll.pos, 170) << "the thumb is the user's while dragged";
    vert.ReportScroll(SB_THUMBPOSITION, 1000);
    EXPECT_EQ(ctrl->GetVertPos(), 25 * kRowHeight - 170);
    EXPECT_EQ(platform.Window(vert).scroll.pos, 25 * kRowHeight - 170);
    vert.ReportScroll(SB_PAGEUP, 0);
    vert.ReportScroll(SB_LINEUP, 0);
    EXPECT_EQ(ctrl->GetVertPos(), 25 * kRowHeight - 170 - 153 - kRowHeight);

    // Horizontal lines go from column start to column start; pages by the page less 32.
    ctrl->SetColumnWidth(2, 300);
    ctrl->Redraw(true);
    CScrollBar& horz = ctrl->GetHorzBar();
    const int page = ctrl->GetHorzPage();
    ASSERT_EQ(page, 250 - 17);
    horz.ReportScroll(SB_LINERIGHT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 120);
    horz.ReportScroll(SB_LINERIGHT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 210);
    horz.ReportScroll(SB_LINERIGHT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 210) << "no column after the last";
    horz.ReportScroll(SB_LINELEFT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 120) << "to the previous column's start";
    horz.ReportScroll(SB_THUMBPOSITION, 150);
    horz.ReportScroll(SB_LINELEFT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 120) << "back to the start of the column cut at the edge";
    horz.ReportScroll(SB_LINELEFT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 0);
    horz.ReportScroll(SB_PAGERIGHT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), page - 32);
    horz.ReportScroll(SB_PAGELEFT, 0);
    EXPECT_EQ(ctrl->GetHorzPos(), 0);
}

TEST_F(TableCtrlTest, RowKeysNeedAKeyColumnAndIndexesOutsideTheTableAreIgnored) {
    Make(300, 200);
    Rows(3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(ctrl->GetRowKey(r), -1) << "built without a key column";
    ctrl->SetRowKey(0, 5);
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), -20) << "nothing written without a key column";
    EXPECT_EQ(ctrl->FindRowByKey(-20), -1);

    // Rebuilt with keys: the records of the rows before are gone, and no index reaches them.
    ctrl->Build(1);
    for (int r = 0; r < 2; ++r)
        ctrl->AddRow()->GetCell(1)->SetInt(r);
    for (int row : {-1, 2, 3})
        ctrl->SetRowKey(row, 7);
    EXPECT_EQ(ctrl->FindRowByKey(7), -1);
    EXPECT_EQ(ctrl->GetRowKey(2), -1);
    EXPECT_EQ(ctrl->GetCellText(2, 0), "");
    EXPECT_EQ(ctrl->GetCellText(-1, 0), "");
    EXPECT_EQ(ctrl->GetCellText(0, 3), "");
    EXPECT_EQ(ctrl->FindRowByPrefix(3, "a", -1), -1);
    EXPECT_EQ(ctrl->FindRowByPrefix(-1, "a", -1), -1);
}

TEST_F(TableCtrlTest, DesktopKeysCopySelectAllAndOpenTheMenuAsTheirMenuItemsDo) {
    Make(300, 200);
    Fill({"one", "two", "three"});
    ClickRow(0);
    platform.SetKeyDown(VK_SHIFT, true);
    ClickRow(1);
    platform.SetKeyDown(VK_SHIFT, false);

    // Ctrl+C copies the selected rows, exactly what the menu's "Copy" gives.
    platform.SetKeyDown(VK_CONTROL, true);
    platform.KeyDown('C');
    platform.SetKeyDown(VK_CONTROL, false);
    const std::optional<std::string> byKey = platform.ClipboardText();
    platform.menus.chooser = [](const std::vector<FakeMenuItem>&) { return ID_COPY; };
    platform.ContextMenu(ctrl->GetBody(), Point{20, 5});
    EXPECT_EQ(byKey, platform.ClipboardText());
    EXPECT_EQ(byKey, std::optional<std::string>("one\t-20\tCity 0\t\r\ntwo\t-10\tCity 1\t\r\n"));
    // A C alone is type-ahead, never a copy.
    platform.SetClipboardText("kept");
    platform.KeyDown('C');
    EXPECT_EQ(platform.ClipboardText(), std::optional<std::string>("kept"));

    // Ctrl+A selects every row and leaves the current one.
    const int current = ctrl->GetCurrentRow();
    platform.SetKeyDown(VK_CONTROL, true);
    platform.KeyDown('A');
    platform.SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ctrl->GetCurrentRow(), current);

    // Shift+F10 opens the body menu at the current cell, as the Menu key does.
    platform.menus.tracked.clear();
    platform.menus.chooser = [](const std::vector<FakeMenuItem>&) { return 0u; };
    platform.SetKeyDown(VK_SHIFT, true);
    platform.KeyDown(VK_F10);
    platform.SetKeyDown(VK_SHIFT, false);
    ASSERT_EQ(platform.menus.tracked.size(), 1u);
    platform.ContextMenu(ctrl->GetBody(), std::nullopt);
    ASSERT_EQ(platform.menus.tracked.size(), 2u);
    EXPECT_EQ(platform.menus.tracked[0].items.size(), platform.menus.tracked[1].items.size());
    EXPECT_EQ(platform.menus.tracked[0].x, platform.menus.tracked[1].x);
    EXPECT_EQ(platform.menus.tracked[0].y, platform.menus.tracked[1].y);

    // The parent still hears of these keys first and may take them.
    dialog.answers[NM_KEYDOWN] = 1;
    platform.SetKeyDown(VK_SHIFT, true);
    platform.KeyDown(VK_F10);
    platform.SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(platform.menus.tracked.size(), 2u);
}

TEST_F(TableCtrlTest, OnADarkPaletteEveryTextCanBeReadAndAChangeRepaints) {
    // Given a light desktop, the designed look is painted as ever,
    Make(300, 188);
    Rows(10, 80);
    ClickRow(1);
    FakeDrawContext dc;
    // Every text drawn over the body, against the row's fill beneath it.
    auto contrasts = [&] {
        std::vector<double> ratios;
        for (const auto& text : dc.Ops()) {
            if (text.kind != TestSupport::DrawOp::Kind::Text || text.text.empty())
                continue;
            ColorRef under = 0xDEADBEEF;
            for (const auto& fill : dc.Ops())
                if (fill.kind == TestSupport::DrawOp::Kind::Fill && fill.rect.Width() > 200 &&
                    fill.rect.top <= text.rect.top && text.rect.top < fill.rect.bottom)
                    under = fill.colour;
            ratios.push_back(ContrastRatio(text.colour, under));
        }
        return ratios;
    };
    ctrl->GetBody().Invalidate();
    platform.Paint(ctrl->GetBody(), dc);
    EXPECT_EQ(ctrl->GetBandColour(0, 0), RGB(240, 255, 240));
    EXPECT_EQ(ctrl->GetBandColour(0, 1), RGB(224, 255, 224));
    EXPECT_EQ(ctrl->GetGridColour(), RGB(128, 160, 128));

    // when the desktop turns dark (the colours of a common dark theme),
    platform.sysColours = {
        {COLOR_WINDOW, RGB(45, 45, 45)},        {COLOR_ALTERNATEBASE, RGB(53, 53, 53)},
        {COLOR_WINDOWTEXT, RGB(240, 240, 240)}, {COLOR_HIGHLIGHT, RGB(42, 130, 218)},
        {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},    {COLOR_MID, RGB(80, 80, 80)},
        {COLOR_BTNFACE, RGB(50, 50, 50)},       {COLOR_BTNTEXT, RGB(240, 240, 240)}};
    const int paints = platform.Window(ctrl->GetBody()).paints;
    ctrl->OnSysColorChange();
    // then the rows take its base colours and the grid its mid,
    EXPECT_EQ(ctrl->GetBandColour(0, 0), RGB(45, 45, 45));
    EXPECT_EQ(ctrl->GetBandColour(0, 1), RGB(53, 53, 53));
    EXPECT_EQ(ctrl->GetGridColour(), RGB(80, 80, 80));
    EXPECT_GT(platform.Window(ctrl->GetBody()).paints, paints) << "the change repaints";
    // and every text of every row, selected or not, reaches 4.5:1 on what it is drawn on.
    dc.ClearOps();
    platform.Paint(ctrl->GetBody(), dc);
    const std::vector<double> ratios = contrasts();
    ASSERT_EQ(ratios.size(), 3u * 10);
    for (double ratio : ratios)
        EXPECT_GE(ratio, kReadableContrast);

    // A theme that puts white text on a middle blue gets a darker blue.
    platform.sysColours[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
    ctrl->OnSysColorChange();
    EXPECT_GE(ContrastRatio(RGB(255, 255, 255), ctrl->GetBandColour(1, 0)), kReadableContrast);
    EXPECT_LT(ContrastRatio(RGB(255, 255, 255), ctrl->GetBandColour(1, 0)), kReadableContrast + 1);
    dc.ClearOps();
    platform.Paint(ctrl->GetBody(), dc);
    for (double ratio : contrasts())
        EXPECT_GE(ratio, kReadableContrast);

    // The header's titles and its sort arrow too.
    ctrl->Sort(CSortKeys{0, CSortKeys::kAscending});
    FakeDrawContext header;
    ctrl->GetHeader().Invalidate();
    platform.Paint(ctrl->GetHeader(), header);
    int titles = 0;
    for (const auto& op : header.Ops())
        if ((op.kind == TestSupport::DrawOp::Kind::Text ||
             op.kind == TestSupport::DrawOp::Kind::TextOut) &&
            !op.text.empty()) {
            ++titles;
            EXPECT_GE(ContrastRatio(op.colour, RGB(50, 50, 50)), kReadableContrast) << op.text;
        }
    EXPECT_GE(titles, 4) << "three titles and the arrow";

    // Back on a light desktop the designed look returns unchanged.
    platform.sysColours.clear();
    ctrl->OnSysColorChange();
    EXPECT_EQ(ctrl->GetBandColour(0, 0), RGB(240, 255, 240));
    EXPECT_EQ(ctrl->GetGridColour(), RGB(128, 160, 128));
}
