// Texts with the game's colour codes (a caret and one character): the runs between the codes
// with their colours, and colours made legible against a row's background.
#pragma once

#include "platform/DrawContext.h"

#include <string_view>
#include <vector>

namespace Tavex {

// A piece of text in one colour; m_coded is false before the first code, where the text keeps
// the table's own text colour.
struct CColourRun {
    std::string_view m_text;
    Platform::ColorRef m_colour = 0;
    bool m_coded = false;
};

// The colour a code character selects: 0-7 the game's eight, 8 orange, 9 grey, and any other
// character c colour ((c - '0') & 7).
Platform::ColorRef CodeColour(char code);

// The visible runs of `raw`, codes left out; a caret at the very end is dropped. The runs
// joined are the text without its codes. Empty runs are not listed.
std::vector<CColourRun> SplitColourCodes(std::string_view raw);

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double RelativeLuminance(Platform::ColorRef colour);
double ContrastRatio(Platform::ColorRef a, Platform::ColorRef b);

// Contrast every coloured run must reach against its row.
inline constexpr double kMinimumContrast = 3.0;

// `colour` with its lightness moved, as little as needed, until its contrast against
// `background` is at least kMinimumContrast; unchanged if it already is. A colour without hue
// (white, grey, black) that fails becomes `textColour`, the table's own, where that reads on
// the row: white on a light row reads as ordinary text.
Platform::ColorRef LegibleColour(Platform::ColorRef colour, Platform::ColorRef background,
                                 Platform::ColorRef textColour);

} // namespace Tavex
