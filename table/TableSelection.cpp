#include "table/TableSelection.h"

#include "table/TableCtrl.h"

#include <algorithm>

namespace Tavex {

using Platform::MK_CONTROL;
using Platform::MK_SHIFT;

int CTableSelection::GetAnchor() const {
    return std::min(m_anchor, m_control.GetTable()->GetRowCount() - 1);
}

void CTableSelection::Select(unsigned flags, int row) {
    if (!m_control.GetTable()->IsValidRow(row))
        return;
    if (m_mode == kSingle)
        SelectSingle(row);
    else if (m_mode == kMultiple)
        SelectMultiple(flags, row);
}

void CTableSelection::SelectSingle(int row) {
    if (GetFirstSelected() == row)
        return;
    if (m_control.Notify(TVN_SELCHANGING, row) != 0)
        return;
    Clear();
    m_control.GetTable()->SelectRow(row, true);
    m_anchor = row;
    m_control.Notify(TVN_SELCHANGED, row);
}

void CTableSelection::SelectMultiple(unsigned flags, int row) {
    CTableInterface& table = *m_control.GetTable();
    const bool ctrl = (flags & MK_CONTROL) != 0;
    const bool shift = (flags & MK_SHIFT) != 0;
    const int anchor = GetAnchor();
    if (!ctrl && table.IsRowSelected(row) && table.GetSelectedCount() == 1)
        return;
    const int first = std::min(anchor, row), last = std::max(anchor, row);
    if (shift && anchor >= 0) {
        const bool anchorState = table.IsRowSelected(anchor);
        if (!ctrl && RangeIsSelectedExactly(first, last))
            return;
        if (ctrl && RangeHasState(first, last, anchorState))
            return;
    }
    if (m_control.Notify(TVN_SELCHANGING) != 0)
        return;
    if (shift && anchor >= 0) {
        if (ctrl) {
            table.SelectRows(first, last, table.IsRowSelected(anchor));
        } else {
            Clear();
            table.SelectRows(first, last, true);
        }
    } else {
        if (ctrl) {
            table.SelectRow(row, !table.IsRowSelected(row));
        } else {
            Clear();
            table.SelectRow(row, true);
        }
        m_anchor = row;
    }
    m_control.Notify(TVN_SELCHANGED);
}

bool CTableSelection::RangeIsSelectedExactly(int first, int last) const {
    CTableInterface& table = *m_control.GetTable();
    return table.GetSelectedCount() == last - first + 1 && RangeHasState(first, last, true);
}

bool CTableSelection::RangeHasState(int first, int last, bool state) const {
    CTableInterface& table = *m_control.GetTable();
    for (int r = first; r <= last; ++r)
        if (table.IsRowSelected(r) != state)
            return false;
    return true;
}

void CTableSelection::SelectOnly(int row) {
    CTableInterface& table = *m_control.GetTable();
    if (!table.IsValidRow(row))
        return;
    table.SelectRow(row, true);
    m_anchor = row;
}

void CTableSelection::Clear() {
    CTableInterface& table = *m_control.GetTable();
    if (table.GetRowCount() > 0)
        table.SelectRows(0, table.GetRowCount() - 1, false);
}

int CTableSelection::GetFirstSelected() const {
    CTableInterface& table = *m_control.GetTable();
    const int count = table.GetRowCount();
    for (int r = 0; r < count; ++r)
        if (table.IsRowSelected(r))
            return r;
    return -1;
}

} // namespace Tavex
