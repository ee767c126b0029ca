// The operation set through which everything reaches a table: the model implements it, and
// forwarding objects (the control) pass each call on to their target. The order is fixed.
#pragma once

#include "table/Row.h"

namespace Tavex {

class CCellCompare;
class CCellFactory;
class CSortKeys;

class CTableInterface {
public:
    CTableInterface() = default;
    CTableInterface(const CTableInterface&) = delete;
    CTableInterface& operator=(const CTableInterface&) = delete;

    // The object that every forwarding operation calls; not owned.
    void SetTable(CTableInterface* target) { m_target = target; }
    CTableInterface* GetTable() const { return m_target; }

    virtual void SetColumnCount(int count) { m_target->SetColumnCount(count); }
    virtual void Build() { m_target->Build(); }
    virtual void ClearLayout() { m_target->ClearLayout(); }
    virtual void CopyStructure(CTableInterface* other) { m_target->CopyStructure(other); }
    // Ownership of factory and comparer passes to the table.
    virtual int AddColumn(CCellFactory* factory, CCellCompare* compare) {
        return m_target->AddColumn(factory, compare);
    }
    virtual void SetColumn(int column, CCellFactory* factory, CCellCompare* compare) {
        m_target->SetColumn(column, factory, compare);
    }
    virtual void SetCompare(int column, CCellCompare* compare) {
        m_target->SetCompare(column, compare);
    }
    virtual int GetColumnCount() const { return m_target->GetColumnCount(); }
    virtual int GetRowCount() const { return m_target->GetRowCount(); }
    virtual CCellFactory* GetFactory(int column) { return m_target->GetFactory(column); }
    virtual CCellCompare* GetCompare(int column) { return m_target->GetCompare(column); }
    virtual CRow* AddRowCopy(const CRow* source) { return m_target->AddRowCopy(source); }
    virtual CRow* AddRow() { return m_target->AddRow(); }
    virtual CRow* InsertRowCopy(int index, const CRow* source) {
        return m_target->InsertRowCopy(index, source);
    }
    virtual CRow* InsertRow(int index) { return m_target->InsertRow(index); }
    virtual void DeleteRow(int row) { m_target->DeleteRow(row); }
    virtual void DeleteAllRows() { m_target->DeleteAllRows(); }
    virtual void DeleteSelectedRows() { m_target->DeleteSelectedRows(); }
    virtual void MoveRow(int from, int to) { m_target->MoveRow(from, to); }
    virtual void Sort(const CSortKeys& keys) { m_target->Sort(keys); }
    virtual CRow* SetRowFrom(int row, const CRow* source) {
        return m_target->SetRowFrom(row, source);
    }
    virtual CCellData* GetCell(int row, int column) { return m_target->GetCell(row, column); }
    virtual CRow* GetRow(int row) { return m_target->GetRow(row); }
    virtual CColData* GetColumnData(int column) { return m_target->GetColumnData(column); }
    // First row after `after` whose cell equals value, or -1; after -1 searches every row.
    virtual int FindRow(int column, const CCellData* value, int after) {
        return m_target->FindRow(column, value, after);
    }
    virtual int LowerBound(int column, const CCellData* value) {
        return m_target->LowerBound(column, value);
    }
    virtual bool IsRowSelected(int row) const { return m_target->IsRowSelected(row); }
    virtual void SelectRows(int first, int last, bool selected) {
        m_target->SelectRows(first, last, selected);
    }
    virtual void SelectRow(int row, bool selected) { m_target->SelectRow(row, selected); }
    virtual void ToggleRows(int first, int last) { m_target->ToggleRows(first, last); }
    virtual int GetSelectedCount() const { return m_target->GetSelectedCount(); }
    virtual void CopyRows(CTableInterface* source) { m_target->CopyRows(source); }
    virtual void Reserved1(int value) { m_target->Reserved1(value); }
    virtual void Reserved2(int value) { m_target->Reserved2(value); }
    virtual void Reserved3(int value) { m_target->Reserved3(value); }
    virtual bool IsValidRow(int row) const { return row >= 0 && row < GetRowCount(); }
    virtual bool IsValidColumn(int column) const {
        return column >= 0 && column < GetColumnCount();
    }
    virtual ~CTableInterface() = default;

private:
    CTableInterface* m_target = nullptr;
};

} // namespace Tavex
