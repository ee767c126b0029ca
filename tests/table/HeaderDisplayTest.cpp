#include "tests/table/TableCtrlFixture.h"

using namespace Platform;
using namespace Tavex;
using TableCtrlTesting::Note;
using TableCtrlTesting::TableCtrlTest;
using TestSupport::DrawOp;
using TestSupport::FakeDrawContext;
using TestSupport::FakeMenuItem;

namespace {

class HeaderDisplayTest : public TableCtrlTest {
protected:
    void SetUp() override {
        Make(400, 200);
        Fill({"bob", "Al", "cy", "al"});
    }
    CHeaderDisplay& Header() { return ctrl->GetHeader(); }
    std::vector<std::pair<int, int>> Keys() {
        std::vector<std::pair<int, int>> keys;
        const CSortKeys& k = *ctrl->GetSortKeys();
        for (int i = 0; i < k.GetCount(); ++i)
            keys.push_back({k.GetColumn(i), k.GetDirection(i)});
        return keys;
    }
    // The arrow glyphs drawn in a fresh paint of the header.
    std::vector<std::pair<int, std::string>> Arrows() {
        FakeDrawContext dc;
        Header().Invalidate();
        platform.Paint(Header(), dc);
        std::vector<std::pair<int, std::string>> arrows;
        for (const DrawOp& op : dc.Ops())
            if (op.kind == DrawOp::Kind::TextOut)
                arrows.push_back({op.rect.left, op.text});
        return arrows;
    }
    std::vector<unsigned> ButtonStates() {
        FakeDrawContext dc;
        Header().Invalidate();
        platform.Paint(Header(), dc);
        std::vector<unsigned> states;
        for (const DrawOp& op : dc.Ops())
            if (op.kind == DrawOp::Kind::FrameControl)
                states.push_back(op.format);
        return states;
    }
};

} // namespace

TEST_F(HeaderDisplayTest, BorderHitTestCoversBothSidesOfEachBorder) {
    EXPECT_EQ(Header().HitTestBorder(50), -1);
    EXPECT_EQ(Header().HitTestBorder(94), -1);
    EXPECT_EQ(Header().HitTestBorder(95), 0) << "within 5 px left of the border";
    EXPECT_EQ(Header().HitTestBorder(105), 0) << "within 5 px right of it";
    EXPECT_EQ(Header().HitTestBorder(106), -1);
    EXPECT_EQ(Header().HitTestBorder(305), 2) << "beyond the last column";
    EXPECT_EQ(Header().HitTestBorder(306), -1);
    ctrl->SetColumnVisible(1, false);
    EXPECT_EQ(Header().HitTestBorder(103), 0) << "the hidden column is skipped";
    ctrl->SetHorzPos(0);
    ctrl->MoveColumn(0, 1); // order 1 (hidden), 0, 2
    EXPECT_EQ(Header().HitTestBorder(2), -1) << "no border left of the first visible title";
}

TEST_F(HeaderDisplayTest, ClicksSortAscendingThenDescendingWithArrows) {
    ClickHeader(20);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{0, 0}}));
    // "Al" and "al" are equal keys and may come in either order.
    EXPECT_EQ(Column(0)[2], "bob");
    EXPECT_EQ(Column(0)[3], "cy");
    EXPECT_EQ(Arrows(), (std::vector<std::pair<int, std::string>>{{100 - 5 - 5, "\xEA"}}));
    ClickHeader(20);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(Column(0)[0], "cy");
    EXPECT_EQ(Arrows(), (std::vector<std::pair<int, std::string>>{{90, "\xE9"}}));
    ClickHeader(20);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{0, 0}}));
    std::vector<Note> sorts;
    for (const Note& n : dialog.notes)
        if (n.code == TVN_SORTCHANGING || n.code == TVN_SORTED)
            sorts.push_back(n);
    EXPECT_EQ(sorts.size(), 6u);
    EXPECT_EQ(sorts[0], (Note{TVN_SORTCHANGING, -1, 0}));
    EXPECT_EQ(sorts[1], (Note{TVN_SORTED, -1, 0}));

    // Integer columns are right-aligned: the arrow goes to the left; centred titles get two.
    ClickHeader(120);
    EXPECT_EQ(Arrows(), (std::vector<std::pair<int, std::string>>{{100 + 5 - 2, "\xEA"}}));
    ctrl->SetHeaderFormat(1, kCentredColumnFormat);
    EXPECT_EQ(Arrows(), (std::vector<std::pair<int, std::string>>{{103, "\xEA"}, {190, "\xEA"}}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"-20", "-10", "0", "10"}));

    // A veto leaves keys and rows alone.
    dialog.answers[TVN_SORTCHANGING] = 1;
    ClickHeader(220);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{1, 0}}));
}

TEST_F(HeaderDisplayTest, ShiftClickKeepsKeysInDisplayOrder) {
    ctrl->Sort(CSortKeys{2, 0, -1});
    platform.SetKeyDown(VK_SHIFT, true);
    ClickHeader(20);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{0, 0}, {2, 0}}));
    ctrl->Sort(CSortKeys{2, 0, -1});
    ctrl->MoveColumn(0, 2); // order 1, 2, 0
    ClickHeader(250);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{2, 0}, {0, 0}}));
    platform.SetKeyDown(VK_SHIFT, false);
    // A plain click replaces the list.
    ClickHeader(20);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{1, 0}}));
}

