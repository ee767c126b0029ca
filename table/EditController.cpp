#include "table/EditController.h"

#include "table/TableCtrl.h"

#include <cstddef>
#include <new>

namespace Tavex {

using namespace Platform;

namespace {

// A private copy of one table cell, made by the column's factory so it has the cell's class.
class CCellCopy {
public:
    CCellCopy(CTableInterface& table, int row, int column) {
        CCellFactory* factory = table.GetFactory(column);
        m_storage = ::operator new(factory->GetCellSize(), std::align_val_t(kCellAlign));
        m_cell = factory->CopyConstruct(m_storage, *table.GetCell(row, column));
    }
    ~CCellCopy() {
        m_cell->~CCellData();
        ::operator delete(m_storage, std::align_val_t(kCellAlign));
    }
    CCellCopy(const CCellCopy&) = delete;
    CCellCopy& operator=(const CCellCopy&) = delete;

    CCellData& Get() { return *m_cell; }

private:
    void* m_storage;
    CCellData* m_cell;
};

} // namespace

CCellInput* CEditController::CurrentInput() const {
    const int column = m_control.GetCurrentCell().GetColumn();
    if (column < 0)
        return nullptr;
    return m_control.Col(column).m_input.get();
}

long CEditController::Send(int code, CCellData* value, int x) {
    NMTABLE record;
    record.code = code;
    record.iRow = m_control.GetCurrentCell().GetRow();
    record.iColumn = m_control.GetCurrentCell().GetColumn();
    record.x = x;
    record.y = x;
    record.value = value;
    return m_control.Notify(record);
}

Rect CEditController::EditorRect(int row, int column) const {
    const int left =
        m_control.GetLeftEdge(m_control.GetColumnPosition(column)) - m_control.GetHorzPos() + 1;
    const int top = m_control.RowToY(row) + 1;
    const int right = left + m_control.GetColumnWidth(column) - 3;
    const int bottom =
        m_control.RowToY(row) + m_control.GetRowHeight() - m_control.GetHorzGrid() - 1;
    return {left, top, right, bottom};
}

bool CEditController::BeginEdit(bool byUser) {
    if (m_editing)
        return true;
    CCurrentCell& current = m_control.GetCurrentCell();
    const int row = current.GetRow();
    const int column = current.GetColumn();
    if (row < 0 || column < 0)
        return m_editing;
    CColDisplay& col = m_control.Col(column);
    if (!col.m_editable || !col.m_input)
        return m_editing;
    CCellCopy value(*m_control.GetTable(), row, column);
    if (Send(LVN_BEGINLABELEDITA, &value.Get(), byUser ? 1 : -1) != 0)
        return m_editing;
    CCellInput& input = *col.m_input;
    if (!input.IsInitialised())
        input.InitEditor(m_control.GetBody(), *this);
    m_editing = true;
    input.OpenEditor(value.Get(), EditorRect(row, column), byUser);
    input.FocusEditor();
    return m_editing;
}

void CEditController::EndEdit(bool cancel) {
    if (!m_editing)
        return;
    CCellInput* input = CurrentInput();
    const int row = m_control.GetCurrentCell().GetRow();
    const int column = m_control.GetCurrentCell().GetColumn();
    if (!input || row < 0) {
        // The row went away under the editor: nothing is left to store into.
        m_editing = false;
        if (input)
            input->CloseEditor();
        return;
    }
    bool vetoed = false;
    {
        CCellCopy value(*m_control.GetTable(), row, column);
        input->GetValue(value.Get());
        if (cancel) {
            Send(TVN_EDITCANCELLED, &value.Get());
        } else if (Send(LVN_ENDLABELEDITA, &value.Get()) != 0) {
            vetoed = true;
        } else if (const int now = m_control.GetCurrentCell().GetRow(); m_editing && now >= 0) {
            // The parent may have added or removed rows while it was asked: the value goes to
            // the edited row wherever that now stands, and nowhere once it is gone.
            m_control.GetTable()->GetCell(now, column)->Assign(value.Get());
        } else {
            vetoed = true;
        }
    }
    if (!m_editing)
        return; // the parent ended the edit itself while it was asked
    m_editing = false;
    m_control.SetFocus();
    input->CloseEditor();
    m_control.GetBody().Invalidate();
    const int now = m_control.GetCurrentCell().GetRow();
    if (!cancel && !vetoed && now >= 0) {
        CCellCopy stored(*m_control.GetTable(), now, column);
        Send(TVN_CELLCHANGED, &stored.Get());
    }
}

bool CEditController::HandleEditKey(unsigned vk) {
    if (!m_editing)
        return false;
    CNotifyScope scope(m_control.NotificationsEnabled());
    switch (vk) {
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT: {
        EndEdit(false);
        CCurrentCell& current = m_control.GetCurrentCell();
        if (vk == VK_PRIOR)
            current.RowUp();
        else if (vk == VK_NEXT)
            current.RowDown();
        else if (m_control.GetPlatform().GetKeyState(VK_SHIFT) < 0)
            PrevEditableCell();
        else
            NextEditableCell();
        m_control.GetSelection().Select(0, current.GetRow());
        BeginEdit(false);
        current.MakeVisible();
        m_control.Redraw(true);
        return true;
    }
    case VK_RETURN:
        EndEdit(false);
        return true;
    case VK_ESCAPE:
        EndEdit(true);
        return true;
    default:
        return false;
    }
}

bool CEditController::IsCurrentEditable() const {
    const int column = m_control.GetCurrentCell().GetColumn();
    return column >= 0 && m_control.Col(column).m_editable && m_control.Col(column).m_input;
}

void CEditController::NextEditableCell() {
    CCurrentCell& current = m_control.GetCurrentCell();
    // Bounded, so a table whose editable columns are all hidden cannot spin for ever.
    const int limit = 2 * static_cast<int>(m_control.GetDisplayOrder().size()) + 2;
    for (int step = 0; step < limit; ++step) {
        if (!current.ColumnRight()) {
            if (!current.RowDown() && Send(TVN_PASTLASTROW, nullptr) != 0)
                current.RowDown(); // the parent may have added a row
            current.FirstColumn();
        }
        if (IsCurrentEditable())
            return;
    }
}

void CEditController::PrevEditableCell() {
    CCurrentCell& current = m_control.GetCurrentCell();
    const int startRow = current.GetRow();
    const int startColumn = current.GetColumn();
    const int limit = 2 * static_cast<int>(m_control.GetDisplayOrder().size()) + 2;
    for (int step = 0; step < limit; ++step) {
        if (!current.ColumnLeft()) {
            if (!current.RowUp())
                break;
            current.LastColumn();
        }
        if (IsCurrentEditable())
            return;
    }
    // Nothing editable before the start: stay where the edit was.
    current.Set(startRow, startColumn);
}

void CEditController::NotifyEdit(int code, CWnd* combo) {
    CCellInput* input = CurrentInput();
    const int row = m_control.GetCurrentCell().GetRow();
    if (!m_editing || !input || row < 0)
        return;
    CNotifyScope scope(m_control.NotificationsEnabled());
    CCellCopy value(*m_control.GetTable(), row, m_control.GetCurrentCell().GetColumn());
    input->GetValue(value.Get());
    NMTABLE record;
    record.code = code;
    record.iRow = row;
    record.iColumn = m_control.GetCurrentCell().GetColumn();
    record.value = &value.Get();
    record.combo = combo;
    m_control.Notify(record);
}

void CEditController::UpdateEditorPos() {
    if (!m_editing)
        return;
    CCellInput* input = CurrentInput();
    const int row = m_control.GetCurrentCell().GetRow();
    if (input && row >= 0)
        input->MoveEditor(EditorRect(row, m_control.GetCurrentCell().GetColumn()));
}

void CEditController::RestoreEditorFocus() {
    if (!m_editing)
        return;
    CCellInput* input = CurrentInput();
    CWnd* editor = input ? input->GetEditorWindow() : nullptr;
    if (editor && editor->IsWindow() && m_control.GetFocus() != editor)
        input->FocusEditor();
}

} // namespace Tavex
