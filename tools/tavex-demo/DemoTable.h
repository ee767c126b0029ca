// The demo's table: one control filled with generated rows of text, numbers (some negative),
// an enumeration and long comments, inside a plain top-level window that keeps it sized.
#pragma once

#include "table/ColDef.h"
#include "table/Enum.h"
#include "table/TableCtrl.h"

namespace TavexDemo {

class CDemoWindow : public Platform::CWnd {
public:
    static constexpr unsigned kTableId = 1000;

    CDemoWindow();
    static constexpr int kKindColumn = 2;

    // Creates the window on platform with the control in it, filled with rows; editable: every
    // column gets its in-place editor.
    bool Create(Platform::IPlatform& platform, int rows, bool editable = false);
    Tavex::CTableCtrl& Table() { return m_table; }

    void OnSize(int width, int height) override;

private:
    void MakeEditable();

    Platform::CWnd m_placeholder;
    Tavex::CTableCtrl m_table;
    Tavex::CEnum m_kinds;
    Tavex::CStringCol m_stringCol;
    Tavex::CIntCol m_intCol;
    Tavex::CEnumCol m_kindCol;
};

// Row i of the generated data, the same on every run.
void FillDemoRow(Tavex::CRow& row, int index);

} // namespace TavexDemo
