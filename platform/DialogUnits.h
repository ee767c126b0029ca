// Dialog units: template positions and sizes scale with the dialog font, as on Windows.
// The horizontal base is the average width of the 52 letters A-Z a-z, the vertical base the
// font's height; x pixels = x units * horizontal base / 4, y pixels = y units * vertical base / 8.
#pragma once

#include "platform/DrawContext.h"
#include "platform/Geometry.h"

namespace Platform {

// The base units of font, measured in dc (whose selected font is left as it was).
Size GetDialogBaseUnits(IDrawContext& dc, const Font& font);

// value * numerator / denominator rounded half away from zero, as Windows' MulDiv does.
int MulDiv(int value, int numerator, int denominator);

// A rectangle in dialog units, in pixels.
Rect MapDialogRect(const Rect& units, Size base);

// Pixel sizes that were chosen for the design font, whose base units are 6 x 13, carried over
// to the actual dialog font: widths in proportion to the horizontal base, heights to the
// vertical one. With the design font both stay as they are.
struct CDesignScale {
    static constexpr Size kDesignBase{6, 13};
    Size base = kDesignBase;

    int X(int pixels) const { return MulDiv(pixels, base.cx, kDesignBase.cx); }
    int Y(int pixels) const { return MulDiv(pixels, base.cy, kDesignBase.cy); }
};

} // namespace Platform
