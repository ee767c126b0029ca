// The window base: a child window with the Win32 operations its users were designed against,
// and virtual handlers the window system calls for paint, mouse, keys, timers, focus, size,
// capture loss, context menu, scrolling and notifications. User-interface thread only.
//
// Services: a top-level window is created with the process's IPlatform; a child takes its
// parent's, so every created window reaches the platform (menus, clipboard, dialogs, key
// state, clock, metrics) through GetPlatform().
#pragma once

#include "platform/DrawContext.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "platform/WindowPeer.h"

#include <memory>
#include <string>
#include <vector>

namespace Platform {

class IAccessibleTable;

class CScrollBar;

// Window styles kept from the Win32 values; the platform reads WS_VISIBLE, WS_DISABLED,
// WS_TABSTOP, and WS_POPUP for top-level windows: a frameless window above all others (a
// drop-down list that may reach beyond its dialog).
constexpr unsigned WS_POPUP = 0x80000000;
constexpr unsigned WS_CHILD = 0x40000000;
constexpr unsigned WS_VISIBLE = 0x10000000;
constexpr unsigned WS_DISABLED = 0x08000000;
constexpr unsigned WS_CLIPSIBLINGS = 0x04000000;
constexpr unsigned WS_CLIPCHILDREN = 0x02000000;
constexpr unsigned WS_BORDER = 0x00800000;
constexpr unsigned WS_TABSTOP = 0x00010000;

class CWnd {
public:
    CWnd() = default;
    // Destroys the window (children first) if it still exists.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window as a child of parent at rect (parent's client coordinates), then
    // calls OnCreate and OnSize. False when the parent has no window or this one exists already.
    bool Create(CWnd& parent, const Rect& rect, unsigned style, unsigned id,
                const std::string& text = {});
    // A top-level window at rect in screen coordinates.
    bool CreateTopLevel(IPlatform& platform, const Rect& rect, unsigned style,
                        const std::string& text = {});
    // Destroys the children's windows, then this one; the C++ objects stay and may be created
    // again. Operations on a window without its window system part do nothing.
    void DestroyWindow();
    bool IsWindow() const { return m_peer != nullptr; }
    // Only for created windows.
    IPlatform& GetPlatform() const { return *m_platform; }

    CWnd* GetParent() const { return m_parent; }
    // Child windows in creation order.
    const std::vector<CWnd*>& GetChildren() const { return m_children; }
    // True when wnd is a child of this window, or a child of a child.
    bool IsChild(const CWnd* wnd) const;
    // The direct child with the identifier, nullptr when none.
    CWnd* GetDlgItem(unsigned id) const;
    unsigned GetDlgCtrlID() const { return m_id; }
    unsigned GetStyle() const { return m_style; }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);

    // Position in the parent's client coordinates (screen for top-level windows).
    void MoveWindow(const Rect& rect, bool repaint = true);
    // The window's rectangle in screen coordinates, as Win32 GetWindowRect.
    Rect GetWindowRect() const;
    // (0, 0, client width, client height).
    Rect GetClientRect() const;
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;
    Rect ClientToScreenRect(const Rect& r) const;
    Rect ScreenToClientRect(const Rect& r) const;
    // Moves this window in the z-order (and tab order) to just after sibling, beneath it;
    // nullptr: to the top.
    void PlaceAfter(CWnd* sibling);

    void ShowWindow(bool show);
    bool IsWindowVisible() const;
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;

    // rect nullptr: the whole client area. Painting happens later, or at UpdateWindow.
    void InvalidateRect(const Rect* rect);
    void Invalidate() { InvalidateRect(nullptr); }
    void UpdateWindow();
    // RDW_INVALIDATE, RDW_ALLCHILDREN (children too) and RDW_UPDATENOW (paint now);
    // RDW_ERASE is implied, every paint starts on the background.
    void RedrawWindow(const Rect* rect, unsigned flags);

    CWnd* SetFocus();
    CWnd* GetFocus() const;
    CWnd* SetCapture();
    void ReleaseCapture();
    CWnd* GetCapture() const;

