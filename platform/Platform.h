// The window system's services: window peers, focus and capture, menus, clipboard, dialogs,
// cursors, key state, clock and metrics. One object per process (Qt in the browser, a headless
// fake in tests); every created window reaches it through CWnd::GetPlatform(), and top-level
// windows are created with it. User-interface thread only.
#pragma once

#include "platform/DrawContext.h"
#include "platform/Geometry.h"
#include "platform/Menu.h"

#include <memory>
#include <string>

namespace Platform {

class CWnd;
class IWindowPeer;

// Kinds of window the platform makes: a plain window that paints itself, and native controls.
enum class WindowKind {
    Plain,
    HorzScrollBar,
    VertScrollBar,
    PushButton,
    DefPushButton,
    CheckBox,
    RadioButton, // an auto radio button: checking it unchecks the others of its group
    Static,
    GroupBox,
    Edit,
    ComboBox, // CBS_DROPDOWNLIST: a list only; otherwise with an edit field
    Progress,
    Tab
};

// GetSystemMetrics indexes.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;

// GetSysColor indexes.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_HOTLIGHT = 26; // a hyperlink
// Beyond the classic indexes, roles of today's desktop palettes: the second colour of
// alternating rows, the shade between button face and shadow that grids use, a visited link.
constexpr int COLOR_ALTERNATEBASE = 0x40;
constexpr int COLOR_MID = 0x41;
constexpr int COLOR_VISITEDLINK = 0x42;

// Cursor identifiers.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_HAND = 32649;
constexpr int IDC_APPSTARTING = 32650;
// A vertical bar with arrows to the left and right, for resizing columns.
constexpr int IDC_HSPLITBAR = 30980;

// Message-box types and answers.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Save-file dialog flags.
constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
constexpr unsigned OFN_HIDEREADONLY = 0x4;
constexpr unsigned OFN_ENABLESIZING = 0x800000;

// What a save-file dialog shows. The filter is in the "text|pattern|text|pattern||" form.
struct SaveFileRequest {
    std::string defaultExt;
    std::string fileName;
    std::string filter;
    unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
};

// What an open-file dialog shows: an existing file is chosen; the filter as for saving.
struct OpenFileRequest {
    std::string fileName;
    std::string filter;
    unsigned flags = OFN_HIDEREADONLY;
};

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // The peer of owner; parent nullptr makes a top-level window. The peer reports the
    // window system's events to owner's handlers.
    virtual std::unique_ptr<IWindowPeer> CreatePeer(CWnd& owner, CWnd* parent, WindowKind kind,
                                                    const Rect& rect, unsigned style) = 0;
    // A window is going away: it must no longer hold the capture, the focus or the clipboard,
    // and a modal loop it runs ends with IDCANCEL.
    virtual void ForgetWindow(CWnd& wnd) = 0;
    // Shows the top-level window modally and runs events until EndModalLoop; returns the
    // result given there.
    virtual int RunModalLoop(CWnd& window) = 0;
    virtual void EndModalLoop(CWnd& window, int result) = 0;

    // Focus and capture (SetFocus, GetFocus, SetCapture, ReleaseCapture, GetCapture). The
    // window losing either hears of it (OnKillFocus, OnCaptureChanged) before the call returns.
    virtual CWnd* SetFocus(CWnd* wnd) = 0;
    virtual CWnd* GetFocus() const = 0;
    virtual CWnd* SetCapture(CWnd& wnd) = 0;
    virtual void ReleaseCapture() = 0;
    virtual CWnd* GetCapture() const = 0;

    virtual IMenuFactory& GetMenuFactory() = 0;
    // A context for measuring text outside painting (fonts selected into it measure as they
    // paint). Windows paint only in OnPaint; to change the screen, invalidate.
    virtual std::unique_ptr<IDrawContext> CreateMeasureContext() = 0;
    // Hides the tool tip being shown, so the next one is asked for anew (TTM_POP).
    virtual void HideToolTip() = 0;

    // Clipboard. SetClipboardText puts the text there now; OfferClipboardText announces text
    // that owner's OnRenderClipboardText produces only when a program asks for it. Both
    // replace what the clipboard held.
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual void OfferClipboardText(CWnd& owner) = 0;

    // Modal dialogs. MessageBox answers IDOK, IDCANCEL, IDYES or IDNO. GetSaveFileName fills
    // path (in the file system's encoding, ready to open) and is false when cancelled.
    virtual int MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           unsigned type) = 0;
    virtual bool GetSaveFileName(CWnd* owner, const SaveFileRequest& request,
                                 std::string& path) = 0;
    virtual bool GetOpenFileName(CWnd* owner, const OpenFileRequest& request,
                                 std::string& path) = 0;

    // Opens a web or mail address with the desktop's default program. Answers as ShellExecute
    // does: above 32 when it was handed over, else an error number (2: no such target,
    // 31: no program for it).
    virtual int OpenWithDefaultHandler(const std::string& target) = 0;

    // The wait cursor over every window of the program while at least one Begin is open.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // GetKeyState: negative while the key is down.
    virtual short GetKeyState(unsigned vk) const = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like GetTickCount.
    virtual unsigned GetTickCount() const = 0;
    virtual int GetSystemMetrics(int index) const = 0;
    virtual ColorRef GetSysColor(int index) const = 0;
    // Lines per wheel notch; negative means a page per notch.
    virtual int GetWheelScrollLines() const = 0;
    // MessageBeep: type -1 or 0 is the simple beep, MB_ICON* the matching sound.
    virtual void MessageBeep(unsigned type) = 0;
    // An accelerator: Ctrl (when `control`) with the key vk, pressed anywhere in the
    // top-level window, sends OnCommand(command, 1, nullptr) to it, whichever child has the
    // focus. Platforms without a keyboard ignore it.
    virtual void AddAccelerator(CWnd& window, unsigned vk, bool control, unsigned command) {
        (void)window, (void)vk, (void)control, (void)command;
    }
    // One image read from a file (PNG), as a list of one; null when it cannot be read or the
    // platform draws no images.
    virtual std::shared_ptr<const IImageList> LoadImageFile(const std::string& path) {
        (void)path;
        return nullptr;
    }
};

// Shows the wait cursor for the life of the object.
class CWaitCursor {
public:
    explicit CWaitCursor(IPlatform& platform) : m_platform(platform) {
        m_platform.BeginWaitCursor();
    }
    ~CWaitCursor() { m_platform.EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    IPlatform& m_platform;
};

} // namespace Platform
