#include "table/CurrentCell.h"

#include "table/TableCtrl.h"

#include <algorithm>

namespace Tavex {

int CCurrentCell::GetRow() const {
    if (m_mode == kNone || !m_row)
        return -1;
    CTableInterface& table = *m_control.GetTable();
    const int count = table.GetRowCount();
    if (m_rowIndex >= 0 && m_rowIndex < count && table.GetRow(m_rowIndex) == m_row)
        return m_rowIndex;
    // Sorted or moved since: find the row object again.
    for (int r = 0; r < count; ++r) {
        if (table.GetRow(r) == m_row) {
            m_rowIndex = r;
            return r;
        }
    }
    return -1;
}

int CCurrentCell::GetColumn() const {
    if (m_mode != kCellMode)
        return -1;
    const int count = static_cast<int>(m_control.GetDisplayOrder().size());
    if (count == 0)
        return -1;
    const int column = std::clamp(m_column < 0 ? 0 : m_column, 0, count - 1);
    if (m_control.IsColumnVisible(column))
        return column;
    const int position = m_control.GetColumnPosition(column);
    int other = m_control.NextVisibleColumn(position);
    if (other >= count)
        other = m_control.PrevVisibleColumn(position);
    return other >= 0 ? m_control.GetColumnAt(other) : -1;
}

void CCurrentCell::Set(int row, int column) {
    SetRow(row);
    m_column = column;
}

void CCurrentCell::SetRow(int row) {
    CTableInterface& table = *m_control.GetTable();
    if (table.IsValidRow(row)) {
        m_row = table.GetRow(row);
        m_rowIndex = row;
    } else {
        m_row = nullptr;
        m_rowIndex = -1;
    }
}

void CCurrentCell::Reset() {
    m_row = nullptr;
    m_rowIndex = -1;
    m_column = -1;
}

bool CCurrentCell::FirstRow() {
    if (m_control.GetTable()->GetRowCount() == 0)
        return false;
    SetRow(0);
    return true;
}

bool CCurrentCell::LastRow() {
    const int count = m_control.GetTable()->GetRowCount();
    if (count == 0)
        return false;
    SetRow(count - 1);
    return true;
}

bool CCurrentCell::FirstColumn() {
    if (m_control.GetDisplayOrder().empty())
        return false;
    m_column = m_control.GetColumnAt(0);
    return true;
}

bool CCurrentCell::LastColumn() {
    const int column = m_control.ColumnAtX(m_control.GetTotalWidth() - 1 - m_control.GetHorzPos());
    if (column < 0)
        return false;
    m_column = column;
    return true;
}

bool CCurrentCell::ColumnLeft() {
    const int column = GetColumn();
    if (column < 0)
        return false;
    const int position = m_control.PrevVisibleColumn(m_control.GetColumnPosition(column));
    if (position < 0)
        return false;
    m_column = m_control.GetColumnAt(position);
    return true;
}

bool CCurrentCell::ColumnRight() {
    const int column = GetColumn();
    if (column < 0)
        return false;
    const int position = m_control.NextVisibleColumn(m_control.GetColumnPosition(column));
    if (position >= static_cast<int>(m_control.GetDisplayOrder().size()))
        return false;
    m_column = m_control.GetColumnAt(position);
    return true;
}

bool CCurrentCell::RowUp() {
    const int row = GetRow();
    if (row < 1)
        return false;
    SetRow(row - 1);
    return true;
}

bool CCurrentCell::RowDown() {
    const int row = GetRow();
    if (row + 1 >= m_control.GetTable()->GetRowCount())
        return false;
    SetRow(row + 1);
    return true;
}

bool CCurrentCell::PageUp() {
    const int row = GetRow();
    if (row < 1 || m_control.GetRowHeight() <= 0)
        return false;
    SetRow(std::max(0, row - m_control.GetVertPage() / m_control.GetRowHeight()));
    return true;
}

bool CCurrentCell::PageDown() {
    const int row = GetRow();
    const int last = m_control.GetTable()->GetRowCount() - 1;
    if (row >= last)
        return false;
    const int bottom = m_control.RowAtY(m_control.GetVertPage() + 1);
    const int top = m_control.RowAtY(0);
    SetRow(std::min(last, row + bottom - top - 1));
    return true;
}

void CCurrentCell::MakeVisible() {
    m_control.EnsureVisible(GetRow(), GetColumn());
}

} // namespace Tavex