    // Timer id fires OnTimer(id) every milliseconds until killed; setting it again restarts it.
    void SetTimer(unsigned id, unsigned milliseconds);
    void KillTimer(unsigned id);
    // The cursor shown while the pointer is over this window (an IDC_* identifier).
    void SetCursor(int cursorId);

    // Sends a notification synchronously to target (nullptr: the parent), after filling
    // hwndFrom and idFrom; returns the receiver's answer, 0 when there is no receiver.
    long SendNotify(NMHDR& hdr, CWnd* target = nullptr);
    // Tells the parent about a command of this control (WM_COMMAND with the identifier).
    void SendCommand(unsigned code);
    // The window whose tool-tip control has this window as a tool; nullptr when none.
    CWnd* GetToolTipOwner() const { return m_toolTipOwner; }

    // Handlers. The defaults do nothing unless stated.
    virtual void OnCreate() {}
    // clip is the part to paint, in client coordinates; the background is already filled
    // with the button-face colour.
    virtual void OnPaint(IDrawContext& dc, const Rect& clip);
    virtual void OnSize(int width, int height);
    virtual void OnLButtonDown(unsigned flags, Point p);
    virtual void OnLButtonUp(unsigned flags, Point p);
    // The default treats the second click of a double click as a plain button-down.
    virtual void OnLButtonDblClk(unsigned flags, Point p);
    virtual void OnMouseMove(unsigned flags, Point p);
    // Answers true when handled; the default hands it to the parent. delta: 120 per notch,
    // positive away from the user; p in screen coordinates.
    virtual bool OnMouseWheel(unsigned flags, int delta, Point p);
    // Keys go to the focus window. repeat is the repeat count, flags the KF_* key flags.
    virtual void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags);
    // One byte of typed text, control characters (Tab, Enter, Escape, Backspace) included.
    virtual void OnChar(unsigned ch, unsigned repeat, unsigned flags);
    // Which keys the window takes before dialog navigation (DLGC_*). Without DLGC_WANTALLKEYS,
    // Enter and Escape go on to the parent, up to the top-level window.
    virtual unsigned OnGetDlgCode() { return 0; }
    virtual void OnTimer(unsigned id);
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    // The window lost the mouse capture (newWnd nullptr when it was released).
    virtual void OnCaptureChanged(CWnd* newWnd);
    // wnd is the window clicked, p the pointer in screen coordinates, or (-1, -1) from the
    // keyboard. Answers true when handled; the default hands it to the parent.
    virtual bool OnContextMenu(CWnd* wnd, Point p);
    // The desktop's colours changed (a dark theme was chosen): colours kept from GetSysColor
    // must be fetched again.
    virtual void OnSysColorChange() {}
    // A window that draws a grid of its own describes it here for screen readers.
    virtual IAccessibleTable* GetAccessibleTable() { return nullptr; }
    // From a scroll bar child (SB_* code, thumb position for the thumb codes).
    virtual void OnHScroll(unsigned code, int pos, CScrollBar* bar);
    virtual void OnVScroll(unsigned code, int pos, CScrollBar* bar);
    virtual long OnNotify(NMHDR& hdr);
    virtual void OnCommand(unsigned id, unsigned code, CWnd* from);
    // The user asks to close a top-level window; the default destroys it.
    virtual void OnClose();
    // The clipboard asks for text this window offered; the default produces nothing.
    virtual std::string OnRenderClipboardText() { return {}; }

private:
    bool Attach(IPlatform& platform, CWnd* parent, const Rect& rect, unsigned style, unsigned id,
                const std::string& text, WindowKind kind);
    void Detach(CWnd& child);

    IPlatform* m_platform = nullptr;
    std::unique_ptr<IWindowPeer> m_peer;
    CWnd* m_parent = nullptr;
    std::vector<CWnd*> m_children;
    CWnd* m_toolTipOwner = nullptr;
    unsigned m_id = 0;
    unsigned m_style = 0;
    std::string m_text;

    friend class CControl;
    friend class CScrollBar;
    friend class CToolTipCtrl;
};

} // namespace Platform
