// Headless window system for tests: windows are records with fixed metrics (scroll bars 17 px,
// drag distance 4 px, a 1024 x 768 screen), a clock that moves only when told, and methods
// through which a test sends mouse, key, timer, tool-tip and clipboard events and reads what
// the windows asked of the platform (cursors, beeps, message boxes, invalidated areas).
#pragma once

#include "platform/Platform.h"
#include "platform/ScrollBar.h"
#include "platform/Window.h"
#include "platform/WindowPeer.h"
#include "tests/support/FakeMenu.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

class FakePlatform;

// What the headless window system knows about one window.
struct FakeWindow {
    Platform::WindowKind kind = Platform::WindowKind::Plain;
    Platform::Rect rect; // in the parent's client coordinates
    bool visible = false;
    bool enabled = true;
    std::string text;
    int cursor = Platform::IDC_ARROW;
    // The area waiting to be painted; empty when none.
    Platform::Rect invalid;
    int paints = 0;
    // Scroll bars: what the bar shows.
    Platform::ScrollInfo scroll;
    // Controls: the check state, selected index or position; a combo box's or tab control's
    // items; a progress bar's range.
    int value = 0;
    std::vector<std::string> items;
    int rangeMin = 0;
    int rangeMax = 0;
    // Edit fields: the selection as last set (end -1: to the end) and the typing limit.
    int selectionStart = 0;
    int selectionEnd = 0;
    int textLimit = 0;
};

class FakePlatform : public Platform::IPlatform {
public:
    FakePlatform();
    ~FakePlatform() override;

    // IPlatform
    std::unique_ptr<Platform::IWindowPeer> CreatePeer(Platform::CWnd& owner, Platform::CWnd* parent,
                                                      Platform::WindowKind kind,
                                                      const Platform::Rect& rect,
                                                      unsigned style) override;
    void ForgetWindow(Platform::CWnd& wnd) override;
    // Calls onModal with the window (a test plays the user there); the loop ends with what
    // EndModalLoop gave, or IDCANCEL when nothing ended it.
    int RunModalLoop(Platform::CWnd& window) override;
    void EndModalLoop(Platform::CWnd& window, int result) override;
    Platform::CWnd* SetFocus(Platform::CWnd* wnd) override;
    Platform::CWnd* GetFocus() const override { return m_focus; }
    Platform::CWnd* SetCapture(Platform::CWnd& wnd) override;
    void ReleaseCapture() override;
    Platform::CWnd* GetCapture() const override { return m_capture; }
    Platform::IMenuFactory& GetMenuFactory() override { return menus; }
    // A FakeDrawContext.
    std::unique_ptr<Platform::IDrawContext> CreateMeasureContext() override;
    void HideToolTip() override { ++toolTipsHidden; }
    void SetClipboardText(const std::string& text) override;
    void OfferClipboardText(Platform::CWnd& owner) override;
    int MessageBox(Platform::CWnd* owner, const std::string& text, const std::string& caption,
                   unsigned type) override;
    bool GetSaveFileName(Platform::CWnd* owner, const Platform::SaveFileRequest& request,
                         std::string& path) override;
    bool GetOpenFileName(Platform::CWnd* owner, const Platform::OpenFileRequest& request,
                         std::string& path) override;
    int OpenWithDefaultHandler(const std::string& target) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override { --waitCursorDepth; }
    short GetKeyState(unsigned vk) const override;
    unsigned GetTickCount() const override { return m_now; }
    int GetSystemMetrics(int index) const override;
    Platform::ColorRef GetSysColor(int index) const override;
    // Colours that stand in for the fixed light ones, as a desktop's palette would.
    std::map<int, Platform::ColorRef> sysColours;
    int GetWheelScrollLines() const override { return wheelScrollLines; }
    void MessageBeep(unsigned type) override { beeps.push_back(type); }

    // The record of a created window (the window must exist).
    const FakeWindow& Window(const Platform::CWnd& wnd) const;

