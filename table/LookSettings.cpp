#include "table/LookSettings.h"

#include "net/RegistryKey.h"

#include <cstdio>

namespace Tavex {

namespace {

constexpr const char* kLookKey = "Software\\Belvorn\\Tavex";
// The colour texts were read into a 10-byte buffer: nine characters and the zero at most.
constexpr std::size_t kColourTextLimit = 9;

void ReadColour(const CRegistryKey& key, const char* name, Platform::ColorRef& colour) {
    if (key.GetValueType(name) != REG_SZ)
        return;
    const std::string text = key.ReadString(name, std::string(kColourTextLimit + 1, 'x'));
    if (text.size() > kColourTextLimit)
        return;
    colour = ParseLookColour(text);
}

} // namespace

Platform::ColorRef ParseLookColour(const std::string& text) {
    unsigned red = 0, green = 0, blue = 0;
    // Partial matches keep what they read, as the stored format was always written whole.
    std::sscanf(text.c_str(), "%2x%2x%2x", &red, &green, &blue);
    return Platform::RGB(red, green, blue);
}

CLookSettings ReadLookSettings() {
    CLookSettings look;
    CRegistryKey key;
    key.SetRoot(HKEY_CURRENT_USER);
    if (!key.SetPath(kLookKey, false))
        return look;
    look.m_horzGrid = static_cast<int>(key.ReadNumber("HorzGrid", look.m_horzGrid));
    look.m_vertGrid = static_cast<int>(key.ReadNumber("VertGrid", look.m_vertGrid));
    look.m_leparello = key.ReadNumber("Leparello", look.m_leparello ? 1 : 0) != 0;
    ReadColour(key, "Leparello_Color_0", look.m_bandColour0);
    ReadColour(key, "Leparello_Color_1", look.m_bandColour1);
    ReadColour(key, "GridColor", look.m_gridColour);
    look.m_gridWidth = static_cast<int>(key.ReadNumber("GridWidth", look.m_gridWidth));
    return look;
}

} // namespace Tavex
