// Windows on a screen scaled to twice its pixels, as on a high-density display: painted at the
// screen's resolution, and kept within the screen, which here is only 400 x 400 logical pixels.
#include "platform/Window.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Platform;
using PlatformQt::QtPlatform;
using TestSupport::ProcessEventsFor;

namespace {

class TextWindow : public CWnd {
public:
    void OnPaint(IDrawContext& dc, const Rect&) override {
        dc.FillSolidRect({0, 0, 120, 40}, RGB(255, 255, 255));
        dc.SetTextColor(RGB(0, 0, 0));
        Rect r{4, 4, 116, 36};
        dc.DrawText("Ping 999 32/32", r, DT_LEFT | DT_TOP | DT_SINGLELINE);
        dc.FillSolidRect({4, 30, 100, 31}, RGB(0, 0, 0)); // a one-pixel line
    }
};

QApplication& ScaledApp() {
    qputenv("QT_SCALE_FACTOR", "2");
    return TestSupport::TestApp();
}

// On a buffer enlarged from logical pixels every 2 x 2 block is one colour.
int BlocksOfMixedColour(const QImage& image) {
    int mixed = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c ||
                image.pixel(x + 1, y + 1) != c)
                ++mixed;
        }
    return mixed;
}

} // namespace

TEST(QtScaledScreenTest, WindowsPaintAtTheScreensResolution) {
    ScaledApp();
    QtPlatform platform;
    TextWindow window;
    ASSERT_TRUE(window.CreateTopLevel(platform, {10, 10, 130, 50}, WS_VISIBLE));
    QWidget* widget = platform.Widget(window);
    ASSERT_EQ(widget->devicePixelRatioF(), 2.0);
    ProcessEventsFor(20);

    const QImage shot = widget->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(240, 80));
    // Metrics stay logical: the one-pixel line is two device pixels high, no more.
    EXPECT_EQ(shot.pixel(20, 59), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(20, 60), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(20, 61), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(20, 62), qRgb(255, 255, 255));
    // The text's edges fall between device pixels, so it is sharp, not enlarged.
    EXPECT_GT(BlocksOfMixedColour(shot.copy(8, 8, 224, 48)), 20);
    EXPECT_EQ(platform.PaintBuffer({1, 1}, 2.0).devicePixelRatio(), 2.0);
}

TEST(QtScaledScreenTest, WindowsAreFittedIntoTheScreensAvailableArea) {
    ScaledApp();
    QtPlatform platform;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(area, QRect(0, 0, 400, 400));

    // Opened at a template size centred for a bigger screen: moved in and shrunk.
    CWnd big;
    ASSERT_TRUE(big.CreateTopLevel(platform, {-98, -26, 602, 574}, 0));
    EXPECT_EQ(big.GetWindowRect(), (Rect{0, 0, 400, 400}));
    // Restored partly beyond the right and bottom edges: moved in, size kept.
    big.MoveWindow({300, 350, 500, 450});
    EXPECT_EQ(big.GetWindowRect(), (Rect{200, 300, 400, 400}));
    // A window that fits stays where it is.
    big.MoveWindow({10, 20, 110, 120});
    EXPECT_EQ(big.GetWindowRect(), (Rect{10, 20, 110, 120}));

    // Popups place themselves beside what they belong to, and child windows are not touched.
    CWnd popup;
    ASSERT_TRUE(popup.CreateTopLevel(platform, {350, 380, 450, 430}, WS_POPUP));
    EXPECT_EQ(popup.GetWindowRect(), (Rect{350, 380, 450, 430}));
    CWnd child;
    ASSERT_TRUE(child.Create(big, {-5, -5, 500, 500}, WS_VISIBLE, 1));
    EXPECT_EQ(platform.Widget(child)->geometry(), QRect(-5, -5, 505, 505));
}
