#include "platform/Contrast.h"

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

double Channel(unsigned value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(ColorRef colour) {
    return 0.2126 * Channel(colour & 0xFF) + 0.7152 * Channel(colour >> 8 & 0xFF) +
           0.0722 * Channel(colour >> 16 & 0xFF);
}

ColorRef Blend(ColorRef colour, unsigned target, int step, int steps) {
    auto mix = [&](unsigned c) {
        return static_cast<unsigned>(
            std::lround(c + (static_cast<double>(target) - c) * step / steps));
    };
    return RGB(mix(colour & 0xFF), mix(colour >> 8 & 0xFF), mix(colour >> 16 & 0xFF));
}

} // namespace

double ContrastRatio(ColorRef a, ColorRef b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColorRef ReadableOn(ColorRef colour, ColorRef background) {
    if (ContrastRatio(colour, background) >= kReadableContrast)
        return colour;
    // White on the darker half of backgrounds, black on the lighter; one of them always reaches
    // the ratio, so the search ends at the latest with the pure colour.
    const unsigned target =
        ContrastRatio(RGB(255, 255, 255), background) >= ContrastRatio(0, background) ? 255 : 0;
    constexpr int kSteps = 64;
    for (int step = 1; step < kSteps; ++step) {
        const ColorRef blended = Blend(colour, target, step, kSteps);
        if (ContrastRatio(blended, background) >= kReadableContrast)
            return blended;
    }
    return RGB(target, target, target);
}

} // namespace Platform
