#include "table/ColourCodes.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

using Platform::ColorRef;
using Platform::RGB;

namespace {

constexpr ColorRef kGameColours[10] = {
    RGB(0, 0, 0),     RGB(255, 0, 0),   RGB(0, 255, 0),     RGB(255, 255, 0), RGB(0, 0, 255),
    RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255), RGB(255, 128, 0), RGB(128, 128, 128),
};

unsigned Red(ColorRef c) {
    return c & 0xFFu;
}
unsigned Green(ColorRef c) {
    return (c >> 8) & 0xFFu;
}
unsigned Blue(ColorRef c) {
    return (c >> 16) & 0xFFu;
}

double Linear(unsigned channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

struct CHsl {
    double h = 0, s = 0, l = 0;
};

CHsl ToHsl(ColorRef c) {
    const double r = Red(c) / 255.0, g = Green(c) / 255.0, b = Blue(c) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    CHsl hsl;
    hsl.l = (hi + lo) / 2;
    const double d = hi - lo;
    if (d <= 0)
        return hsl;
    hsl.s = d / (1 - std::fabs(2 * hsl.l - 1));
    if (hi == r)
        hsl.h = std::fmod((g - b) / d + 6, 6);
    else if (hi == g)
        hsl.h = (b - r) / d + 2;
    else
        hsl.h = (r - g) / d + 4;
    return hsl;
}

ColorRef FromHsl(const CHsl& hsl) {
    const double c = (1 - std::fabs(2 * hsl.l - 1)) * hsl.s;
    const double x = c * (1 - std::fabs(std::fmod(hsl.h, 2) - 1));
    const double m = hsl.l - c / 2;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hsl.h) % 6) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    auto channel = [m](double v) {
        return static_cast<unsigned>(std::clamp(std::lround((v + m) * 255), 0L, 255L));
    };
    return RGB(channel(r), channel(g), channel(b));
}

} // namespace

ColorRef CodeColour(char code) {
    const int digit = static_cast<unsigned char>(code) - '0';
    if (digit >= 0 && digit <= 9)
        return kGameColours[digit];
    return kGameColours[digit & 7];
}

std::vector<CColourRun> SplitColourCodes(std::string_view raw) {
    std::vector<CColourRun> runs;
    CColourRun current;
    std::size_t start = 0;
    auto flush = [&](std::size_t end) {
        if (end > start) {
            current.m_text = raw.substr(start, end - start);
            runs.push_back(current);
        }
    };
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '^')
            continue;
        flush(i);
        if (i + 1 < raw.size()) {
            current.m_colour = CodeColour(raw[i + 1]);
            current.m_coded = true;
        }
        ++i;
        start = i + 1;
    }
    flush(raw.size());
    return runs;
}

double RelativeLuminance(ColorRef c) {
    return 0.2126 * Linear(Red(c)) + 0.7152 * Linear(Green(c)) + 0.0722 * Linear(Blue(c));
}

double ContrastRatio(ColorRef a, ColorRef b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColorRef LegibleColour(ColorRef colour, ColorRef background, ColorRef textColour) {
    if (ContrastRatio(colour, background) >= kMinimumContrast)
        return colour;
    // White, grey and black say "plain text" more than any colour: the table's own text colour
    // where it reads, as it should.
    if (Red(colour) == Green(colour) && Green(colour) == Blue(colour) &&
        ContrastRatio(textColour, background) >= kMinimumContrast)
        return textColour;
    // Towards black or white, whichever the background lets stand out more.
    const bool darken =
        ContrastRatio(RGB(0, 0, 0), background) >= ContrastRatio(RGB(255, 255, 255), background);
    CHsl hsl = ToHsl(colour);
    double near = hsl.l, far = darken ? 0.0 : 1.0;
    // Lightness moves the luminance one way only, so halving finds the least change.
    for (int step = 0; step < 24; ++step) {
        CHsl mid = hsl;
        mid.l = (near + far) / 2;
        if (ContrastRatio(FromHsl(mid), background) >= kMinimumContrast)
            far = mid.l;
        else
            near = mid.l;
    }
    hsl.l = far;
    return FromHsl(hsl);
}

} // namespace Tavex
