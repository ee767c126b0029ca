// The window system's side of one window, made by IPlatform::CreatePeer and driven by CWnd.
// Implementations call the CWnd's handlers for the window system's events.
#pragma once

#include "platform/Geometry.h"

#include <string>
#include <vector>

namespace Platform {

struct ScrollInfo;

class IWindowPeer {
public:
    virtual ~IWindowPeer() = default;

    // rect is in the parent's client coordinates (screen coordinates for a top-level window).
    virtual void Move(const Rect& rect, bool repaint) = 0;
    virtual Rect GetRect() const = 0;
    virtual Size GetClientSize() const = 0;
    virtual Point ClientToScreen(Point p) const = 0;
    virtual Point ScreenToClient(Point p) const = 0;

    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Enable(bool enable) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // The text as it is now (edit fields: as the user typed it).
    virtual std::string GetText() const = 0;
    // Puts the window just after sibling in the z-order and tab order (nullptr: at the top).
    virtual void PlaceAfter(IWindowPeer* sibling) = 0;

    // rect nullptr: the whole client area.
    virtual void Invalidate(const Rect* rect) = 0;
    // Paints the invalid part now, if any.
    virtual void Update() = 0;

    virtual void SetTimer(unsigned id, unsigned milliseconds) = 0;
    virtual void KillTimer(unsigned id) = 0;
    virtual void SetCursor(int cursorId) = 0;

    // Scroll bars only: shows the range, page and position of the bar.
    virtual void SetScrollInfo(const ScrollInfo& info) = 0;
    // The value of a control: a check box's BST_* state, the selected index of a combo box or
    // tab control (-1: none), a progress bar's position.
    virtual void SetValue(int value) = 0;
    virtual int GetValue() const = 0;
    // The choices of a combo box, the captions of a tab control.
    virtual void SetItems(const std::vector<std::string>& items) = 0;
    // A progress bar's range.
    virtual void SetRange(int min, int max) = 0;
    // Edit fields: selects the characters from start up to end (-1: to the end of the text), and
    // the longest text the user may type (0: the platform's maximum).
    virtual void SetSelection(int start, int end) = 0;
    virtual void SetTextLimit(int limit) = 0;
};

} // namespace Platform
