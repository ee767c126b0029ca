// The current cell of a control: a row that stays on its row object when the rows are
// sorted, and in cell mode a column. Keyboard navigation moves it.
#pragma once

namespace Tavex {

class CRow;
class CTableCtrl;

class CCurrentCell {
public:
    static constexpr int kNone = 0;
    static constexpr int kRowMode = 1;
    static constexpr int kCellMode = 2;

    explicit CCurrentCell(CTableCtrl& control) : m_control(control) {}

    int GetMode() const { return m_mode; }
    void SetMode(int mode) { m_mode = mode; }
    // -1 in mode 0 or when the row is gone.
    int GetRow() const;
    // -1 outside cell mode; in cell mode the stored column (-1 read as 0), or the nearest
    // visible one when it is hidden.
    int GetColumn() const;

    void Set(int row, int column);
    void SetRow(int row);
    void SetColumn(int column) { m_column = column; }
    // No row and no column, the mode kept.
    void Reset();

    bool FirstRow();
    bool LastRow();
    bool FirstColumn();
    bool LastColumn();
    bool ColumnLeft();
    bool ColumnRight();
    bool RowUp();
    bool RowDown();
    bool PageUp();
    bool PageDown();
    void MakeVisible();

private:
    CTableCtrl& m_control;
    int m_mode = kRowMode;
    CRow* m_row = nullptr;
    // Where m_row stood when last seen; checked before it is trusted.
    mutable int m_rowIndex = -1;
    int m_column = -1;
};

} // namespace Tavex
