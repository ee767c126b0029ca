#include "platform/ScrollBar.h"
#include "platform/ToolTip.h"
#include "platform/Window.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Platform;
using PlatformQt::QtPlatform;
using TestSupport::ProcessEventsFor;
using TestSupport::TestApp;

namespace {

using Log = std::vector<std::string>;

class Probe : public CWnd {
public:
    Probe(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}

    void OnSize(int w, int h) override { Add("size", w, h); }
    void OnPaint(IDrawContext& dc, const Rect& clip) override {
        Add("paint", clip.left, clip.top, clip.right, clip.bottom);
        dc.FillSolidRect({2, 2, 6, 6}, RGB(255, 0, 0));
    }
    void OnLButtonDown(unsigned f, Point p) override {
        Add("down", p.x, p.y, f);
        if (onDown)
            onDown();
    }
    void OnLButtonUp(unsigned f, Point p) override { Add("up", p.x, p.y, f); }
    void OnLButtonDblClk(unsigned f, Point p) override { Add("dbl", p.x, p.y, f); }
    void OnMouseMove(unsigned f, Point p) override { Add("move", p.x, p.y, f); }
    bool OnMouseWheel(unsigned f, int delta, Point) override {
        Add("wheel", delta, f);
        return true;
    }
    void OnKeyDown(unsigned vk, unsigned, unsigned flags) override { Add("key", vk, flags); }
    void OnChar(unsigned ch, unsigned, unsigned) override { Add("char", ch); }
    unsigned OnGetDlgCode() override { return dlgCode; }
    void OnTimer(unsigned id) override { Add("timer", id); }
    void OnSetFocus(CWnd* old) override { Add("setfocus", Name(old)); }
    void OnKillFocus(CWnd* now) override { Add("killfocus", Name(now)); }
    void OnCaptureChanged(CWnd* now) override { Add("capturelost", Name(now)); }
    bool OnContextMenu(CWnd*, Point p) override {
        Add("menu", p.x, p.y);
        return true;
    }
    void OnVScroll(unsigned code, int pos, CScrollBar* bar) override {
        Add("vscroll", code, pos);
        if (follow)
            bar->SetScrollPos(pos + 1);
    }
    long OnNotify(NMHDR& hdr) override {
        if (hdr.code == TTN_NEEDTEXTA)
            static_cast<NMTTDISPINFO&>(hdr).text = "tip";
        return 0;
    }

    std::function<void()> onDown;
    unsigned dlgCode = 0;
    bool follow = false;

private:
    static std::string Name(CWnd* w) {
        auto* p = dynamic_cast<Probe*>(w);
        return p ? p->m_name : "none";
    }
    template <typename... A> void Add(const char* what, A... a) {
        std::string s = m_name + " " + what;
        auto add = [&](const auto& v) {
            if constexpr (std::is_convertible_v<decltype(v), std::string>)
                s += " " + std::string(v);
            else
                s += " " + std::to_string(v);
        };
        (add(a), ...);
        m_log.push_back(s);
    }
    Log& m_log;
    std::string m_name;
};

struct Windows {
    QtPlatform platform;
    Log log;
    Probe top{log, "top"};
    Probe a{log, "a"};
    Probe b{log, "b"};

    Windows() {
        TestApp();
        top.CreateTopLevel(platform, {0, 0, 300, 200}, WS_VISIBLE);
        a.Create(top, {10, 10, 110, 60}, WS_VISIBLE, 1);
        b.Create(top, {120, 10, 220, 60}, WS_VISIBLE, 2);
        QApplication::setActiveWindow(W(top));
        ProcessEventsFor(20);
        log.clear();
    }
    QWidget* W(const CWnd& wnd) { return platform.Widget(wnd); }
    void Mouse(CWnd& wnd, QEvent::Type type, QPoint p, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, p, W(wnd)->mapToGlobal(p), button, buttons, mods);
        QApplication::sendEvent(W(wnd), &e);
    }
    void Key(CWnd& wnd, int key, const QString& text) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(W(wnd), &e);
    }
};

} // namespace

