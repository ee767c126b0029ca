#include "platform/DialogUnits.h"

#include <cstdint>

namespace Platform {

Size GetDialogBaseUnits(IDrawContext& dc, const Font& font) {
    Font old = dc.SelectFont(font);
    Size letters = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int height = dc.GetTextMetrics().tmHeight;
    dc.SelectFont(old);
    // The average of 52 widths, rounded to the nearest pixel.
    return {(letters.cx / 26 + 1) / 2, height};
}

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    std::int64_t product = std::int64_t(value) * numerator;
    std::int64_t half = (denominator > 0 ? denominator : -denominator) / 2;
    bool negative = (product < 0) != (denominator < 0);
    std::int64_t magnitude = (product < 0 ? -product : product) + half;
    std::int64_t quotient = magnitude / (denominator > 0 ? denominator : -denominator);
    return static_cast<int>(negative ? -quotient : quotient);
}

Rect MapDialogRect(const Rect& units, Size base) {
    return {MulDiv(units.left, base.cx, 4), MulDiv(units.top, base.cy, 8),
            MulDiv(units.right, base.cx, 4), MulDiv(units.bottom, base.cy, 8)};
}

} // namespace Platform
