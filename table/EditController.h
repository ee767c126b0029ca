// In-place editing of one control: opens the current column's editor over the current cell,
// stores or discards its value, moves on with Tab and the page keys, and tells the parent
// about each step. User-interface thread only.
#pragma once

#include "platform/Geometry.h"

namespace Platform {
class CWnd;
}

namespace Tavex {

class CCellData;
class CCellInput;
class CTableCtrl;

class CEditController {
public:
    explicit CEditController(CTableCtrl& control) : m_control(control) {}
    CEditController(const CEditController&) = delete;
    CEditController& operator=(const CEditController&) = delete;

    bool IsEditing() const { return m_editing; }
    // Opens the current cell's editor; the result is whether an edit is open.
    bool BeginEdit(bool byUser);
    // Stores the editor's value unless cancel or the parent vetoes, then closes the editor.
    void EndEdit(bool cancel);
    // Editors pass every key-down here first; true when the key was taken.
    bool HandleEditKey(unsigned vk);
    // Tells the parent about the current cell with the value the editor holds now.
    void NotifyEdit(int code, Platform::CWnd* combo);
    // Keeps an open editor over its cell after scrolling or layout changes.
    void UpdateEditorPos();
    // The control got the focus while editing: the editor takes it.
    void RestoreEditorFocus();

    // Where the editor of (row, column) goes, in body client coordinates.
    Platform::Rect EditorRect(int row, int column) const;
    CTableCtrl& GetControl() { return m_control; }

private:
    CCellInput* CurrentInput() const;
    bool IsCurrentEditable() const;
    long Send(int code, CCellData* value, int x = -1);
    void NextEditableCell();
    void PrevEditableCell();

    CTableCtrl& m_control;
    bool m_editing = false;
};

} // namespace Tavex
