#include "table/LookSettings.h"

#include "net/RegistryKey.h"
#include "platform/Contrast.h"

#include <algorithm>
#include <cstdio>

namespace Tavex {

namespace {

constexpr const char* kLookKey = "Software\\Belvorn\\Tavex";
// The colour texts were read into a 10-byte buffer: nine characters and the zero at most.
constexpr std::size_t kColourTextLimit = 9;
// Grid sizes beyond this come from a damaged or hand-edited store; the row height and every
// division by it depend on them staying small and non-negative.
constexpr std::uint32_t kMaxGrid = 32;

int ReadGrid(const CRegistryKey& key, const char* name, int defaultValue) {
    return static_cast<int>(
        std::min(key.ReadNumber(name, static_cast<std::uint32_t>(defaultValue)), kMaxGrid));
}

void ReadColour(const CRegistryKey& key, const char* name, Platform::ColorRef& colour,
                bool& stored) {
    if (key.GetValueType(name) != REG_SZ)
        return;
    const std::string text = key.ReadString(name, std::string(kColourTextLimit + 1, 'x'));
    if (text.size() > kColourTextLimit)
        return;
    colour = ParseLookColour(text);
    stored = true;
}

} // namespace

Platform::ColorRef ParseLookColour(const std::string& text) {
    unsigned red = 0, green = 0, blue = 0;
    if (std::sscanf(text.c_str(), "%2x%2x%2x", &red, &green, &blue) != 3)
        return Platform::RGB(0, 0, 0);
    return Platform::RGB(red, green, blue);
}

CLookSettings ReadLookSettings() {
    CLookSettings look;
    CRegistryKey key;
    key.SetRoot(HKEY_CURRENT_USER);
    if (!key.SetPath(kLookKey, false))
        return look;
    look.m_horzGrid = ReadGrid(key, "HorzGrid", look.m_horzGrid);
    look.m_vertGrid = ReadGrid(key, "VertGrid", look.m_vertGrid);
    look.m_leparello = key.ReadNumber("Leparello", look.m_leparello ? 1 : 0) != 0;
    ReadColour(key, "Leparello_Color_0", look.m_bandColour0, look.m_storedBand0);
    ReadColour(key, "Leparello_Color_1", look.m_bandColour1, look.m_storedBand1);
    ReadColour(key, "GridColor", look.m_gridColour, look.m_storedGrid);
    look.m_gridWidth = ReadGrid(key, "GridWidth", look.m_gridWidth);
    return look;
}

CRowColours ResolveRowColours(const CLookSettings& look, const CDesktopColours& desktop) {
    CRowColours colours{look.m_bandColour0, look.m_bandColour1, look.m_gridColour};
    if (Platform::ContrastRatio(desktop.m_text, look.m_bandColour0) >=
            Platform::kReadableContrast &&
        Platform::ContrastRatio(desktop.m_text, look.m_bandColour1) >= Platform::kReadableContrast)
        return colours;
    colours.m_fromPalette = true;
    if (!look.m_storedBand0)
        colours.m_band0 = desktop.m_base;
    if (!look.m_storedBand1)
        colours.m_band1 = desktop.m_alternateBase;
    if (!look.m_storedGrid)
        colours.m_grid = desktop.m_mid;
    return colours;
}

} // namespace Tavex
