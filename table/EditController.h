// Where the control hands over to in-place editing: a button-down commits an open edit, the
// context menus cancel it, scrolling moves it. Without column editors nothing is ever open.
#pragma once

namespace Tavex {

class CEditController {
public:
    bool IsEditing() const { return m_editing; }
    // Opens the current cell's editor; false when the column has none.
    bool BeginEdit(bool /*byUser*/) { return m_editing; }
    void EndEdit(bool /*cancel*/) { m_editing = false; }
    void UpdateEditorPos() {}

private:
    bool m_editing = false;
};

} // namespace Tavex
