#include "platform/Contrast.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(ContrastTest, RatiosAndTheNearestReadableColour) {
    EXPECT_NEAR(ContrastRatio(RGB(0, 0, 0), RGB(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RGB(255, 255, 255), RGB(0, 0, 0)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RGB(10, 20, 30), RGB(10, 20, 30)), 1.0, 1e-9);
    // The faults seen on a dark desktop: light text on the light bands, a blue link on grey.
    EXPECT_LT(ContrastRatio(RGB(240, 240, 240), RGB(240, 255, 240)), 1.1);
    EXPECT_LT(ContrastRatio(RGB(0, 0, 255), RGB(50, 50, 50)), 2.0);

    // Readable colours stay as they are.
    EXPECT_EQ(ReadableOn(RGB(0, 0, 255), RGB(255, 255, 255)), RGB(0, 0, 255));
    // A dark blue on a dark grey becomes a lighter blue, just readable.
    const ColorRef link = ReadableOn(RGB(0, 0, 255), RGB(50, 50, 50));
    EXPECT_GE(ContrastRatio(link, RGB(50, 50, 50)), kReadableContrast);
    EXPECT_LT(ContrastRatio(link, RGB(50, 50, 50)), kReadableContrast + 1);
    EXPECT_GT(link >> 16 & 0xFF, link & 0xFF) << "still blue";
    // Pale text on a pale ground darkens; on a middle grey whichever of the two ends reads.
    EXPECT_GE(ContrastRatio(ReadableOn(RGB(250, 250, 200), RGB(255, 255, 255)), RGB(255, 255, 255)),
              kReadableContrast);
    for (unsigned grey = 0; grey <= 255; grey += 5)
        EXPECT_GE(ContrastRatio(ReadableOn(RGB(grey, grey, grey), RGB(grey, grey, grey)),
                                RGB(grey, grey, grey)),
                  kReadableContrast)
            << grey;
}
