#include "table/ComboTable.h"

#include "platform/Text.h"

#include <algorithm>

namespace Tavex {

using namespace Platform;

bool CComboTableDrop::Create(IPlatform& platform) {
    if (!CreateTopLevel(platform, {0, 0, 1, 1}, WS_POPUP | WS_CLIPSIBLINGS | WS_BORDER,
                        kWindowText))
        return false;
    GetSelection().SetMode(CTableSelection::kSingle);
    GetSelection().Clear();
    return true;
}

CComboTable::~CComboTable() {
    m_list.DestroyWindow();
}

bool CComboTable::Create(unsigned style, const Rect& rect, CWnd& parent, unsigned id) {
    if (!parent.IsWindow() || IsWindow())
        return false;
    const Rect grown{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
    if (!CWnd::Create(parent, grown, style | WS_CHILD, id, kWindowText))
        return false;
    SetCursor(IDC_ARROW);
    return m_list.Create(GetPlatform());
}

void CComboTable::SetUp(int keyColumn, int textColumn, int valueColumn) {
    m_keyColumn = keyColumn;
    m_textColumn = textColumn;
    m_valueColumn = valueColumn;
    m_list.Build(keyColumn);
    m_list.SetLeparello(false);
}

CRow* CComboTable::Build(int keyColumn) {
    SetUp(keyColumn, 0, -1);
    return nullptr;
}

Rect CComboTable::ButtonRect() const {
    const Rect client = GetClientRect();
    const int width = IsWindow() ? GetPlatform().GetSystemMetrics(SM_CXVSCROLL) : 0;
    return {std::max(client.left, client.right - width), client.top, client.right, client.bottom};
}

void CComboTable::SelectRow(int row) {
    if (!m_list.GetTable()->IsValidRow(row)) {
        m_selected = -1;
        m_text.clear();
        m_value = -1;
        m_list.SetCurrentRow(-1);
        Invalidate();
        return;
    }
    m_selected = row;
    m_list.SetCurrentRow(row);
    if (m_textColumn >= 0)
        m_text = m_list.GetCellText(row, m_textColumn);
    m_value = m_valueColumn >= 0 ? m_list.GetCell(row, m_valueColumn)->GetInt() : -1;
    if (IsWindow())
        Invalidate();
}

void CComboTable::TakeRow(int row) {
    SelectRow(row);
    NotifyParent(CBN_VALUETAKEN);
}

void CComboTable::PlaceList() {
    IPlatform& platform = GetPlatform();
    const int rows = m_list.GetRowCount();
    const int visible = rows == 0 ? 1 : std::min(kMaxVisibleRows, rows);
    const Rect combo = GetWindowRect();
    const int screenWidth = platform.GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = platform.GetSystemMetrics(SM_CYSCREEN);
    int width = std::max({combo.Width(), m_list.GetTotalWidth() + 2, m_minListWidth});
    if (rows > visible)
        width += platform.GetSystemMetrics(SM_CXVSCROLL);
    int height = visible * m_list.GetRowHeight() + 2 +
                 (m_list.IsHeaderShown() ? m_list.GetHeaderHeight() : 0);
    if (width > screenWidth) {
        width = screenWidth;
        height += platform.GetSystemMetrics(SM_CYHSCROLL);
    }
    int top = combo.bottom;
    if (top + height > screenHeight)
        top = combo.top - height;
    const int left = std::clamp(combo.left, 0, std::max(0, screenWidth - width));
    m_list.MoveWindow({left, top, left + width, top + height});
}

void CComboTable::ShowDropDown(bool show) {
    if (!IsWindow() || show == m_dropped)
        return;
    if (!show) {
        CloseUp(false);
        return;
    }
    NotifyParent(CBN_DROPDOWN);
    m_selectedAtDrop = m_selected;
    PlaceList();
    m_list.SetCurrentRow(m_selected);
    m_list.ShowWindow(true);
    m_list.Redraw(true);
    m_list.UpdateWindow();
    m_dropped = true;
    SetFocus();
    // The capture brings every press to the combo, so one outside the list closes it.
    m_holdsCapture = true;
    SetCapture();
    Invalidate();
}

void CComboTable::CloseUp(bool ok) {
    if (!m_dropped)
        return;
    m_dropped = false;
    m_tracking = 0;
    m_buttonPressed = false;
    if (m_holdsCapture) {
        m_holdsCapture = false;
        if (GetCapture() == this)
            ReleaseCapture();
    }
    if (ok) {
        const int row = m_list.GetCurrentRow();
        if (row >= 0 && row != m_selected)
            TakeRow(row);
    } else {
        m_list.SetCurrentRow(m_selected);
    }
    NotifyParent(ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
    NotifyParent(CBN_CLOSEUP);
    m_list.ShowWindow(false);
    Invalidate();
    if (m_selected != m_selectedAtDrop)
        NotifyParent(CBN_SELCHANGE);
}

bool CComboTable::IsOverList(Point p) const {
    const Point screen = ClientToScreen(p);
    const Rect list = m_list.GetWindowRect();
    return screen.x >= list.left && screen.x < list.right && screen.y >= list.top &&
           screen.y < list.bottom;
}

int CComboTable::ListRowAt(Point p) {
    CTableDisplay& body = m_list.GetBody();
    const Point at = body.ScreenToClient(ClientToScreen(p));
    const Rect client = body.GetClientRect();
    if (at.x < client.left || at.x >= client.right || at.y < client.top || at.y >= client.bottom)
        return -1;
    const int row = m_list.RowAtY(at.y);
    if (!m_list.GetTable()->IsValidRow(row))
        return -1;
    const int top = m_list.RowToY(row);
    if (top < 0 || top + m_list.GetRowHeight() > client.bottom)
        return -1;
    return row;
}

void CComboTable::OnPaint(IDrawContext& dc, const Rect& clip) {
    IPlatform& platform = GetPlatform();
    const Rect button = ButtonRect();
    const Rect client = GetClientRect();
    const Rect value{client.left, client.top, button.left, client.bottom};
    dc.FillSolidRect(value, platform.GetSysColor(COLOR_WINDOW));
    dc.DrawFrameControl(button, DFC_SCROLL,
                        DFCS_SCROLLCOMBOBOX | (m_buttonPressed ? DFCS_PUSHED | DFCS_FLAT : 0));
    const int column = m_textColumn >= 0 ? m_textColumn : 0;
    if (m_selected >= 0 && m_list.GetTable()->IsValidRow(m_selected) &&
        column < m_list.GetColumnCount() && m_list.Col(column).m_output) {
        CCellOutput& output = *m_list.Col(column).m_output;
        const Rect inner{value.left + 2, value.top + 2, value.right - 2, value.bottom - 2};
        output.Begin(dc);
        output.Draw(inner, *m_list.GetCell(m_selected, column), false);
        output.End();
    }
    CWnd::OnPaint(dc, clip);
}

void CComboTable::OnLButtonDown(unsigned, Point p) {
    if (m_dropped) {
        if (IsOverList(p)) {
            const int row = ListRowAt(p);
            if (row >= 0 && row != m_list.GetCurrentRow()) {
                m_list.SetCurrentRow(row);
                m_list.Redraw(true);
            }
            return;
        }
        // A press on the combo or anywhere else while the list is open cancels it.
        CloseUp(false);
        return;
    }
    SetFocus();
    const Rect button = ButtonRect();
    m_buttonPressed = p.x >= button.left;
    m_tracking = m_buttonPressed ? 2 : 1;
    ShowDropDown(true);
}

void CComboTable::OnLButtonUp(unsigned, Point p) {
    const bool wasPressed = m_buttonPressed;
    m_buttonPressed = false;
    if (wasPressed)
        Invalidate();
    if (!m_dropped)
        return;
    const int row = ListRowAt(p);
    if (row < 0)
        return;
    TakeRow(row);
    CloseUp(true);
}

void CComboTable::OnMouseMove(unsigned, Point p) {
    if (!m_dropped)
        return;
    const int row = ListRowAt(p);
    if (row >= 0 && row != m_list.GetCurrentRow()) {
        m_list.SetCurrentRow(row);
        m_list.Redraw(true);
    }
}

bool CComboTable::OnMouseWheel(unsigned flags, int delta, Point p) {
    if (m_dropped)
        return m_list.OnMouseWheel(flags, delta, p);
    return CWnd::OnMouseWheel(flags, delta, p);
}

void CComboTable::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
    if (m_dropped) {
        switch (vk) {
        case VK_TAB:
            // The focus moves on, which closes as focus loss does.
            CloseUp(true);
            return;
        case VK_RETURN:
        case VK_SPACE: {
            const int row = m_list.GetCurrentRow();
            if (row >= 0) {
                TakeRow(row);
                CloseUp(true);
            }
            return;
        }
        case VK_ESCAPE:
            CloseUp(false);
            return;
        case VK_F4:
            CloseUp(true);
            return;
        default:
            m_list.OnKeyDown(vk, repeat, flags);
            return;
        }
    }
    const unsigned now = GetPlatform().GetTickCount();
    switch (vk) {
    case VK_UP:
    case VK_DOWN:
    case VK_F4:
        ShowDropDown(true);
        return;
    case VK_DELETE:
        m_prefix.clear();
        return;
    case VK_BACK:
        if (!m_prefix.empty() && now - m_lastCharTime < kPrefixMemoryMs) {
            m_prefix.pop_back();
            m_lastCharTime = now;
            if (!m_prefix.empty())
                SearchPrefix();
        }
        return;
    default:
        CWnd::OnKeyDown(vk, repeat, flags);
    }
}

void CComboTable::OnChar(unsigned ch, unsigned, unsigned) {
    if (ch < 32 || ch > 255)
        return;
    const unsigned now = GetPlatform().GetTickCount();
    if (m_prefix.empty() || now - m_lastCharTime >= kPrefixMemoryMs)
        m_prefix.assign(1, static_cast<char>(ch));
    else
        m_prefix += static_cast<char>(ch);
    m_lastCharTime = now;
    SearchPrefix();
}

void CComboTable::SearchPrefix() {
    if (m_textColumn < 0) {
        GetPlatform().MessageBeep(0);
        return;
    }
    if (m_prefix.empty() || m_prefix[0] == ' ')
        return;
    const int rows = m_list.GetRowCount();
    for (int row = 0; row < rows; ++row) {
        if (row == m_selected)
            continue;
        if (!Platform::HasPrefixNoCase(m_list.GetCellText(row, m_textColumn), m_prefix))
            continue;
        TakeRow(row);
        m_list.Redraw(true);
        NotifyParent(CBN_SELCHANGE);
        if (m_dropped)
            m_selectedAtDrop = row; // already told
        else
            NotifyParent(CBN_SELENDOK);
        return;
    }
    GetPlatform().MessageBeep(0);
}

void CComboTable::OnKillFocus(CWnd* newWnd) {
    // Focus that leaves for no window of ours (the list's own window being activated, say)
    // keeps the list open; the captured mouse still closes it on an outside press.
    if (m_dropped && newWnd && newWnd != &m_list && !m_list.IsChild(newWnd))
        CloseUp(true);
    NotifyParent(CBN_KILLFOCUS);
}

void CComboTable::OnCaptureChanged(CWnd*) {
    m_holdsCapture = false;
}

} // namespace Tavex
