// Whether a text colour can be read on a background, by the contrast ratio of the web's
// accessibility guidelines, and the nearest readable colour when it cannot.
#pragma once

#include "platform/DrawContext.h"

namespace Platform {

// Normal text needs this much to be readable by people with moderately low vision.
inline constexpr double kReadableContrast = 4.5;

// 1 (the same) to 21 (black on white), whichever of the two is lighter.
double ContrastRatio(ColorRef a, ColorRef b);

// `colour` when it reaches kReadableContrast on `background`; otherwise the least blend of it
// towards white or black (whichever the background is further from) that does, so a dark
// theme's blue link stays blue, only lighter.
ColorRef ReadableOn(ColorRef colour, ColorRef background);

} // namespace Platform
