// The strip under the body with one row of per-column footer values. No operation of this
// program switches it on; the layout keeps its place.
#pragma once

#include "table/TableCtrlWnd.h"

namespace Tavex {

class CTable;

class CFooterDisplay : public CTableCtrlWnd {
public:
    CFooterDisplay(CTableCtrl& control, CTable& footerTable)
        : CTableCtrlWnd(control), m_footerTable(footerTable) {}

    void Paint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;

private:
    CTable& m_footerTable;
};

} // namespace Tavex