TEST(QtWindowTest, MouseKeysWheelAndMenuReachTheHandlers) {
    Windows w;
    w.Mouse(w.a, QEvent::MouseButtonPress, {5, 6}, Qt::LeftButton, Qt::LeftButton,
            Qt::ShiftModifier);
    w.Mouse(w.a, QEvent::MouseMove, {7, 8}, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    w.Mouse(w.a, QEvent::MouseButtonRelease, {7, 8}, Qt::LeftButton, Qt::NoButton);
    w.Mouse(w.a, QEvent::MouseButtonDblClick, {7, 8}, Qt::LeftButton, Qt::LeftButton);
    w.Mouse(w.a, QEvent::MouseButtonPress, {1, 1}, Qt::RightButton, Qt::RightButton);

    w.Key(w.a, Qt::Key_A, "a");
    w.Key(w.a, Qt::Key_PageDown, "");
    w.Key(w.a, Qt::Key_Adiaeresis, QString(QChar(0xE4)));
    w.Key(w.a, Qt::Key_Delete, "\x7F");
    w.Key(w.a, Qt::Key_Escape, "\x1B"); // the top window's: a does not ask for it
    w.a.dlgCode = DLGC_WANTALLKEYS;
    w.Key(w.a, Qt::Key_Return, "\r");

    QWheelEvent wheel({3, 3}, w.W(w.b)->mapToGlobal(QPoint(3, 3)), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.W(w.b), &wheel);
    QContextMenuEvent fromKeyboard(QContextMenuEvent::Keyboard, {4, 4}, {404, 304});
    QApplication::sendEvent(w.W(w.b), &fromKeyboard);
    QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, {4, 4}, {400, 300});
    QApplication::sendEvent(w.W(w.b), &fromMouse);

    EXPECT_EQ(w.log, (Log{"a down 5 6 5", "a move 7 8 9", "a up 7 8 0", "a dbl 7 8 1", "a key 65 0",
                          "a char 97", "a key 34 0", "a char 228", "a key 46 0", "top key 27 0",
                          "top char 27", "a key 13 0", "a char 13", "b wheel -120 0",
                          "b menu -1 -1", "b menu 400 300"}));
}

TEST(QtWindowTest, SmoothWheelTurnsAddUpToWholeNotchesPerWindow) {
    Windows w;
    auto turn = [&](CWnd& wnd, int delta) {
        QWheelEvent wheel({3, 3}, w.W(wnd)->mapToGlobal(QPoint(3, 3)), {}, {0, delta}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.W(wnd), &wheel);
    };
    // A touchpad's quarter notches make one notch; half a notch and back again makes none.
    for (int i = 0; i < 4; ++i)
        turn(w.a, 30);
    turn(w.a, 60);
    turn(w.a, -60);
    EXPECT_EQ(w.log, (Log{"a wheel 120 0"}));
    // Each window keeps its own rest, and a full notch arrives as it is.
    turn(w.a, -90);
    turn(w.b, -60);
    turn(w.b, -120);
    turn(w.a, -30);
    turn(w.a, 250);
    EXPECT_EQ(w.log, (Log{"a wheel 120 0", "b wheel -120 0", "a wheel -120 0", "a wheel 240 0"}));
}

TEST(QtWindowTest, TabMovesTheFocusUnlessTheWindowWantsIt) {
    Windows w;
    Probe c(w.log, "c"), d(w.log, "d");
    c.Create(w.top, {0, 100, 50, 150}, WS_VISIBLE | WS_TABSTOP, 3);
    d.Create(w.top, {60, 100, 110, 150}, WS_VISIBLE | WS_TABSTOP, 4);
    c.SetFocus();
    w.log.clear();
    w.Key(c, Qt::Key_Tab, "\t");
    EXPECT_EQ(w.platform.GetFocus(), &d);
    EXPECT_EQ(w.log, (Log{"c killfocus d", "d setfocus c"}));

    c.dlgCode = DLGC_WANTALLKEYS;
    c.SetFocus();
    w.log.clear();
    w.Key(c, Qt::Key_Tab, "\t");
    EXPECT_EQ(w.platform.GetFocus(), &c);
    EXPECT_EQ(w.log, (Log{"c key 9 0", "c char 9"}));
}

