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
};

// A stored colour: three pairs of hex digits, red first ("F0FFF0"). Text that does not parse
// gives black.
Platform::ColorRef ParseLookColour(const std::string& text);

// Starts from defaults, which stay for every value that is missing; colour texts of 10 bytes
// or more are not read, and grid sizes are limited to 32 pixels.
CLookSettings ReadLookSettings();

} // namespace Tavex
