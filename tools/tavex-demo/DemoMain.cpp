// tavex-demo: one table control with generated rows for trying it by hand; with --screenshot
// it renders the window offscreen to a PNG and exits.
#include "platform/qt/QtPlatform.h"
#include "table/SortKeys.h"
#include "tools/tavex-demo/DemoOptions.h"
#include "tools/tavex-demo/DemoTable.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    std::string error;
    const auto options = TavexDemo::ParseDemoOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "tavex-demo: %s\n", error.c_str());
        return 2;
    }
    if (!options->m_screenshot.empty())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    PlatformQt::QtPlatform platform;
    TavexDemo::CDemoWindow window;
    if (!window.Create(platform, options->m_rows)) {
        std::fprintf(stderr, "tavex-demo: the window could not be created\n");
        return 1;
    }
    Tavex::CTableCtrl& table = window.Table();
    if (options->m_screenshot.empty()) {
        table.SetFocus();
        return QApplication::exec();
    }
    // What the screenshot shows: sorted by score, highest first, and one row selected.
    table.Sort(Tavex::CSortKeys{1, Tavex::CSortKeys::kDescending, -1});
    table.SetCurrentRow(2);
    table.Redraw(true);
    table.SetFocus();
    QApplication::processEvents();
    QWidget* widget = platform.Widget(window);
    if (!widget || !widget->grab().save(QString::fromLocal8Bit(options->m_screenshot.c_str()))) {
        std::fprintf(stderr, "tavex-demo: cannot write %s\n", options->m_screenshot.c_str());
        return 1;
    }
    return 0;
}
