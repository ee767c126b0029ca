#include "dlgutil/SplitCtrl.h"
#include "dlgutil/DialogLayout.h"

#include "tests/support/FakePlatform.h"

#include "tests/support/PrintGeometry.h"

#include <gtest/gtest.h>

using namespace Dorlu_DlgUtil;
using namespace Platform;
using TestSupport::FakePlatform;

namespace {

class Dialog : public CWnd {
public:
    void OnCommand(unsigned id, unsigned code, CWnd*) override {
        commands.push_back({id, code});
        captureAtCommand.push_back(GetCapture());
    }
    std::vector<std::pair<unsigned, unsigned>> commands;
    std::vector<CWnd*> captureAtCommand;
};

enum { IdSplitter = 1030, IdServers = 1012, IdPlayers = 1009, IdButton = 1, IdArea = 900 };

// A 1000 x 600 dialog with the main window's arrangement: server table | splitter | players.
struct SplitDialog : ::testing::Test {
    FakePlatform platform;
    Dialog dialog;
    CWnd servers, players, button, placeholder;
    CSplitCtrl splitter;
    CDialogLayout layout;

    void SetUp() override {
        ASSERT_TRUE(dialog.CreateTopLevel(platform, {0, 0, 1000, 600}, WS_VISIBLE));
        servers.Create(dialog, {10, 40, 390, 560}, WS_CHILD | WS_VISIBLE, IdServers);
        placeholder.Create(dialog, {399, 40, 407, 560}, WS_CHILD | WS_VISIBLE | WS_BORDER,
                           IdSplitter);
        players.Create(dialog, {420, 40, 990, 560}, WS_CHILD | WS_VISIBLE, IdPlayers);
        button.Create(dialog, {900, 570, 990, 590}, WS_CHILD | WS_VISIBLE, IdButton);

        layout.Init(dialog);
        ASSERT_TRUE(splitter.ReplaceDlgItem(IdSplitter, dialog));
        splitter.Attach(layout, 15, 65);
        layout.AddWindow(&splitter, 0x1033);
        layout.AddItem(IdServers, 0x1010, -1, 0);
        layout.AddItem(IdPlayers, 0x1011, 0, -1);
        layout.AddItem(IdButton, 0x1111);
    }

    Rect Where(const CWnd& wnd) const { return dialog.ScreenToClientRect(wnd.GetWindowRect()); }

    void Resize(int width, int height) {
        dialog.MoveWindow({0, 0, width, height});
        layout.Apply();
    }

    // Drags the bar from its left edge (plus one pixel) to x in the dialog.
    void DragTo(int x) {
        platform.LButtonDown(splitter, {1, 100});
        platform.MouseMove(splitter, splitter.ScreenToClient(dialog.ClientToScreen({x + 1, 100})));
        platform.LButtonUp(splitter, splitter.ScreenToClient(dialog.ClientToScreen({x + 1, 100})));
    }
};

} // namespace

TEST_F(SplitDialog, ReplacingThePlaceholderTakesItsPlaceAndIdentifierAsASixPixelBar) {
    EXPECT_FALSE(placeholder.IsWindow());
    EXPECT_EQ(dialog.GetDlgItem(IdSplitter), &splitter);
    EXPECT_EQ(splitter.GetWindowText(), "Dorlu_DlgUtil::CSplitCtrl");
    EXPECT_FALSE(splitter.GetStyle() & WS_BORDER);
    EXPECT_TRUE(splitter.IsVertical());
    // Shrunk by one pixel, then made 6 wide from its left edge (alignment 0).
    EXPECT_EQ(Where(splitter), (Rect{400, 41, 406, 559}));
    EXPECT_EQ(splitter.GetPos(), 40);
    EXPECT_FALSE(CSplitCtrl().ReplaceDlgItem(4711, dialog));
}

