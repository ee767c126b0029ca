#include "table/IntIn.h"

#include "table/Cells.h"
#include "table/EditController.h"
#include "table/TableCtrl.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace Tavex {

using namespace Platform;

int CIntIn::GetNumber() const {
    if (m_text.empty() || m_text == "-")
        return 0;
    // Too many digits for any long long still saturates through strtoll's own clamping.
    const long long value = std::strtoll(m_text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

void CIntIn::SetNumber(int value) {
    m_text = std::to_string(value);
    Invalidate();
}

void CIntIn::GetValue(CCellData& value) {
    value.SetInt(GetNumber());
}

void CIntIn::SetValue(const CCellData& value) {
    SetNumber(value.GetInt());
    m_allSelected = true;
}

void CIntIn::OpenEditor(const CCellData& value, const Rect& rect, bool) {
    Create(*m_editorParent, rect, WS_CHILD | WS_VISIBLE | WS_BORDER, 0, {});
    SetCursor(IDC_IBEAM);
    SetValue(value);
}

void CIntIn::Step(int direction) {
    // At the ends the number stays, but an over-long text is shown as the end it stands for.
    const long long next =
        std::clamp<long long>(static_cast<long long>(GetNumber()) + direction, INT_MIN, INT_MAX);
    SetNumber(static_cast<int>(next));
    m_allSelected = true;
}

void CIntIn::OnPaint(IDrawContext& dc, const Rect& clip) {
    const Rect client = GetClientRect();
    const int spinLeft = client.right - kSpinWidth;
    Rect field{client.left, client.top, spinLeft, client.bottom};
    IPlatform& platform = GetPlatform();
    dc.FillSolidRect(field, platform.GetSysColor(COLOR_WINDOW));
    Rect text{field.left + 2, field.top, field.right - 2, field.bottom};
    if (m_allSelected && !m_text.empty()) {
        const int width = dc.GetTextExtent(m_text).cx;
        Rect mark{text.right - width, text.top + 1, text.right, text.bottom - 1};
        dc.FillSolidRect(mark, platform.GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(platform.GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        dc.SetTextColor(platform.GetSysColor(COLOR_WINDOWTEXT));
    }
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(m_text, text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    const int middle = (client.top + client.bottom) / 2;
    dc.DrawFrameControl({spinLeft, client.top, client.right, middle}, DFC_SCROLL, DFCS_SCROLLUP);
    dc.DrawFrameControl({spinLeft, middle, client.right, client.bottom}, DFC_SCROLL,
                        DFCS_SCROLLDOWN);
    CWnd::OnPaint(dc, clip);
}

void CIntIn::OnLButtonDown(unsigned, Point p) {
    SetFocus();
    const Rect client = GetClientRect();
    if (p.x >= client.right - kSpinWidth)
        Step(p.y < (client.top + client.bottom) / 2 ? 1 : -1);
    else
        m_allSelected = false;
    Invalidate();
}

void CIntIn::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
    if (m_controller && m_controller->HandleEditKey(vk))
        return;
    switch (vk) {
    case VK_UP:
        Step(1);
        break;
    case VK_DOWN:
        Step(-1);
        break;
    case VK_DELETE:
        m_text.clear();
        m_allSelected = false;
        Invalidate();
        break;
    default:
        CWnd::OnKeyDown(vk, repeat, flags);
    }
}

void CIntIn::OnChar(unsigned ch, unsigned, unsigned) {
    if (ch == VK_BACK) {
        if (m_allSelected)
            m_text.clear();
        else if (!m_text.empty())
            m_text.pop_back();
        m_allSelected = false;
        Invalidate();
        return;
    }
    const bool digit = ch >= '0' && ch <= '9';
    const bool minus = ch == '-';
    if (!digit && !minus) {
        if (ch >= 32)
            GetPlatform().MessageBeep(0);
        return;
    }
    if (m_allSelected)
        m_text.clear();
    m_allSelected = false;
    if (minus && !m_text.empty()) {
        GetPlatform().MessageBeep(0);
        return;
    }
    // Eleven characters hold every int; more could only overflow.
    if (m_text.size() >= 11) {
        GetPlatform().MessageBeep(0);
        return;
    }
    m_text += static_cast<char>(ch);
    Invalidate();
}

void CIntIn::OnSetFocus(CWnd* oldWnd) {
    if (m_controller)
        m_controller->GetControl().OnSetFocus(oldWnd);
}

void CIntIn::OnKillFocus(CWnd* newWnd) {
    if (m_controller)
        m_controller->GetControl().OnKillFocus(newWnd);
}

} // namespace Tavex
