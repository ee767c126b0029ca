#include "platform/Text.h"

#include <array>
#include <cstdint>

namespace Platform {

namespace {

struct Weights {
    std::array<std::uint16_t, 256> primary{};
    std::array<std::uint8_t, 256> secondary{};
    std::array<std::uint8_t, 256> upper{};
};

constexpr std::uint16_t kControl = 0x0000;
constexpr std::uint16_t kSpace = 0x0100;
constexpr std::uint16_t kSymbol = 0x0200;
constexpr std::uint16_t kDigit = 0x0300;
constexpr std::uint16_t kLetter = 0x0400;

// Base letter of a Windows-1252 byte (lower case), 0 when the byte is no letter. The thorn
// has no base in a-z and gets the place after z.
constexpr int BaseLetter(unsigned b) {
    if (b >= 'a' && b <= 'z')
        return static_cast<int>(b);
    if (b >= 'A' && b <= 'Z')
        return static_cast<int>(b - 'A' + 'a');
    if (b == 0xDF) // sharp s: 0xDF | 0x20 would be y diaeresis
        return 's';
    if (b >= 0xC0 && b <= 0xFF && b != 0xD7 && b != 0xF7) {
        unsigned l = b | 0x20u; // the small letter of the pair
        if (l >= 0xE0 && l <= 0xE6)
            return 'a';
        if (l == 0xE7)
            return 'c';
        if (l >= 0xE8 && l <= 0xEB)
            return 'e';
        if (l >= 0xEC && l <= 0xEF)
            return 'i';
        if (l == 0xF0)
            return 'd';
        if (l == 0xF1)
            return 'n';
        if ((l >= 0xF2 && l <= 0xF6) || l == 0xF8)
            return 'o';
        if (l >= 0xF9 && l <= 0xFC)
            return 'u';
        if (l == 0xFD || l == 0xFF)
            return 'y';
        if (l == 0xFE)
            return 'z' + 1;
    }
    switch (b) {
    case 0x8A:
    case 0x9A:
        return 's';
    case 0x8C:
    case 0x9C:
        return 'o';
    case 0x8E:
    case 0x9E:
        return 'z';
    case 0x9F:
        return 'y';
    case 0x83:
        return 'f';
    default:
        return 0;
    }
}

constexpr unsigned Upper(unsigned b) {
    if (b >= 'a' && b <= 'z')
        return b - 0x20;
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return b - 0x20;
    switch (b) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return b;
    }
}

constexpr unsigned Lower(unsigned b) {
    if (b >= 'A' && b <= 'Z')
        return b + 0x20;
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return b + 0x20;
    switch (b) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return b;
    }
}

constexpr bool IsControl(unsigned b) {
    return b < 0x09 || (b > 0x0D && b < 0x20) || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F ||
           b == 0x90 || b == 0x9D;
}

constexpr bool IsSpace(unsigned b) {
    return (b >= 0x09 && b <= 0x0D) || b == 0x20 || b == 0xA0;
}

constexpr Weights MakeWeights() {
    Weights w;
    for (unsigned b = 0; b < 256; ++b) {
        int base = BaseLetter(b);
        if (base != 0) {
            w.primary[b] = static_cast<std::uint16_t>(kLetter + (base - 'a'));
            unsigned lower = Lower(b);
            // Plain letters carry no accent weight, so they sort before accented forms.
            w.secondary[b] = static_cast<std::uint8_t>(lower >= 'a' && lower <= 'z' ? 0 : lower);
        } else if (b >= '0' && b <= '9') {
            w.primary[b] = static_cast<std::uint16_t>(kDigit + (b - '0'));
        } else if (IsControl(b)) {
            w.primary[b] = static_cast<std::uint16_t>(kControl + b);
        } else if (IsSpace(b)) {
            w.primary[b] = static_cast<std::uint16_t>(kSpace + b);
        } else {
            w.primary[b] = static_cast<std::uint16_t>(kSymbol + b);
        }
        w.upper[b] = static_cast<std::uint8_t>(Upper(b));
    }
    return w;
}

constexpr Weights kWeights = MakeWeights();

inline unsigned Byte(char c) {
    return static_cast<unsigned char>(c);
}

} // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto pa = kWeights.primary[Byte(a[i])];
        const auto pb = kWeights.primary[Byte(b[i])];
        if (pa != pb)
            return pa < pb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < common; ++i) {
        const auto sa = kWeights.secondary[Byte(a[i])];
        const auto sb = kWeights.secondary[Byte(b[i])];
        if (sa != sb)
            return sa < sb ? -1 : 1;
    }
    return 0;
}

int CompareNoCase(std::string_view a, std::string_view b, std::size_t n) {
    return CompareNoCase(a.substr(0, n), b.substr(0, n));
}

bool HasPrefixNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

char ToUpper(char c) {
    return static_cast<char>(kWeights.upper[Byte(c)]);
}

std::string ToUpper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = ToUpper(c);
    return result;
}

} // namespace Platform