TEST_F(SplitDialog, ResizingKeepsTheSplitterShareTheGapsAndAButtonInTheCorner) {
    Resize(1050, 600);
    EXPECT_EQ(Where(button), (Rect{950, 570, 1040, 590})) << "0x1111 moves by the growth";
    EXPECT_EQ(Where(players).right, 1040) << "0x1011 widens by the growth";

    Resize(1500, 700);
    EXPECT_EQ(splitter.GetPos(), 40);
    const Rect bar = Where(splitter);
    EXPECT_EQ(Where(servers).right, bar.right - 16);
    EXPECT_EQ(Where(players).left, bar.right + 14);
    EXPECT_EQ(Where(players).bottom, 660);

    Resize(1000, 600);
    EXPECT_EQ(Where(splitter), (Rect{400, 41, 406, 559}));
    EXPECT_EQ(Where(servers), (Rect{10, 40, 390, 560}));
    EXPECT_EQ(Where(button), (Rect{900, 570, 990, 590}));
}

TEST_F(SplitDialog, DraggingStopsAtTheLimitsAndNotifiesStartStepsAndEnd) {
    DragTo(800);
    EXPECT_EQ(Where(splitter).left, 650) << "65 % of 1000";
    EXPECT_EQ(Where(players).left, 670);
    EXPECT_EQ(Where(servers).right, 640);
    EXPECT_EQ(dialog.commands,
              (std::vector<std::pair<unsigned, unsigned>>{{IdSplitter, SPLIT_DRAG_START},
                                                          {IdSplitter, SPLIT_DRAG_STEP},
                                                          {IdSplitter, SPLIT_DRAG_END}}));
    EXPECT_EQ(dialog.captureAtCommand.back(), nullptr) << "the end is told with the mouse free";
    EXPECT_EQ(platform.GetCapture(), nullptr);

    DragTo(20);
    EXPECT_EQ(Where(splitter).left, 150) << "15 % of 1000";

    // A drag makes the current arrangement the base: a later resize starts from it.
    Resize(2000, 600);
    EXPECT_EQ(splitter.GetPos(), 15);
}

TEST_F(SplitDialog, AStepThatWouldSqueezeAPaneToNothingIsRefused) {
    // The players pane's right edge stays put, so a far drag would turn it inside out.
    layout.AddItem(IdPlayers, 0x1001 | ClearRight);
    splitter.Attach(layout, 15, 99);
    DragTo(980);
    EXPECT_EQ(Where(splitter).left, 400) << "the bar does not move for a refused step";
    EXPECT_EQ(Where(players), (Rect{420, 40, 990, 560}));
    EXPECT_EQ(dialog.commands,
              (std::vector<std::pair<unsigned, unsigned>>{{IdSplitter, SPLIT_DRAG_START},
                                                          {IdSplitter, SPLIT_DRAG_END}}))
        << "a refused step is not announced as a move";
    DragTo(960);
    EXPECT_EQ(Where(splitter).left, 960);
    EXPECT_EQ(Where(players), (Rect{980, 40, 990, 560}));
}

TEST_F(SplitDialog, SetPosLimitsToTheRangeAndGetPosTruncates) {
    EXPECT_EQ(splitter.SetPos(10), 15);
    EXPECT_EQ(Where(splitter).left, 151);
    EXPECT_EQ(splitter.SetPos(0), 15);
    EXPECT_EQ(splitter.SetPos(99), 65);
    // Storing GetPos and giving it back lands within a pixel.
    Resize(1234, 600);
    const int pos = splitter.GetPos();
    const int before = Where(splitter).left;
    EXPECT_EQ(splitter.SetPos(pos), pos);
    EXPECT_LE(std::abs(Where(splitter).left - before), 1);
}

TEST_F(SplitDialog, ReplacingAgainKeepsTheBarAndAnyOtherPlaceholder) {
    EXPECT_FALSE(splitter.ReplaceDlgItem(IdSplitter, dialog));
    EXPECT_FALSE(splitter.ReplaceDlgItem(IdButton, dialog));
    EXPECT_TRUE(button.IsWindow()) << "a bar that exists cannot take another placeholder's place";
    EXPECT_EQ(Where(splitter), (Rect{400, 41, 406, 559}));
}

