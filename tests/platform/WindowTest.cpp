#include "platform/Window.h"
#include "platform/ScrollBar.h"
#include "platform/ToolTip.h"
#include "tests/support/FakeDrawContext.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;
using TestSupport::FakePlatform;

namespace {

// Records the handler calls it gets, as "name x y" lines.
class Probe : public CWnd {
public:
    std::vector<std::string> calls;
    long notifyAnswer = 0;

    void OnSize(int w, int h) override { Log("size", w, h); }
    void OnLButtonDown(unsigned f, Point p) override { Log("down", p.x, p.y, f); }
    void OnLButtonUp(unsigned f, Point p) override { Log("up", p.x, p.y, f); }
    void OnMouseMove(unsigned f, Point p) override { Log("move", p.x, p.y, f); }
    void OnTimer(unsigned id) override { Log("timer", int(id)); }
    void OnSetFocus(CWnd*) override { Log("setfocus"); }
    void OnKillFocus(CWnd*) override { Log("killfocus"); }
    void OnCaptureChanged(CWnd*) override { Log("capturelost"); }
    void OnVScroll(unsigned code, int pos, CScrollBar*) override { Log("vscroll", code, pos); }
    long OnNotify(NMHDR& hdr) override {
        if (hdr.code == TTN_NEEDTEXTA) {
            auto& tip = static_cast<NMTTDISPINFO&>(hdr);
            tip.text = "tip " + std::to_string(tip.x) + " " + std::to_string(tip.y);
        }
        Log("notify", hdr.code, int(hdr.idFrom));
        return notifyAnswer;
    }
    bool OnContextMenu(CWnd* wnd, Point p) override {
        Log("menu", p.x, p.y, wnd == this ? 1 : 0);
        return true;
    }
    std::string OnRenderClipboardText() override { return "rows " + std::to_string(++renders); }
    int renders = 0;

private:
    template <typename... A> void Log(const char* name, A... a) {
        std::string s = name;
        ((s += " " + std::to_string(a)), ...);
        calls.push_back(s);
    }
};

struct Tree {
    FakePlatform platform;
    Probe top;
    Probe child;
    Probe grandchild;

    Tree() {
        top.CreateTopLevel(platform, {100, 50, 500, 350}, WS_VISIBLE);
        child.Create(top, {10, 20, 210, 120}, WS_VISIBLE, 7);
        grandchild.Create(child, {5, 5, 55, 25}, WS_VISIBLE, 9);
        top.calls.clear();
        child.calls.clear();
        grandchild.calls.clear();
    }
};

} // namespace

TEST(WindowTest, TreeAndCoordinates) {
    Tree t;
    EXPECT_EQ(t.child.GetParent(), &t.top);
    EXPECT_TRUE(t.top.IsChild(&t.grandchild));
    EXPECT_FALSE(t.grandchild.IsChild(&t.top));
    EXPECT_FALSE(t.top.IsChild(&t.top));
    EXPECT_EQ(t.top.GetDlgItem(7), &t.child);
    EXPECT_EQ(t.top.GetDlgItem(9), nullptr); // only direct children
    EXPECT_EQ(t.grandchild.ClientToScreen({1, 2}), (Point{116, 77}));
    EXPECT_EQ(t.grandchild.ScreenToClient({116, 77}), (Point{1, 2}));
    EXPECT_EQ(t.grandchild.GetWindowRect(), (Rect{115, 75, 165, 95}));
    EXPECT_EQ(t.child.GetClientRect(), (Rect{0, 0, 200, 100}));
    EXPECT_EQ(t.top.ScreenToClientRect(t.grandchild.GetWindowRect()), (Rect{15, 25, 65, 45}));

    // Moving reports a new size only when the size changes.
    t.child.MoveWindow({0, 0, 200, 100});
    t.child.MoveWindow({0, 0, 300, 100});
    EXPECT_EQ(t.child.calls, (std::vector<std::string>{"size 300 100"}));

    t.child.ShowWindow(false);
    EXPECT_FALSE(t.grandchild.IsWindowVisible()); // a hidden parent hides its children

    t.child.DestroyWindow();
    EXPECT_FALSE(t.grandchild.IsWindow());
    EXPECT_EQ(t.top.GetDlgItem(7), nullptr);
    t.grandchild.SetFocus(); // no window: nothing happens
    EXPECT_EQ(t.platform.GetFocus(), nullptr);
}

