#include "table/TableAccessible.h"

#include "table/TableCtrl.h"

namespace Tavex {

int CTableAccessible::ColumnAt(int column) const {
    if (column < 0)
        return -1;
    for (int c : m_control.GetDisplayOrder())
        if (m_control.IsColumnVisible(c) && column-- == 0)
            return c;
    return -1;
}

int CTableAccessible::AccessibleRowCount() const {
    return m_control.GetRowCount();
}

int CTableAccessible::AccessibleColumnCount() const {
    int count = 0;
    for (int c : m_control.GetDisplayOrder())
        count += m_control.IsColumnVisible(c) ? 1 : 0;
    return count;
}

std::string CTableAccessible::AccessibleColumnTitle(int column) const {
    const int c = ColumnAt(column);
    if (c < 0)
        return {};
    // A title on two lines reads as one.
    std::string title = m_control.Col(c).m_title;
    for (char& ch : title)
        if (ch == '\n')
            ch = ' ';
    return title;
}

std::string CTableAccessible::AccessibleCellText(int row, int column) const {
    const int c = ColumnAt(column);
    if (c < 0 || row < 0 || row >= m_control.GetRowCount())
        return {};
    return m_control.GetCellText(row, c);
}

bool CTableAccessible::AccessibleRowSelected(int row) const {
    return row >= 0 && row < m_control.GetRowCount() && m_control.GetTable()->IsRowSelected(row);
}

int CTableAccessible::AccessibleCurrentRow() const {
    return m_control.GetCurrentCell().GetRow();
}

int CTableAccessible::AccessibleCurrentColumn() const {
    const int current = m_control.GetCurrentCell().GetColumn();
    int visible = 0;
    for (int c : m_control.GetDisplayOrder()) {
        if (!m_control.IsColumnVisible(c))
            continue;
        if (c == current)
            return visible;
        ++visible;
    }
    return -1;
}

} // namespace Tavex