TEST_F(SplitDialog, ARangeGivenTheWrongWayRoundLimitsToTheMaximumLast) {
    splitter.Attach(layout, 60, 30);
    EXPECT_EQ(splitter.SetPos(10), 30);
    EXPECT_EQ(splitter.SetPos(90), 30);
}

TEST(SplitCtrlTest, ALayoutWithoutItsDialogLeavesTheBarAlone) {
    FakePlatform platform;
    Dialog dialog;
    CWnd placeholder;
    dialog.CreateTopLevel(platform, {0, 0, 600, 400}, WS_VISIBLE);
    placeholder.Create(dialog, {299, 10, 307, 390}, WS_CHILD | WS_VISIBLE, IdSplitter);
    CSplitCtrl splitter;
    ASSERT_TRUE(splitter.ReplaceDlgItem(IdSplitter, dialog));
    CDialogLayout layout; // never given its dialog
    splitter.Attach(layout, 15, 65);
    EXPECT_TRUE(splitter.IsVertical());
    EXPECT_EQ(splitter.GetPos(), 0);
    EXPECT_EQ(splitter.SetPos(40), 0);
    platform.LButtonDown(splitter, {1, 100});
    platform.MouseMove(splitter, {50, 100});
    platform.LButtonUp(splitter, {50, 100});
    EXPECT_FALSE(splitter.IsDragging());
    EXPECT_EQ(dialog.ScreenToClientRect(splitter.GetWindowRect()), (Rect{300, 11, 306, 389}));
}

TEST_F(SplitDialog, LosingTheCaptureEndsTheDrag) {
    platform.LButtonDown(splitter, {1, 100});
    ASSERT_TRUE(splitter.IsDragging());
    button.SetCapture();
    EXPECT_FALSE(splitter.IsDragging());
    EXPECT_EQ(dialog.commands.back(), (std::pair<unsigned, unsigned>{IdSplitter, SPLIT_DRAG_END}));
}

TEST(DialogLayoutTest, TemplateItemSetsTheReferenceSizeAndIsDestroyed) {
    FakePlatform platform;
    CWnd dialog, frame, inside, outside;
    dialog.CreateTopLevel(platform, {0, 0, 500, 400}, WS_VISIBLE);
    frame.Create(dialog, {0, 0, 300, 200}, WS_CHILD, IdArea);
    inside.Create(dialog, {10, 10, 50, 30}, WS_CHILD, 2);
    outside.Create(dialog, {290, 10, 350, 30}, WS_CHILD, 3);

    CDialogLayout layout;
    layout.Init(dialog);
    EXPECT_EQ(layout.AddItemsInRect(IdArea, 0x0011), 2) << "the frame itself and one child";
    EXPECT_EQ(layout.GetItems().size(), 2u);

    layout.Init(dialog, 4, IdArea);
    EXPECT_TRUE(layout.GetItems().empty()) << "Init forgets the previous items";
    EXPECT_EQ(layout.GetReferenceSize(), (Size{300, 200}));
    EXPECT_FALSE(frame.IsWindow());
    EXPECT_EQ(layout.AddWindow(nullptr, 0x1111), -1);

    // Re-registering updates: bits 16-19 clear an edge's rule and reference first.
    const int i = layout.AddWindow(&inside, 0x1111, 0, 0, 0, 0);
    EXPECT_EQ(layout.AddWindow(&inside, ClearLeft | ClearTop | 0x0200), i);
    const CLayoutItem& item = layout.GetItems()[static_cast<size_t>(i)];
    EXPECT_EQ(item.flags, 0x1210);
    EXPECT_EQ(item.refs[EdgeLeft], -1);
    EXPECT_EQ(item.refs[EdgeRight], 0);
    EXPECT_EQ(item.refs[EdgeTop], -1);
}
