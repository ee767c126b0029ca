#include "table/EnumIn.h"

#include "table/ColDef.h"
#include "table/EditController.h"
#include "table/Enum.h"

namespace Tavex {

using namespace Platform;

CEnumIn::CEnumIn(CAbstractEnum* enumeration, int mode, unsigned format)
    : m_enum(enumeration), m_mode(mode), m_format(format) {
    m_enum->Retain();
}

CEnumIn::~CEnumIn() {
    m_enum->Release();
}

void CEnumIn::InitEditor(CWnd& parent, CEditController& edit) {
    CCellInput::InitEditor(parent, edit);
    Create(WS_CHILD | WS_BORDER, {0, 0, 1, 1}, parent, 0);
    const CEnumCol column(m_enum, m_mode, static_cast<int>(m_format));
    m_list.SetColumnCount(1);
    m_list.SetColumn(0, column.CreateFactory(), column.CreateCompare());
    m_list.SetColumnView(0, column.CreateOutput(), nullptr, "*", 1);
    Build(-1);
    m_list.ShowHeader(false);
    m_list.ShowHorzGrid(false);
    m_list.ShowVertGrid(false);
    m_list.AllowColumnSizing(false);
    m_list.AllowColumnMoving(false);
    m_list.GetCurrentCell().SetMode(CCurrentCell::kRowMode);
}

void CEnumIn::GetValue(CCellData& value) {
    const int row = GetSelectedRow();
    if (row >= 0)
        value.SetInt(m_list.GetCell(row, 0)->GetInt());
}

void CEnumIn::SetValue(const CCellData& value) {
    const int wanted = value.GetInt();
    const int rows = m_list.GetRowCount();
    int found = 0;
    for (int row = 0; row < rows; ++row) {
        if (m_list.GetCell(row, 0)->GetInt() == wanted) {
            found = row;
            break;
        }
    }
    SelectRow(rows > 0 ? found : -1);
}

void CEnumIn::OpenEditor(const CCellData& value, const Rect& rect, bool byUser) {
    SetDesignScale(m_controller->GetControl().GetDesignScale());
    m_list.DeleteAllRows();
    m_enum->FillTable(&m_list);
    SetValue(value);
    m_controller->NotifyEdit(TVN_CHOICELISTOPENING, this);
    m_list.Sort(CSortKeys{0, CSortKeys::kAscending, -1});
    // After sorting, so the selected row is found where it went.
    SetValue(value);
    m_list.AutoSizeColumn(0, false);
    SetMinListWidth(m_list.GetColumnWidth(0) + 2);
    m_list.Redraw(false);
    MoveWindow(rect);
    ShowWindow(true);
    if (byUser) {
        const Point pointer = m_controller->GetControl().GetBody().GetLastPointer();
        const int zone = m_controller->GetControl().GetDesignScale().X(kDropZone);
        if (pointer.x >= rect.right - zone && pointer.x < rect.right + zone)
            ShowDropDown(true);
    }
}

void CEnumIn::CloseEditor() {
    CloseUp(false);
    ShowWindow(false);
}

void CEnumIn::MoveEditor(const Rect& rect) {
    MoveWindow(rect);
    m_list.Redraw(true);
}

void CEnumIn::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
    if (IsDropped()) {
        CComboTable::OnKeyDown(vk, repeat, flags);
        // Tab closes the list, then moves on as from a closed editor.
        if (vk == VK_TAB && m_controller)
            m_controller->HandleEditKey(vk);
        return;
    }
    if (m_controller && m_controller->HandleEditKey(vk))
        return;
    CComboTable::OnKeyDown(vk, repeat, flags);
}

void CEnumIn::NotifyParent(unsigned code) {
    if (code == CBN_SELCHANGE && m_controller)
        m_controller->NotifyEdit(TVN_CHOICECHANGED, this);
    CComboTable::NotifyParent(code);
}

// Focus moves between the control and its editor count as internal for the control.
void CEnumIn::OnSetFocus(CWnd* oldWnd) {
    CComboTable::OnSetFocus(oldWnd);
    if (m_controller)
        m_controller->GetControl().OnSetFocus(oldWnd);
}

void CEnumIn::OnKillFocus(CWnd* newWnd) {
    CComboTable::OnKillFocus(newWnd);
    if (m_controller)
        m_controller->GetControl().OnKillFocus(newWnd);
}

} // namespace Tavex
