// The window system's side of one window, made by IPlatform::CreatePeer and driven by CWnd.
// Implementations call the CWnd's handlers for the window system's events.
#pragma once

#include "platform/Geometry.h"

#include <string>

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
    // Check boxes only: BST_UNCHECKED or BST_CHECKED.
    virtual void SetCheck(int state) = 0;
    virtual int GetCheck() const = 0;
};

} // namespace Platform
