// The table model: fixed-size row records with the cells in place, allocated 127 at a time,
// recycled last in first out, each new or freed row reset from the prototype row.
#pragma once

#include "table/TableInterface.h"

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <vector>

namespace Tavex {

class CTable : public CTableInterface {
public:
    static constexpr int kRowsPerBlock = 127;

    CTable();
    ~CTable() override;

    void SetColumnCount(int count) override;
    void Build() override;
    void ClearLayout() override;
    void CopyStructure(CTableInterface* other) override;
    int AddColumn(CCellFactory* factory, CCellCompare* compare) override;
    void SetColumn(int column, CCellFactory* factory, CCellCompare* compare) override;
    void SetCompare(int column, CCellCompare* compare) override;
    int GetColumnCount() const override { return static_cast<int>(m_columns.size()); }
    int GetRowCount() const override { return static_cast<int>(m_rows.size()); }
    CCellFactory* GetFactory(int column) override { return Entry(column).m_factory.get(); }
    CCellCompare* GetCompare(int column) override { return Entry(column).m_compare.get(); }
    CRow* AddRowCopy(const CRow* source) override;
    CRow* AddRow() override;
    CRow* InsertRowCopy(int index, const CRow* source) override;
    CRow* InsertRow(int index) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    void DeleteSelectedRows() override;
    void MoveRow(int from, int to) override;
    void Sort(const CSortKeys& keys) override;
    CRow* SetRowFrom(int row, const CRow* source) override;
    CCellData* GetCell(int row, int column) override { return GetRow(row)->GetCell(column); }
    CRow* GetRow(int row) override { return m_rows[static_cast<std::size_t>(row)]; }
    CColData* GetColumnData(int column) override { return Entry(column).m_view.get(); }
    int FindRow(int column, const CCellData* value, int after) override;
    int LowerBound(int column, const CCellData* value) override;
    bool IsRowSelected(int row) const override {
        return m_rows[static_cast<std::size_t>(row)]->IsSelected();
    }
    void SelectRows(int first, int last, bool selected) override;
    void SelectRow(int row, bool selected) override { GetRow(row)->SetSelected(selected); }
    void ToggleRows(int first, int last) override;
    int GetSelectedCount() const override;
    void CopyRows(CTableInterface* source) override;
    void Reserved1(int) override {}
    void Reserved2(int) override {}
    void Reserved3(int) override {}

    // A filter sets rows aside without deleting them: every operation and index sees only the
    // shown rows, in the table's order. Showing exactly the rows `show` accepts, hidden ones
    // included; hidden rows lose their selection. Sorting orders the hidden rows too, so rows
    // shown again come back in sorted order.
    void FilterRows(const std::function<bool(const CRow&)>& show);
    void ShowAllRows();
    int GetHiddenRowCount() const {
        return m_filtered ? static_cast<int>(m_order.size() - m_rows.size()) : 0;
    }

    // Bytes of one row record; 0 before Build.
    std::size_t GetRowSize() const { return m_rowSize; }
    int GetBlockCount() const { return static_cast<int>(m_blocks.size()); }
    int GetFreeRowCount() const { return static_cast<int>(m_freeRows.size()); }

private:
    struct ColumnEntry {
        std::unique_ptr<CCellCompare> m_compare;
        std::unique_ptr<CCellFactory> m_factory;
        std::unique_ptr<CColData> m_view;
    };
    struct BlockDeleter {
        void operator()(std::byte* p) const;
    };
    using Block = std::unique_ptr<std::byte, BlockDeleter>;

    ColumnEntry& Entry(int column) { return m_columns[static_cast<std::size_t>(column)]; }
    CRow* RecordAt(std::byte* base, int index) const;
    // Constructs a record in raw memory as a copy of the prototype row.
    CRow* ConstructFromPrototype(std::byte* place) const;
    void DestroyCells(CRow* row) const;
    // Removes all rows and the prototype row; the columns stay.
    void ClearRecords();
    void CopyCells(CRow* destination, const CRow* source) const;
    CRow* TakeFreeRow();
    void AllocateBlock();
    // Starts keeping the whole order beside the shown rows.
    void BeginFiltering();
    // After a change that placed shown rows anew: the shown ones first, then the hidden ones.
    void RepairOrder();
    void EraseFromOrder(const CRow* row);

    std::vector<ColumnEntry> m_columns;
    std::unique_ptr<CRowLayout> m_layout;
    Block m_prototype;
    std::size_t m_rowSize = 0;
    std::list<Block> m_blocks;
    std::vector<CRow*> m_rows;
    std::vector<CRow*> m_freeRows;
    // While filtered: every row, shown and hidden, in the table's order. Stale once shown rows
    // were inserted or moved, which only their own order records.
    bool m_filtered = false;
    bool m_orderStale = false;
    std::vector<CRow*> m_order;
};

} // namespace Tavex
