#include "uictrl/HyperLink.h"

#include "platform/Contrast.h"
#include "platform/Platform.h"

#include <cstdio>

namespace Kivra {

using namespace Platform;

bool CHyperLink::SubclassDlgItem(unsigned id, CWnd& parent) {
    CWnd* control = parent.GetDlgItem(id);
    // A label that exists already could not be created again, and the control would be lost.
    if (!control || control == this || IsWindow())
        return false;
    const Rect rect = parent.ScreenToClientRect(control->GetWindowRect());
    const unsigned style = control->GetStyle();
    std::string text = control->GetWindowText();
    CWnd* before = nullptr;
    for (CWnd* child : parent.GetChildren()) {
        if (child == control)
            break;
        before = child;
    }
    control->DestroyWindow();

    if (m_target.empty())
        m_target = text;
    if (text.empty())
        text = m_target;
    if (!Create(parent, rect, style, id, text))
        return false;
    PlaceAfter(before);

    // Every label has the dialog's font, so sizing to the text is always possible.
    m_font = Font{};
    m_font.underline = (m_options & UnderlineText) != 0;
    if (m_options & SizeToText)
        ResizeToText();
    SetCursor((m_options & NoHandCursor) ? IDC_ARROW : IDC_HAND);
    m_toolTip.AddTool(*this);
    return true;
}

void CHyperLink::ResizeToText() {
    auto dc = GetPlatform().CreateMeasureContext();
    dc->SelectFont(m_font);
    const Size text = dc->GetTextExtent(GetWindowText());
    const Rect client = GetClientRect();
    Rect r = GetParent()->ScreenToClientRect(GetWindowRect());
    const int frameX = r.Width() - client.Width();
    const int frameY = r.Height() - client.Height();

    if (GetStyle() & SS_CENTERIMAGE) {
        const int shrink = (client.Height() - text.cy) / 2;
        r.top += shrink;
        r.bottom = r.top + text.cy + frameY;
    } else {
        r.bottom = r.top + text.cy + frameY;
    }
    const int width = text.cx + frameX;
    switch (GetStyle() & 3) {
    case SS_RIGHT:
        r.left = r.right - width;
        break;
    case SS_CENTER:
        r.left += (r.Width() - width) / 2;
        r.right = r.left + width;
        break;
    default:
        r.right = r.left + width;
        break;
    }
    MoveWindow(r, true);
}

ColorRef CHyperLink::CurrentColour() const {
    IPlatform& platform = GetPlatform();
    ColorRef colour = m_visited ? VisitedColour : LinkColour;
    ColorRef dark = platform.GetSysColor(m_visited ? COLOR_VISITEDLINK : COLOR_HOTLIGHT);
    if (m_hover && (m_options & UseHoverColour))
        colour = dark = HoverColour;
    else if (m_focused && !(m_options & NoFocusColour))
        colour = dark = FocusColour;
    // A light theme, where the blue can be read, keeps the label's own colours; a dark one takes
    // the desktop's link colours, each made readable where it is too dark.
    const ColorRef background = platform.GetSysColor(COLOR_BTNFACE);
    if (ContrastRatio(LinkColour, background) >= kReadableContrast)
        return colour;
    return ReadableOn(dark, background);
}

void CHyperLink::OnPaint(IDrawContext& dc, const Rect&) {
    dc.SelectFont(m_font);
    dc.SetTextColor(CurrentColour());
    dc.SetBkMode(TRANSPARENT);
    Rect r = GetClientRect();
    unsigned format = DT_SINGLELINE | DT_NOPREFIX;
    switch (GetStyle() & 3) {
    case SS_RIGHT:
        format |= DT_RIGHT;
        break;
    case SS_CENTER:
        format |= DT_CENTER;
        break;
    default:
        break;
    }
    if (GetStyle() & SS_CENTERIMAGE)
        format |= DT_VCENTER;
    dc.DrawText(GetWindowText(), r, format);
}

void CHyperLink::OnMouseMove(unsigned, Point p) {
    if (!m_hover) {
        m_hover = true;
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SetCapture();
    } else if (!GetClientRect().Contains(p)) {
        m_hover = false;
        ReleaseCapture();
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CHyperLink::OnLButtonDown(unsigned, Point) {
    if (m_options & FocusOnClick)
        SetFocus();
    if (m_options & OpenOnButtonDown)
        OpenTarget();
    m_focused = true;
}

// The window system keeps sending the mouse to the label while the button is held, so a
// press dragged off the label would open it on release elsewhere; only a release on it counts.
void CHyperLink::OnLButtonUp(unsigned, Point p) {
    if (m_focused && !(m_options & OpenOnButtonDown) && GetClientRect().Contains(p))
        OpenTarget();
}

void CHyperLink::OnKeyDown(unsigned vk, unsigned, unsigned) {
    if (vk == VK_SPACE)
        OpenTarget();
}

void CHyperLink::OnSetFocus(CWnd*) {
    m_focused = true;
    Invalidate();
}

void CHyperLink::OnKillFocus(CWnd*) {
    m_focused = false;
    Invalidate();
}

// The hover ends when something else takes the capture, or the label would stay red.
void CHyperLink::OnCaptureChanged(CWnd*) {
    if (m_hover) {
        m_hover = false;
        Invalidate();
    }
}

long CHyperLink::OnNotify(NMHDR& hdr) {
    if (hdr.code == TTN_NEEDTEXTA) {
        static_cast<NMTTDISPINFO&>(hdr).text = m_target;
        return 1;
    }
    return CWnd::OnNotify(hdr);
}

void CHyperLink::OpenTarget() {
    const int result = GetPlatform().OpenWithDefaultHandler(m_target);
    if (result > 32) {
        m_visited = true;
        Invalidate();
        return;
    }
    GetPlatform().MessageBeep(MB_ICONEXCLAMATION);
    GetPlatform().MessageBox(GetParent(), "Can't open link:\n\n" + FailureText(result), {},
                             MB_OK | MB_ICONEXCLAMATION);
}

std::string CHyperLink::FailureText(int code) {
    switch (code) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case 2:
        return "The specified file was not found.";
    case 3:
        return "The specified path was not found.";
    case 5:
        return "The operating system denied\naccess to the specified file.";
    case 8:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
        return "A sharing violation occurred. ";
    case 27:
        return "The filename association is\nincomplete or invalid.";
    case 28:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
        return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not\nbe completed because other DDE "
               "transactions\nwere being processed.";
    case 31:
        return "There is no application associated\nwith the given filename extension.";
    case 32:
        return "The specified dynamic-link library was not found.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown Error (%d) occurred.", code);
        return text;
    }
    }
}

} // namespace Kivra
