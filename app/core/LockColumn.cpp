#include "app/core/LockColumn.h"

#include "table/Cells.h"

#include <algorithm>

int CLockOut::GetTextWidth(const Tavex::CCellData& cell) {
    return GetText(cell).empty() ? 0 : kLockWidth;
}

void CLockOut::Draw(const Platform::Rect& rect, const Tavex::CCellData& cell, bool selected) {
    if (!Context() || GetText(cell).empty())
        return;
    // A body and a shackle in the text colour, centred; small enough for a narrow column.
    const Platform::ColorRef colour = DrawColour(cell, selected);
    const int width = std::min(kLockWidth, rect.Width());
    const int left = rect.left + (rect.Width() - width) / 2;
    const int middle = (rect.top + rect.bottom) / 2;
    const Platform::Rect body{left, middle - 1, left + width, middle + 5};
    Context()->FillSolidRect(body, colour);
    Context()->SelectPen({Platform::PS_SOLID, 2, colour});
    const int inset = std::max(2, width / 4);
    Context()->MoveTo(left + inset, middle - 1);
    Context()->LineTo(left + inset, middle - 5);
    Context()->LineTo(left + width - inset, middle - 5);
    Context()->LineTo(left + width - inset, middle - 1);
}
