// The control's keyboard, type-ahead, focus, tool-tip and notification handling.
#include "table/TableCtrl.h"

namespace Tavex {

using namespace Platform;

long CTableCtrl::Notify(int code, int row, int column) {
    NMTABLE record;
    record.code = code;
    record.iRow = row;
    record.iColumn = column;
    return Notify(record);
}

long CTableCtrl::Notify(NMTABLE& record) {
    if (!m_notify || !IsWindow())
        return 0;
    record.sender = this;
    record.rowKey = record.iRow >= 0 ? GetRowKey(record.iRow) : -1;
    // A parent that changes the control while it handles this must not cause nested ones.
    m_notify = false;
    const long answer = SendNotify(record, m_notifyTarget);
    m_notify = true;
    return answer;
}

void CTableCtrl::OnKeyDown(unsigned vk, unsigned, unsigned flags) {
    CNotifyScope scope(m_notify);
    NMKEY key;
    key.code = NM_KEYDOWN;
    key.nVKey = vk;
    key.uFlags = flags;
    // The parent always hears of keys, whatever the notification target.
    if (SendNotify(key, GetParent()) != 0)
        return;
    HandleKey(vk);
}

void CTableCtrl::HandleKey(unsigned vk) {
    const bool ctrl = GetPlatform().GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetPlatform().GetKeyState(VK_SHIFT) < 0;
    if (HandleDesktopKey(vk, ctrl, shift))
        return;
    switch (vk) {
    case VK_BACK:
    case VK_DELETE:
        m_typeAhead.clear();
        return;
    case VK_SPACE:
        if (!ctrl && !shift)
            m_edit.BeginEdit(false);
        break;
    case VK_PRIOR:
        m_current.PageUp();
        break;
    case VK_NEXT:
        m_current.PageDown();
        break;
    case VK_HOME:
        ctrl ? m_current.FirstRow() : m_current.FirstColumn();
        break;
    case VK_END:
        ctrl ? m_current.LastRow() : m_current.LastColumn();
        break;
    case VK_LEFT:
        if (m_current.GetMode() == CCurrentCell::kCellMode)
            m_current.ColumnLeft();
        else
            OnHScroll(SB_LINELEFT, 0, nullptr);
        break;
    case VK_RIGHT:
        if (m_current.GetMode() == CCurrentCell::kCellMode)
            m_current.ColumnRight();
        else
            OnHScroll(SB_LINERIGHT, 0, nullptr);
        break;
    case VK_UP:
        m_current.RowUp();
        break;
    case VK_DOWN:
        m_current.RowDown();
        break;
    default:
        return;
    }
    const int row = m_current.GetRow();
    if (vk == VK_SPACE)
        m_selection.Select((ctrl ? MK_CONTROL : 0) | (shift ? MK_SHIFT : 0), row);
    else if (shift)
        m_selection.Select(MK_SHIFT, row);
    else if (!ctrl)
        m_selection.Select(0, row);
    m_current.MakeVisible();
    Redraw(true);
}

bool CTableCtrl::HandleDesktopKey(unsigned vk, bool ctrl, bool shift) {
    // The keys every desktop's lists answer, beside the control's own; each does what its
    // menu item does.
    const int row = m_current.GetRow();
    const int column = m_current.GetColumn();
    if (ctrl && !shift && vk == 'C') {
        if (m_selection.GetMode() != CTableSelection::kNoSelection)
            RunBodyMenuCommand(ID_COPY, row, column);
        return true;
    }
    if (ctrl && !shift && vk == 'A') {
        if (m_selection.GetMode() == CTableSelection::kMultiple)
            RunBodyMenuCommand(ID_SELECT_ALL, row, column);
        return true;
    }
    if (shift && !ctrl && vk == VK_F10) {
        m_body.OnContextMenu(&m_body, Point{-1, -1});
        return true;
    }
    return false;
}

void CTableCtrl::OnChar(unsigned ch, unsigned, unsigned) {
    CNotifyScope scope(m_notify);
    if (ch < 32)
        return;
    SetCursor(IDC_APPSTARTING);
    m_body.SetCursor(IDC_APPSTARTING);
    SetTimer(kTypeAheadTimer, kTypeAheadMs);
    m_typeAheadCountdown = kTypeAheadTicks;
    m_typeAhead.push_back(static_cast<char>(ch));
    const CSortKeys& keys = m_header.GetSortKeys();
    int column = keys.GetCount() > 0 ? keys.GetColumn(0) : (m_order.empty() ? -1 : m_order[0]);
    if (column < 0)
        return;
    const int row = FindRowByPrefix(column, m_typeAhead, -1);
    if (row < 0) {
        GetPlatform().MessageBeep(0);
        return;
    }
    m_current.Set(row, column);
    m_selection.Select(0, row);
    EnsureVisible(row, -1);
    Redraw(true);
}

void CTableCtrl::OnTimer(unsigned id) {
    if (id != kTypeAheadTimer)
        return;
    if (--m_typeAheadCountdown > 0)
        return;
    KillTimer(kTypeAheadTimer);
    m_typeAhead.clear();
    SetCursor(IDC_ARROW);
    m_body.SetCursor(IDC_ARROW);
}

void CTableCtrl::OnSetFocus(CWnd*) {
    CNotifyScope scope(m_notify);
    m_edit.RestoreEditorFocus();
    if (m_hasFocus)
        return;
    Notify(NM_SETFOCUS);
    m_hasFocus = true;
    m_body.ToggleFocusRect();
}

void CTableCtrl::OnKillFocus(CWnd* newWnd) {
    CNotifyScope scope(m_notify);
    if (!m_hasFocus || newWnd == this || IsChild(newWnd))
        return;
    m_hasFocus = false;
    Notify(NM_KILLFOCUS);
    m_body.ToggleFocusRect();
}

bool CTableCtrl::OnContextMenu(CWnd* wnd, Point p) {
    return m_body.OnContextMenu(wnd, p);
}

long CTableCtrl::OnNotify(NMHDR& hdr) {
    if (hdr.code != TTN_NEEDTEXTA)
        return 0;
    CNotifyScope scope(m_notify);
    auto& info = static_cast<NMTTDISPINFO&>(hdr);
    // The tool's own coordinates, taken as the body's: the three strips share their x axis.
    const Point p{info.x, info.y};
    const int column = ColumnAtX(p.x);
    if (hdr.hwndFrom == &m_body) {
        const int row = RowAtY(p.y);
        info.text = m_table.IsValidRow(row) && column >= 0 ? BodyTip(row, column) : std::string();
    } else if (hdr.hwndFrom == &m_header) {
        info.text = column >= 0 ? HeaderTip(column) : std::string();
    } else if (hdr.hwndFrom == &m_footer) {
        info.text = column >= 0 ? FooterTip(column) : std::string();
    }
    return 0;
}

std::string CTableCtrl::BodyTip(int row, int column) {
    NMTABLE record;
    record.code = LVN_GETINFOTIPA;
    record.iRow = row;
    record.iColumn = column;
    CColDisplay& col = Col(column);
    if (IDrawContext* dc = MeasureContext(); dc && col.m_output) {
        col.m_output->Begin(*dc);
        record.text = col.m_output->GetTipText(*m_table.GetCell(row, column),
                                               col.m_width - m_leftMargin - m_rightMargin);
        col.m_output->End();
    }
    const std::string own = record.text;
    return Notify(record) != 0 ? record.text : own;
}

std::string CTableCtrl::HeaderTip(int column) {
    NMTABLE record;
    record.code = TVN_HEADERTIP;
    record.iRow = 0;
    record.iColumn = column;
    const CColDisplay& col = Col(column);
    if (!col.m_headerTip.empty()) {
        record.text = col.m_headerTip;
    } else {
        const int width = TitleWidth(col.m_title);
        const int left = GetLeftEdge(GetColumnPosition(column)) - m_horzPos;
        if (width > col.m_width - 10 || left + width > m_horzPage)
            record.text = col.m_title;
    }
    const std::string own = record.text;
    return Notify(record) != 0 ? record.text : own;
}

std::string CTableCtrl::FooterTip(int column) {
    NMTABLE record;
    record.code = TVN_FOOTERTIP;
    record.iRow = 0;
    record.iColumn = column;
    CColDisplay& col = Col(column);
    if (!col.m_footerTip.empty()) {
        record.text = col.m_footerTip;
    } else if (col.m_footerShown && m_footerTable.GetRowCount() > 0 && col.m_output) {
        if (IDrawContext* dc = MeasureContext()) {
            col.m_output->Begin(*dc);
            record.text = col.m_output->GetTipText(*m_footerTable.GetCell(0, column),
                                                   col.m_width - m_leftMargin - m_rightMargin);
            col.m_output->End();
        }
    }
    const std::string own = record.text;
    return Notify(record) != 0 ? record.text : own;
}

} // namespace Tavex
