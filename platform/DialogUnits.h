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

} // namespace Platform