TEST_F(HeaderDisplayTest, DraggingATitleMovesTheColumnAndReordersTheKeys) {
    ctrl->Sort(CSortKeys{0, 0, 1, 1, -1});
    dialog.notes.clear();
    platform.LButtonDown(Header(), {20, 8});
    platform.MouseMove(Header(), {24, 8});
    EXPECT_EQ(Header().GetMode(), CHeaderDisplay::Pressed) << "4 px is within the drag distance";
    platform.MouseMove(Header(), {60, 8});
    EXPECT_EQ(Header().GetMode(), CHeaderDisplay::Moving);
    platform.MouseMove(Header(), {100, 8}); // at the moved column's left edge + next width
    EXPECT_EQ(ctrl->GetDisplayOrder(), (std::vector<int>{0, 1, 2}));
    platform.MouseMove(Header(), {101, 8});
    EXPECT_EQ(ctrl->GetDisplayOrder(), (std::vector<int>{1, 0, 2}));
    platform.MouseMove(Header(), {160, 8}); // over its own new place: stays
    platform.MouseMove(Header(), {99, 8});  // left of position 0's edge + start width
    EXPECT_EQ(ctrl->GetDisplayOrder(), (std::vector<int>{0, 1, 2}));
    platform.MouseMove(Header(), {101, 8});
    platform.LButtonUp(Header(), {101, 8});
    EXPECT_EQ(Header().GetMode(), CHeaderDisplay::Idle);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{1, 1}, {0, 0}}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"10", "0", "-10", "-20"}));
    std::vector<int> codes;
    for (int code : dialog.Codes())
        if (code == TVN_SORTCHANGING || code == TVN_SORTED)
            codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int>{TVN_SORTCHANGING, TVN_SORTED}));
    EXPECT_FALSE(platform.HasTimer(Header(), CHeaderDisplay::kTimer));

    // A drag no further than the drag distance is a click.
    platform.LButtonDown(Header(), {20, 8});
    platform.MouseMove(Header(), {24, 8});
    platform.LButtonUp(Header(), {24, 8});
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{1, 0}}));
}

TEST_F(HeaderDisplayTest, BordersResizeAndDoubleClickAutosizes) {
    platform.MouseMove(Header(), {98, 8});
    EXPECT_EQ(platform.Window(Header()).cursor, IDC_HSPLITBAR);
    platform.MouseMove(Header(), {50, 8});
    EXPECT_EQ(platform.Window(Header()).cursor, IDC_ARROW);
    platform.LButtonDown(Header(), {98, 8});
    platform.MouseMove(Header(), {130, 8});
    EXPECT_EQ(ctrl->GetColumnWidth(0), 132);
    platform.MouseMove(Header(), {-200, 8});
    EXPECT_EQ(ctrl->GetColumnWidth(0), 39) << "not below the floor: grid + margins + 'W...'";
    platform.LButtonUp(Header(), {-200, 8});
    platform.DoubleClick(Header(), {39 + 200 - 2, 8});
    EXPECT_EQ(ctrl->GetColumnWidth(2), 10 + 7 * 6) << "widest of 'City 0' and 'City'";
    EXPECT_TRUE(Keys().empty()) << "a border double click does not sort";

    ctrl->AllowColumnSizing(false);
    platform.MouseMove(Header(), {41, 8});
    EXPECT_EQ(platform.Window(Header()).cursor, IDC_ARROW);
}

TEST_F(HeaderDisplayTest, HoldingTheButtonAtTheEdgeScrollsByDistance) {
    ctrl->SetColumnWidth(0, 600);
    ctrl->Redraw(true);
    ctrl->SetHorzPos(100);
    platform.LButtonDown(Header(), {50, 8});
    platform.MouseMove(Header(), {0, 8});
    platform.Advance(60);
    EXPECT_EQ(ctrl->GetHorzPos(), 95);
    platform.MouseMove(Header(), {12, 8});
    platform.Advance(60);
    EXPECT_EQ(ctrl->GetHorzPos(), 94);
    platform.MouseMove(Header(), {13, 8});
    platform.Advance(120);
    EXPECT_EQ(ctrl->GetHorzPos(), 94);
    platform.LButtonUp(Header(), {13, 8});
    EXPECT_TRUE(Keys().empty()) << "released away from the pressed title";
}

