// The widgets that stand for windows: a plain widget that forwards Qt's events to its CWnd's
// handlers and paints through a shared off-screen image, a scroll bar that reports the user's
// actions with the SB_* codes, and the peer handle that CWnd drives them through.
#pragma once

#include "platform/ScrollBar.h"
#include "platform/WheelAccumulator.h"
#include "platform/Window.h"
#include "platform/WindowPeer.h"

#include <QRegion>
#include <QScrollBar>
#include <QWidget>

#include <map>

namespace PlatformQt {

class QtPlatform;

// Marks a handler call in progress. While any runs, widgets are deleted later: a handler may
// destroy its own window or one of its parents, whose widgets must outlive its return.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
    static bool Active();
};

// What every widget standing for a window shares: the window it reports to (null once that
// let go) and the window text as the program set it.
class PeerWidget {
public:
    virtual ~PeerWidget() = default;
    Platform::CWnd* m_owner = nullptr;
    std::string m_text;
    QSize m_reportedSize;
    QRegion m_pending; // invalidated and not yet painted
    // Tells the owner about a new size once per change, whether it came from Qt or from us.
    void ReportSize(QSize size);
};

class WindowWidget : public QWidget, public PeerWidget {
public:
    WindowWidget(QtPlatform& platform, QWidget* parent);

    void SetTimer(unsigned id, unsigned milliseconds);
    void KillTimer(unsigned id);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    QtPlatform& m_platform;
    std::map<unsigned, int> m_timers; // our identifier -> Qt's
    Platform::CWheelAccumulator m_wheel;
};

class ScrollBarWidget : public QScrollBar, public PeerWidget {
public:
    ScrollBarWidget(Qt::Orientation orientation, QWidget* parent);
    void Show(const Platform::ScrollInfo& info);

protected:
    void wheelEvent(QWheelEvent* e) override;

private:
    void Report(unsigned code, int pos);
    int m_pos = 0; // the position the owner set last
    Platform::CWheelAccumulator m_wheel;
};

class QtWindowPeer : public Platform::IWindowPeer {
public:
    QtWindowPeer(QtPlatform& platform, Platform::CWnd& owner, QWidget* widget);
    // Lets go of the owner and deletes the widget, later when a handler is running.
    ~QtWindowPeer() override;

    QWidget* Widget() const { return m_widget; }

    void Move(const Platform::Rect& rect, bool repaint) override;
    Platform::Rect GetRect() const override;
    Platform::Size GetClientSize() const override;
    Platform::Point ClientToScreen(Platform::Point p) const override;
    Platform::Point ScreenToClient(Platform::Point p) const override;
    void Show(bool show) override;
    bool IsVisible() const override;
    void Enable(bool enable) override;
    bool IsEnabled() const override;
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void PlaceAfter(Platform::IWindowPeer* sibling) override;
    void Invalidate(const Platform::Rect* rect) override;
    void Update() override;
    void SetTimer(unsigned id, unsigned milliseconds) override;
    void KillTimer(unsigned id) override;
    void SetCursor(int cursorId) override;
    void SetScrollInfo(const Platform::ScrollInfo& info) override;
    void SetValue(int value) override;
    int GetValue() const override;
    void SetItems(const std::vector<std::string>& items) override;
    void SetRange(int min, int max) override;
    void SetSelection(int start, int end) override;
    void SetTextLimit(int limit) override;

private:
    QtPlatform& m_platform;
    QWidget* m_widget;
    PeerWidget* m_peer;
};

// Gives the widget the rectangle; a top-level window other than a popup is fitted into its
// screen's available area, shrunk where it is larger, as a window restored from another
// screen or opened at a template size meant for a larger one would be partly out of reach.
void SetGeometry(QWidget* widget, const Platform::Rect& rect);
// The window a widget stands for; nullptr for other widgets.
Platform::CWnd* OwnerOf(const QWidget* widget);
// The virtual-key code of a Qt key; 0 for keys without one.
unsigned VirtualKeyFromQt(int key);
// Mouse-key flags (MK_*) from Qt's buttons and modifiers.
unsigned MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

} // namespace PlatformQt
