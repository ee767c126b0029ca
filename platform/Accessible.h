// What assistive technology learns of a grid that is drawn by hand: its rows, its columns with
// their titles, the text of each cell, the selection and the current cell, all as the user
// sees them (visible columns in display order).
#pragma once

#include <string>

namespace Platform {

class IAccessibleTable {
public:
    virtual ~IAccessibleTable() = default;
    virtual int AccessibleRowCount() const = 0;
    virtual int AccessibleColumnCount() const = 0;
    virtual std::string AccessibleColumnTitle(int column) const = 0;
    virtual std::string AccessibleCellText(int row, int column) const = 0;
    virtual bool AccessibleRowSelected(int row) const = 0;
    // The current cell; -1 where there is none (a row-mode table has no current column).
    virtual int AccessibleCurrentRow() const = 0;
    virtual int AccessibleCurrentColumn() const = 0;
};

} // namespace Platform
