// The table control as screen readers see it: the rows, the visible columns in display order
// with their titles, the cell texts as displayed, the selection and the current cell.
#pragma once

#include "platform/Accessible.h"

namespace Tavex {

class CTableCtrl;

class CTableAccessible : public Platform::IAccessibleTable {
public:
    explicit CTableAccessible(CTableCtrl& control) : m_control(control) {}

    int AccessibleRowCount() const override;
    int AccessibleColumnCount() const override;
    std::string AccessibleColumnTitle(int column) const override;
    std::string AccessibleCellText(int row, int column) const override;
    bool AccessibleRowSelected(int row) const override;
    int AccessibleCurrentRow() const override;
    int AccessibleCurrentColumn() const override;

private:
    // The control's column shown at `column`, counting visible columns only; -1 for none.
    int ColumnAt(int column) const;

    CTableCtrl& m_control;
};

} // namespace Tavex