    // Mouse input at p in wnd's client coordinates. While a window holds the capture it gets
    // the event instead, with p converted to its client coordinates. Flags carry the held
    // button and the Shift and Ctrl key state (SetKeyDown).
    void LButtonDown(Platform::CWnd& wnd, Platform::Point p);
    void LButtonUp(Platform::CWnd& wnd, Platform::Point p);
    void MouseMove(Platform::CWnd& wnd, Platform::Point p);
    void Click(Platform::CWnd& wnd, Platform::Point p);
    // Down, up, double click, up: what the window system sends for a double click.
    void DoubleClick(Platform::CWnd& wnd, Platform::Point p);
    // delta: 120 per notch; p in wnd's client coordinates.
    void Wheel(Platform::CWnd& wnd, Platform::Point p, int delta);
    // A right click at p (client of wnd); from the keyboard when p is nullopt.
    void ContextMenu(Platform::CWnd& wnd, std::optional<Platform::Point> p);
    // The user clicks a push button, check box or radio button (a check box toggles first, a
    // radio button is checked and the rest of its group unchecked), types text into
    // an edit field or editable combo box, or picks an item of a combo box or tab control; the
    // control tells its parent as the window system's controls do.
    void ClickButton(Platform::CWnd& control);
    void TypeText(Platform::CWnd& edit, const std::string& text);
    void SelectItem(Platform::CWnd& control, int index);
    // The user chooses an item of a combo box (clicks it in the list, or Enter on it):
    // CBN_SELENDOK, then CBN_SELCHANGE when the selection moved. A double-click on an item in
    // the list of a CBS_SIMPLE combo box ends with CBN_DBLCLK.
    void ChooseItem(Platform::CWnd& control, int index);
    void DoubleClickItem(Platform::CWnd& control, int index);
    // Keys go to the focus window; nothing happens when no window has the focus. Enter and
    // Escape go to the top-level window (the dialog) unless a window on the way answers
    // DLGC_WANTALLKEYS, as dialog navigation does.
    void KeyDown(unsigned vk);
    void Char(unsigned ch);
    void SetKeyDown(unsigned vk, bool down);

    // Moves the clock on, firing every timer that falls due on the way in time order (timers
    // due at the same moment in the order they were set).
    void Advance(unsigned milliseconds);
    bool HasTimer(const Platform::CWnd& wnd, unsigned id) const;

    // Paints the invalid area of wnd (or all of it when nothing is invalid) into dc and
    // returns the clip rectangle that was painted.
    Platform::Rect Paint(Platform::CWnd& wnd, Platform::IDrawContext& dc);
    // When set, UpdateWindow paints into this context; otherwise updates are only counted.
    Platform::IDrawContext* paintTarget = nullptr;

    // Another program asks for the clipboard's text; offered text is produced now, once.
    std::optional<std::string> ClipboardText();
    // The tip the tool's owner gives for the pointer at p (tool's client coordinates).
    std::string ToolTip(Platform::CWnd& tool, Platform::Point p);

    struct MessageBoxCall {
        Platform::CWnd* owner;
        std::string text;
        std::string caption;
        unsigned type;
        int waitCursorDepth; // as the box opened
    };

    FakeMenuFactory menus;
    std::function<void(Platform::CWnd&)> onModal;
    std::vector<unsigned> beeps;
    std::vector<MessageBoxCall> messageBoxes;
    int messageBoxAnswer = Platform::IDOK;
    std::vector<Platform::SaveFileRequest> saveFileRequests;
    // The path a save-file dialog returns; nullopt cancels it.
    std::optional<std::string> saveFileAnswer;
    std::vector<Platform::OpenFileRequest> openFileRequests;
    // The paths open-file dialogs return in turn; nullopt, or none left, cancels one.
    std::deque<std::optional<std::string>> openFileAnswers;
    // Targets handed to the default program, and what opening answers.
    std::vector<std::string> openedTargets;
    int openResult = 33;
    int waitCursorDepth = 0;
    int waitCursors = 0;
    int toolTipsHidden = 0;
    int clipboardRenders = 0;
    int wheelScrollLines = 3;
    std::map<int, int> metrics;

private:
    class Peer;
    struct Timer {
        unsigned interval;
        unsigned due;
        unsigned long long order;
    };

    void SendMouse(Platform::CWnd& wnd, Platform::Point p, int what);
    // The record of an enabled list control holding item index; nullptr otherwise.
    FakeWindow* ListState(Platform::CWnd& control, int index);
    unsigned MouseFlags() const;

    std::map<const Platform::CWnd*, Peer*> m_peers;
    std::map<std::pair<Platform::CWnd*, unsigned>, Timer> m_timers;
    unsigned long long m_timerOrder = 0;
    unsigned m_now = 1000;
    Platform::CWnd* m_focus = nullptr;
    Platform::CWnd* m_capture = nullptr;
    bool m_buttonDown = false;
    std::map<unsigned, bool> m_keys;
    std::optional<std::string> m_clipboard;
    Platform::CWnd* m_clipboardOwner = nullptr;
    // Windows running a modal loop, with the result once it is ended.
    std::map<Platform::CWnd*, std::optional<int>> m_modal;
};

} // namespace TestSupport