TEST(QtWindowTest, FocusAndCaptureChangesTellBothWindows) {
    Windows w;
    w.a.SetFocus();
    EXPECT_EQ(w.platform.GetFocus(), &w.a);
    EXPECT_EQ(w.b.SetFocus(), &w.a);
    EXPECT_EQ(w.platform.GetFocus(), &w.b);
    w.a.SetCapture();
    w.b.SetCapture();
    w.b.ReleaseCapture();
    EXPECT_EQ(w.platform.GetCapture(), nullptr);
    EXPECT_EQ(w.log, (Log{"a setfocus none", "a killfocus b", "b setfocus a", "a capturelost b",
                          "b capturelost none"}));

    // A window that goes away gives the capture back without a word.
    w.a.SetCapture();
    w.a.DestroyWindow();
    EXPECT_EQ(w.platform.GetCapture(), nullptr);
}

TEST(QtWindowTest, SizeTimersAndPaintingThroughTheBuffer) {
    Windows w;
    // Hidden windows hear their new size at once, and only once.
    w.a.ShowWindow(false);
    w.a.MoveWindow({0, 0, 50, 40});
    w.a.MoveWindow({5, 5, 55, 45});
    EXPECT_EQ(w.log, (Log{"a size 50 40"}));
    w.log.clear();

    ProcessEventsFor(20); // the top window repaints where a was
    w.log.clear();

    w.b.SetTimer(7, 10);
    ProcessEventsFor(80);
    w.b.KillTimer(7);
    size_t fired = w.log.size();
    EXPECT_GE(fired, 2u);
    for (const auto& line : w.log)
        EXPECT_EQ(line, "b timer 7");
    ProcessEventsFor(40);
    EXPECT_EQ(w.log.size(), fired);
    w.log.clear();

    QImage shot = w.W(w.b)->grab().toImage();
    EXPECT_EQ(w.log, (Log{"b paint 0 0 100 50"}));
    EXPECT_EQ(shot.pixelColor(3, 3), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(20, 20), QApplication::palette().color(QPalette::Button));

    // Invalidating a part and updating paints that part now.
    w.log.clear();
    Rect part{10, 10, 30, 20};
    w.b.InvalidateRect(&part);
    w.b.UpdateWindow();
    EXPECT_EQ(w.log, (Log{"b paint 10 10 30 20"}));
    w.b.UpdateWindow(); // nothing left to paint
    EXPECT_EQ(w.log.size(), 1u);
}

TEST(QtWindowTest, PopupWindowsAreFramelessAndStayOnTop) {
    Windows w;
    Probe popup(w.log, "popup");
    ASSERT_TRUE(popup.CreateTopLevel(w.platform, {50, 60, 150, 160}, WS_POPUP));
    Qt::WindowFlags flags = w.W(popup)->windowFlags();
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w.W(popup)->isVisible()); // shown only when asked
    EXPECT_EQ(popup.GetWindowRect(), (Rect{50, 60, 150, 160}));
    EXPECT_FALSE(w.W(w.top)->windowFlags() & Qt::FramelessWindowHint);
}

TEST(QtWindowTest, WindowMayDestroyItsParentFromAHandler) {
    Windows w;
    w.a.onDown = [&] { w.top.DestroyWindow(); };
    w.Mouse(w.a, QEvent::MouseButtonPress, {5, 6}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(w.a.IsWindow());
    EXPECT_FALSE(w.top.IsWindow());
    ProcessEventsFor(10); // the widgets go now
}

TEST(QtWindowTest, ScrollBarLeavesThePositionToItsParent) {
    Windows w;
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(w.a, {80, 0, 97, 50}, false, WS_VISIBLE, 0));
    bar.SetScrollInfo({0, 99, 10, 20, 0});
    auto* qbar = qobject_cast<QScrollBar*>(w.W(bar));
    ASSERT_NE(qbar, nullptr);
    EXPECT_EQ(qbar->maximum(), 90);
    EXPECT_EQ(qbar->pageStep(), 10);

    qbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(qbar->value(), 20); // the parent did not move it
    w.a.follow = true;
    qbar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(qbar->value(), 21);
    EXPECT_EQ(bar.GetScrollInfo().pos, 21);
    w.a.follow = false;
    qbar->setSliderDown(true);
    qbar->setSliderPosition(60);
    qbar->setSliderDown(false);
    EXPECT_EQ(w.log, (Log{"a vscroll 1 20", "a vscroll 2 20", "a vscroll 5 60", "a vscroll 4 60",
                          "a vscroll 8 21"}));
}