TEST_F(HeaderDisplayTest, HeaderMenuMarksTheSortStateAndGuardsTheLastColumn) {
    ctrl->Sort(CSortKeys{1, 1, -1});
    platform.ContextMenu(Header(), Point{120, 8});
    ASSERT_EQ(platform.menus.tracked.size(), 1u);
    auto items = platform.menus.tracked[0].items;
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0], (FakeMenuItem{0, 57357, "Ascending", {}}));
    EXPECT_EQ(items[1], (FakeMenuItem{MF_CHECKED | MFT_RADIOCHECK, 57358, "Descending", {}}));
    EXPECT_EQ(items[2], (FakeMenuItem{0, 57359, "No sort", {}}));
    EXPECT_EQ(items[4], (FakeMenuItem{0, 57361, "Hide", {}}));
    EXPECT_EQ(dialog.last.iColumn, 1);

    platform.ContextMenu(Header(), Point{350, 8});
    items = platform.menus.tracked[1].items;
    EXPECT_EQ(items, (std::vector<FakeMenuItem>{
                         {MF_GRAYED | MF_DISABLED, 1, "Todo: Implementieren", {}}}));

    // A column that is not a key marks "No sort".
    platform.ContextMenu(Header(), Point{20, 8});
    items = platform.menus.tracked[2].items;
    EXPECT_EQ(items[0].flags, 0u);
    EXPECT_EQ(items[2], (FakeMenuItem{MF_CHECKED | MFT_RADIOCHECK, 57359, "No sort", {}}));

    ctrl->SetColumnVisible(0, false);
    ctrl->SetColumnVisible(2, false);
    ctrl->Redraw(true);
    ctrl->SetSortable(false);
    platform.ContextMenu(Header(), Point{20, 8});
    items = platform.menus.tracked[3].items;
    EXPECT_EQ(items, (std::vector<FakeMenuItem>{{MF_GRAYED | MF_DISABLED, 57361, "Hide", {}}}));
    EXPECT_EQ(ButtonStates().front(), DFCS_BUTTONPUSH | DFCS_FLAT);
}

TEST_F(HeaderDisplayTest, HeaderMenuCommandsSortWithoutReplacingOtherKeys) {
    ctrl->Sort(CSortKeys{2, 0, -1});
    auto choose = [&](unsigned id, int x) {
        platform.menus.chooser = [id](const std::vector<FakeMenuItem>&) { return id; };
        platform.ContextMenu(Header(), Point{x, 8});
    };
    choose(ID_SORT_DESCENDING, 20);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{0, 1}, {2, 0}}));
    choose(ID_SORT_NONE, 250);
    EXPECT_EQ(Keys(), (std::vector<std::pair<int, int>>{{0, 1}}));
    choose(ID_HIDE, 250);
    EXPECT_FALSE(ctrl->IsColumnVisible(2));
    EXPECT_EQ(dialog.Codes().back(), TVN_HEADERMENUCOMMAND);
}

TEST_F(HeaderDisplayTest, LosingTheCaptureEndsAPressWithoutSorting) {
    platform.LButtonDown(Header(), {20, 8});
    EXPECT_EQ(Header().GetMode(), CHeaderDisplay::Pressed);
    EXPECT_TRUE(platform.HasTimer(Header(), CHeaderDisplay::kTimer));
    dialog.SetCapture();
    EXPECT_EQ(Header().GetMode(), CHeaderDisplay::Idle);
    EXPECT_FALSE(platform.HasTimer(Header(), CHeaderDisplay::kTimer));
    EXPECT_EQ(dialog.notes.back(), (Note{NM_RELEASEDCAPTURE, -1, -1}));
    dialog.ReleaseCapture();
    platform.LButtonUp(Header(), {20, 8});
    EXPECT_TRUE(Keys().empty());

    // A press beyond the last title only beeps.
    platform.LButtonDown(Header(), {350, 8});
    EXPECT_EQ(platform.beeps, (std::vector<unsigned>{0xFFFFFFFFu}));
    EXPECT_EQ(platform.GetCapture(), nullptr);
}

TEST_F(HeaderDisplayTest, PressedTitlesDrawPushedAndAMovedTitleFollowsThePointer) {
    platform.LButtonDown(Header(), {30, 8});
    EXPECT_EQ(ButtonStates().front(), DFCS_BUTTONPUSH | DFCS_PUSHED);
    platform.MouseMove(Header(), {30, 30}); // off the title: drawn up again
    EXPECT_EQ(ButtonStates().front(), DFCS_BUTTONPUSH);
    platform.MouseMove(Header(), {45, 8}); // back, and beyond the drag distance
    ASSERT_EQ(Header().GetMode(), CHeaderDisplay::Moving);
    platform.MouseMove(Header(), {70, 8});
    FakeDrawContext dc;
    Header().Invalidate();
    platform.Paint(Header(), dc);
    // The image keeps the grip point under the pointer: pressed 30 px into the title.
    bool image = false;
    for (const DrawOp& op : dc.Ops())
        if (op.kind == DrawOp::Kind::Fill && op.colour == RGB(128, 128, 128))
            image = op.rect == Rect{40, 0, 140, CHeaderDisplay::kHeight};
    EXPECT_TRUE(image);
    platform.LButtonUp(Header(), {70, 8});
    dc.ClearOps();
    Header().Invalidate();
    platform.Paint(Header(), dc);
    for (const DrawOp& op : dc.Ops())
        EXPECT_NE(op.colour, RGB(128, 128, 128)) << "the image goes with the release";
}
