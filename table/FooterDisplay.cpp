#include "table/FooterDisplay.h"

#include "table/TableCtrl.h"

namespace Tavex {

using namespace Platform;

void CFooterDisplay::Paint(IDrawContext& dc, const Rect& clip) {
    const int saved = dc.SaveDC();
    const int height = GetClientRect().Height();
    dc.FillSolidRect(clip, GetPlatform().GetSysColor(COLOR_BTNFACE));
    for (int y : {0, 1, height - 1}) {
        dc.MoveTo(clip.left, y);
        dc.LineTo(clip.right, y);
    }
    const int count = static_cast<int>(m_control.GetDisplayOrder().size());
    const int hPos = m_control.GetHorzPos();
    const int rowHeight = m_control.GetRowHeight();
    for (int p = m_control.PositionAtX(clip.left + hPos); p >= 0 && p < count;
         p = m_control.NextVisibleColumn(p)) {
        const int left = m_control.GetLeftEdge(p) - hPos;
        if (left >= clip.right)
            break;
        const int column = m_control.GetColumnAt(p);
        const CColDisplay& col = m_control.Col(column);
        if (col.m_footerShown && col.m_output && m_footerTable.GetRowCount() > 0) {
            col.m_output->Begin(dc);
            col.m_output->Draw({left + 5, 3, left + col.m_width - 5, rowHeight + 1},
                               *m_footerTable.GetCell(0, column), false);
            col.m_output->End();
        }
        dc.SelectPen({PS_SOLID, 1, RGB(169, 169, 169)});
        const int x = left + col.m_width - m_control.GetVertGrid();
        dc.MoveTo(x, 2);
        dc.LineTo(x, height);
    }
    dc.RestoreDC(saved);
}

} // namespace Tavex
