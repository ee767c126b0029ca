// The table interface widened by the control operations, in their fixed order. Forwarding
// objects (a combo that drops down a table) pass each control operation on to their control,
// and the data operations straight to that control's model.
#pragma once

#include "table/LayoutRecord.h"
#include "table/TableInterface.h"

#include <string>

namespace Tavex {

class CCellInput;
class CCellOutput;
class CColDef;
class CSortKeys;

class CTableCtrlInterface : public CTableInterface {
public:
    // control's model becomes the data target; control is not owned.
    void SetControl(CTableCtrlInterface* control) {
        m_control = control;
        SetTable(control ? control->GetTable() : nullptr);
    }
    CTableCtrlInterface* GetControl() const { return m_control; }

    using CTableInterface::AddColumn;
    using CTableInterface::Build;
    using CTableInterface::SetColumn;

    void SetColumnCount(int count) override { m_control->SetColumnCount(count); }
    void Build() override { m_control->Build(); }
    void ClearLayout() override { m_control->ClearLayout(); }
    void Sort(const CSortKeys& keys) override { m_control->Sort(keys); }
    ~CTableCtrlInterface() override = default;

    virtual void Redraw(bool keepSortKeys) { m_control->Redraw(keepSortKeys); }
    // Ends the columns; keyColumn holds the row keys (-1 none). Returns the footer row.
    virtual CRow* Build(int keyColumn) { return m_control->Build(keyColumn); }
    virtual void Reserved4(int value) { m_control->Reserved4(value); }
    virtual void Reserved5(int value) { m_control->Reserved5(value); }
    // The definition stays the caller's; what it makes belongs to the control.
    virtual int AddColumn(const CColDef* def, const char* title, int width) {
        return m_control->AddColumn(def, title, width);
    }
    // Takes ownership of output and input (input may be null). A null title hides the column.
    virtual void SetColumnView(int column, CCellOutput* output, CCellInput* input,
                               const char* title, int width) {
        m_control->SetColumnView(column, output, input, title, width);
    }
    virtual void SetColumn(int column, const CColDef* def, const char* title, int width) {
        m_control->SetColumn(column, def, title, width);
    }
    virtual void SaveLayout(CWordArray& words) { m_control->SaveLayout(words); }
    virtual bool RestoreLayout(const CWordArray& words) { return m_control->RestoreLayout(words); }
    virtual int GetDlgCtrlID() const { return m_control->GetDlgCtrlID(); }
    virtual void SetLeparello(bool on) { m_control->SetLeparello(on); }
    virtual bool GetLeparello() const { return m_control->GetLeparello(); }
    virtual void ShowHorzGrid(bool on) { m_control->ShowHorzGrid(on); }
    virtual void ShowVertGrid(bool on) { m_control->ShowVertGrid(on); }
    virtual bool HasHorzGrid() const { return m_control->HasHorzGrid(); }
    virtual bool HasVertGrid() const { return m_control->HasVertGrid(); }
    virtual void ShowHeader(bool on) { m_control->ShowHeader(on); }
    virtual void Reserved6(int value) { m_control->Reserved6(value); }
    virtual void SetSortable(bool on) { m_control->SetSortable(on); }
    virtual bool IsSortable() const { return m_control->IsSortable(); }
    virtual CSortKeys* GetSortKeys() { return m_control->GetSortKeys(); }
    // Text up to the first line feed is the title, the rest the header tip; format -1 takes
    // the output's own.
    virtual void SetColumnTitle(int column, const std::string& text, int format) {
        m_control->SetColumnTitle(column, text, format);
    }
    virtual void SetHeaderFormat(int column, int format) {
        m_control->SetHeaderFormat(column, format);
    }
    virtual std::string GetColumnTitle(int column) const {
        return m_control->GetColumnTitle(column);
    }
    virtual int GetHeaderFormat(int column) const { return m_control->GetHeaderFormat(column); }
    virtual void SetColumnWidth(int column, int width) { m_control->SetColumnWidth(column, width); }
    virtual void AutoSizeColumns(bool withTitle) { m_control->AutoSizeColumns(withTitle); }
    virtual void AutoSizeColumn(int column, bool withTitle) {
        m_control->AutoSizeColumn(column, withTitle);
    }
    virtual void SetColumnWidthLimits(int column, int minimum, int maximum) {
        m_control->SetColumnWidthLimits(column, minimum, maximum);
    }
    virtual int GetColumnMinWidth(int column) const { return m_control->GetColumnMinWidth(column); }
    virtual int GetColumnMaxWidth(int column) const { return m_control->GetColumnMaxWidth(column); }
    virtual int GetColumnWidth(int column) const { return m_control->GetColumnWidth(column); }
    virtual void AllowColumnSizing(bool on) { m_control->AllowColumnSizing(on); }
    virtual bool CanSizeColumns() const { return m_control->CanSizeColumns(); }
    virtual void AllowColumnMoving(bool on) { m_control->AllowColumnMoving(on); }
    virtual bool CanMoveColumns() const { return m_control->CanMoveColumns(); }
    virtual bool FitColumnsToWidth() { return m_control->FitColumnsToWidth(); }
    virtual void SetColumnVisible(int column, bool visible) {
        m_control->SetColumnVisible(column, visible);
    }
    virtual std::string GetCellText(int row, int column) {
        return m_control->GetCellText(row, column);
    }
    // First row after afterRow (wrapping) whose text in column starts with prefix, or -1.
    virtual int FindRowByPrefix(int column, const std::string& prefix, int afterRow) {
        return m_control->FindRowByPrefix(column, prefix, afterRow);
    }
    virtual int GetCurrentRow() const { return m_control->GetCurrentRow(); }
    virtual void SetCurrentRow(int row) { m_control->SetCurrentRow(row); }
    virtual void SetRowKey(int row, int key) { m_control->SetRowKey(row, key); }
    virtual int GetRowKey(int row) { return m_control->GetRowKey(row); }
    virtual int FindRowByKey(int key) { return m_control->FindRowByKey(key); }

private:
    CTableCtrlInterface* m_control = nullptr;
};

} // namespace Tavex
