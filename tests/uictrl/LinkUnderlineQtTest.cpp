// A link keeps its underline on screens scaled by whole and fractional factors: one program per
// factor, since Qt fixes the scale when the application starts.
#include "uictrl/HyperLink.h"

#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Platform;

namespace {

// The longest run of pixels of `colour` in any one row, and the row.
std::pair<int, int> LongestRun(const QImage& image, QRgb colour) {
    std::pair<int, int> best{0, -1};
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? run + 1 : 0;
            if (run > best.first)
                best = {run, y};
        }
    }
    return best;
}

} // namespace

TEST(LinkUnderlineQtTest, VANTREL_SCALE_TEST) {
    qputenv("QT_SCALE_FACTOR", VANTREL_TEST_SCALE);
    TestSupport::TestApp();
    PlatformQt::QtPlatform platform;
    CWnd dialog, label;
    ASSERT_TRUE(dialog.CreateTopLevel(platform, {10, 10, 400, 100}, WS_VISIBLE));
    ASSERT_TRUE(label.Create(dialog, {10, 10, 300, 60}, WS_CHILD | WS_VISIBLE, 1040,
                             "https://vantrel.example/"));
    Kivra::CHyperLink link;
    ASSERT_TRUE(link.SubclassDlgItem(1040, dialog));
    TestSupport::ProcessEventsFor(50);

    QWidget* widget = platform.Widget(link);
    ASSERT_NE(widget, nullptr);
    const QImage shot = widget->grab().toImage();
    if (const char* dir = std::getenv("VANTREL_LINK_SHOTS"))
        shot.save(QString("%1/link-%2.png").arg(dir, VANTREL_TEST_SCALE));
    const ColorRef c = link.CurrentColour();
    const QRgb colour = qRgb(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF);
    // Sized to its text, the label is all text: an underline is the one row of the link's
    // colour that runs along most of it.
    const auto [run, row] = LongestRun(shot, colour);
    EXPECT_GE(run, shot.width() * 8 / 10) << "row " << row << " of " << shot.height();
}
