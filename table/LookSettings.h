// The control's look as the user may tune it in the store key "Software\Belvorn\Tavex":
// grid sizes, grid width, band colours on or off, band and grid colours. Only read.
#pragma once

#include "platform/DrawContext.h"

#include <string>

namespace Tavex {

struct CLookSettings {
    int m_horzGrid = 0;
    int m_vertGrid = 1;
    bool m_leparello = true;
    int m_gridWidth = 1;
    Platform::ColorRef m_bandColour0 = Platform::RGB(240, 255, 240);
    Platform::ColorRef m_bandColour1 = Platform::RGB(224, 255, 224);
    Platform::ColorRef m_gridColour = Platform::RGB(128, 160, 128);
    // Which colours the store held; the others may follow the desktop.
    bool m_storedBand0 = false;
    bool m_storedBand1 = false;
    bool m_storedGrid = false;
};

// The desktop palette's colours that the rows and the grid may take.
struct CDesktopColours {
    Platform::ColorRef m_text = 0;
    Platform::ColorRef m_base = Platform::RGB(255, 255, 255);
    Platform::ColorRef m_alternateBase = Platform::RGB(245, 245, 245);
    Platform::ColorRef m_mid = Platform::RGB(160, 160, 160);
};

// The colours the rows and the grid are painted with. The look's own (stored or default) stay
// while the desktop's text is readable on both bands, which it is on every light palette; on a
// dark one the colours the store does not hold come from the palette instead: base and
// alternate base for the bands, mid for the grid.
struct CRowColours {
    Platform::ColorRef m_band0;
    Platform::ColorRef m_band1;
    Platform::ColorRef m_grid;
    bool m_fromPalette = false; // the palette is dark: the look's colours gave way to it
};
CRowColours ResolveRowColours(const CLookSettings& look, const CDesktopColours& desktop);

// A stored colour: three pairs of hex digits, red first ("F0FFF0"). Text that does not parse
// gives black.
Platform::ColorRef ParseLookColour(const std::string& text);

// Starts from defaults, which stay for every value that is missing; colour texts of 10 bytes
// or more are not read, and grid sizes are limited to 32 pixels.
CLookSettings ReadLookSettings();

} // namespace Tavex
