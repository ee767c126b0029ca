// Input codes and notification records that windows exchange, with the Windows numeric values
// the callers were designed against (virtual keys, mouse-key flags, scroll codes, WM_NOTIFY).
#pragma once

#include <string>

namespace Platform {

class CWnd;

// Virtual-key codes.
constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_APPS = 0x5D;
constexpr unsigned VK_F1 = 0x70; // VK_F1 + n - 1 is Fn, up to F12
constexpr unsigned VK_F4 = 0x73;
constexpr unsigned VK_F10 = 0x79;
// Letters and digits use their upper-case ASCII codes ('A', '0').

// Mouse-key flags of mouse handlers.
constexpr unsigned MK_LBUTTON = 0x01;
constexpr unsigned MK_RBUTTON = 0x02;
constexpr unsigned MK_SHIFT = 0x04;
constexpr unsigned MK_CONTROL = 0x08;
constexpr unsigned MK_MBUTTON = 0x10;

// Key flags of OnKeyDown (the high word of the Windows key message): the key was already down.
constexpr unsigned KF_REPEAT = 0x4000;

// Scroll-bar codes of OnHScroll and OnVScroll.
constexpr unsigned SB_LINEUP = 0;
constexpr unsigned SB_LINELEFT = 0;
constexpr unsigned SB_LINEDOWN = 1;
constexpr unsigned SB_LINERIGHT = 1;
constexpr unsigned SB_PAGEUP = 2;
constexpr unsigned SB_PAGELEFT = 2;
constexpr unsigned SB_PAGEDOWN = 3;
constexpr unsigned SB_PAGERIGHT = 3;
constexpr unsigned SB_THUMBPOSITION = 4;
constexpr unsigned SB_THUMBTRACK = 5;
constexpr unsigned SB_TOP = 6;
constexpr unsigned SB_BOTTOM = 7;
constexpr unsigned SB_ENDSCROLL = 8;

// Answers of OnGetDlgCode: which keys a window wants before dialog navigation takes them.
constexpr unsigned DLGC_WANTARROWS = 0x01;
constexpr unsigned DLGC_WANTTAB = 0x02;
constexpr unsigned DLGC_WANTALLKEYS = 0x04;
constexpr unsigned DLGC_WANTCHARS = 0x80;

// RedrawWindow flags.
constexpr unsigned RDW_INVALIDATE = 0x0001;
constexpr unsigned RDW_ERASE = 0x0004;
constexpr unsigned RDW_ALLCHILDREN = 0x0080;
constexpr unsigned RDW_UPDATENOW = 0x0100;

// Common notification codes.
constexpr int NM_CLICK = -2;
constexpr int NM_DBLCLK = -3;
constexpr int NM_SETFOCUS = -7;
constexpr int NM_KILLFOCUS = -8;
constexpr int NM_KEYDOWN = -15;
constexpr int NM_RELEASEDCAPTURE = -16;
// A tool-tip control asks its owner for the text of a tool (record NMTTDISPINFO).
constexpr int TTN_NEEDTEXTA = -520;

// The head of every notification record. Records extend it by derivation, and the receiver
// casts by the code, as with WM_NOTIFY.
struct NMHDR {
    CWnd* hwndFrom = nullptr;
    unsigned idFrom = 0;
    int code = 0;
};

// NM_KEYDOWN.
struct NMKEY : NMHDR {
    unsigned nVKey = 0;
    unsigned uFlags = 0;
};

// TTN_NEEDTEXTA: hwndFrom and idFrom name the tool window under the pointer, pt is the pointer
// in that window's client coordinates; the owner fills text (empty: no tip).
struct NMTTDISPINFO : NMHDR {
    int x = 0;
    int y = 0;
    std::string text;
};

} // namespace Platform