TEST(WindowTest, NotificationsGoToParentOrTargetWithAnswer) {
    Tree t;
    t.top.notifyAnswer = 5;
    NMHDR hdr;
    hdr.code = -2001;
    EXPECT_EQ(t.grandchild.SendNotify(hdr), 0); // the parent (child) answers 0
    EXPECT_EQ(t.grandchild.SendNotify(hdr, &t.top), 5);
    EXPECT_EQ(hdr.hwndFrom, &t.grandchild);
    EXPECT_EQ(hdr.idFrom, 9u);
    EXPECT_EQ(t.child.calls, (std::vector<std::string>{"notify -2001 9"}));
    EXPECT_EQ(t.top.calls, (std::vector<std::string>{"notify -2001 9"}));
}

TEST(WindowTest, UnhandledContextMenuAndWheelClimbToParent) {
    Tree t;
    t.platform.ContextMenu(t.grandchild, Point{1, 2});
    // Probe handles it: the child (a Probe) takes it, and says which window was clicked.
    EXPECT_EQ(t.grandchild.calls, (std::vector<std::string>{"menu 116 77 1"}));

    CWnd plain;
    plain.Create(t.child, {0, 0, 10, 10}, WS_VISIBLE, 3);
    t.platform.ContextMenu(plain, std::nullopt);
    EXPECT_EQ(t.child.calls, (std::vector<std::string>{"menu -1 -1 0"}));
}

TEST(WindowTest, RedrawWindowInvalidatesChildrenAndPaintsNow) {
    Tree t;
    TestSupport::FakeDrawContext dc;
    t.platform.Paint(t.top, dc);
    t.platform.Paint(t.child, dc);
    t.platform.Paint(t.grandchild, dc);

    Rect part{1, 1, 4, 4};
    t.child.RedrawWindow(&part, RDW_INVALIDATE);
    EXPECT_EQ(t.platform.Window(t.child).invalid, part);
    EXPECT_TRUE(t.platform.Window(t.grandchild).invalid.IsEmpty());

    t.child.RedrawWindow(nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(t.platform.Window(t.child).invalid.IsEmpty());
    EXPECT_TRUE(t.platform.Window(t.grandchild).invalid.IsEmpty());
    EXPECT_EQ(t.platform.Window(t.grandchild).paints, 2);
    EXPECT_EQ(t.platform.Window(t.top).paints, 1);

    // Invalid parts beyond the client area are cut off, and parts add up.
    Rect beyond{190, 90, 400, 400};
    t.child.InvalidateRect(&beyond);
    t.child.InvalidateRect(&part);
    EXPECT_EQ(t.platform.Window(t.child).invalid, (Rect{1, 1, 200, 100}));
    EXPECT_EQ(t.platform.Paint(t.child, dc), (Rect{1, 1, 200, 100}));
}

TEST(ScrollBarTest, ClampsPositionAndReportsToParent) {
    Tree t;
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(t.child, {180, 0, 197, 100}, false, WS_VISIBLE, 0));

    bar.SetScrollInfo({0, 99, 20, 95, 0});
    EXPECT_EQ(bar.GetScrollInfo().pos, 80); // last page starts at max - page + 1
    EXPECT_EQ(t.platform.Window(bar).scroll.pos, 80);
    bar.SetScrollPos(-3);
    EXPECT_EQ(bar.GetScrollInfo().pos, 0);
    bar.SetScrollInfo({0, 10, 50, 4, 0}); // page larger than the range
    EXPECT_EQ(bar.GetScrollInfo().page, 11);
    EXPECT_EQ(bar.GetScrollInfo().pos, 0);

    bar.SetScrollInfo({0, 99, 20, 40, 0});
    bar.ReportScroll(SB_THUMBTRACK, 57);
    bar.ReportScroll(SB_LINEDOWN, 0);
    EXPECT_EQ(t.child.calls, (std::vector<std::string>{"vscroll 5 57", "vscroll 1 40"}));
    EXPECT_EQ(bar.GetScrollInfo().trackPos, 0);
}

TEST(ToolTipTest, OwnerAnswersForItsTools) {
    Tree t;
    CToolTipCtrl tips(t.top);
    tips.AddTool(t.grandchild);
    EXPECT_EQ(t.platform.ToolTip(t.grandchild, {3, 4}), "tip 3 4");
    EXPECT_EQ(t.top.calls, (std::vector<std::string>{"notify -520 9"}));
    EXPECT_EQ(t.platform.ToolTip(t.child, {3, 4}), ""); // not a tool
    tips.Pop();
    EXPECT_EQ(t.platform.toolTipsHidden, 1);
}
