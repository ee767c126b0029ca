// Row records (cells in place at per-column offsets after a small header) and column views.
#pragma once

#include "table/Cells.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace Tavex {

class CTable;

// Shared by all rows of one layout: where each column's cell lies in a record.
struct CRowLayout {
    CTable* m_table = nullptr;
    int m_columnCount = 0;
    std::vector<std::size_t> m_offsets;
};

class CRow {
public:
    CCellData* GetCell(int column) {
        return std::launder(reinterpret_cast<CCellData*>(reinterpret_cast<std::byte*>(this) +
                                                         m_layout->m_offsets[column]));
    }
    const CCellData* GetCell(int column) const { return const_cast<CRow*>(this)->GetCell(column); }
    bool IsSelected() const { return m_selected != 0; }
    void SetSelected(bool selected) { m_selected = selected ? 1 : 0; }
    // A row the application wants to stand out is drawn in the bold form of the table's font.
    bool IsStrong() const { return m_strong != 0; }
    void SetStrong(bool strong) { m_strong = strong ? 1 : 0; }
    // Set aside by a filter of the table: in no index until it is shown again.
    bool IsHidden() const { return m_hidden != 0; }
    int GetColumnCount() const { return m_layout->m_columnCount; }
    CTable* GetTable() const { return m_layout->m_table; }

private:
    friend class CTable;
    explicit CRow(const CRowLayout* layout) : m_layout(layout) {}

    const CRowLayout* m_layout;
    std::uint8_t m_selected = 0;
    std::uint8_t m_hidden = 0;
    std::uint8_t m_strong = 0;
};

// Size of the row header rounded up so the first cell is aligned.
constexpr std::size_t kRowHeaderSize = (sizeof(CRow) + kCellAlign - 1) / kCellAlign * kCellAlign;

// One column across all rows, in display order; outputs measure whole columns through it.
class CColData {
public:
    CColData(const std::vector<CRow*>* rows, std::size_t offset) : m_rows(rows), m_offset(offset) {}
    virtual ~CColData() = default;

    int GetRowCount() const { return static_cast<int>(m_rows->size()); }
    const CCellData& GetCell(int row) const {
        return *std::launder(reinterpret_cast<const CCellData*>(
            reinterpret_cast<const std::byte*>((*m_rows)[static_cast<std::size_t>(row)]) +
            m_offset));
    }

private:
    const std::vector<CRow*>* m_rows;
    std::size_t m_offset;
};

} // namespace Tavex
