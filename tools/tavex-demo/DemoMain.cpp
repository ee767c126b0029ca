// tavex-demo: one table control with generated rows for trying it by hand; with --screenshot
// it renders the window offscreen to a PNG and exits. With --editable the cells can be edited
// in place, and the screenshot shows an open enumeration list.
#include "platform/qt/QtPlatform.h"
#include "table/EnumIn.h"
#include "table/SortKeys.h"
#include "tools/tavex-demo/DemoOptions.h"
#include "tools/tavex-demo/DemoTable.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
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
    if (!window.Create(platform, options->m_rows, options->m_editable)) {
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
    auto* kinds =
        dynamic_cast<Tavex::CEnumIn*>(table.Col(TavexDemo::CDemoWindow::kKindColumn).m_input.get());
    if (kinds) {
        table.GetCurrentCell().Set(2, TavexDemo::CDemoWindow::kKindColumn);
        table.GetEditController().BeginEdit(false);
        kinds->ShowDropDown(true);
    }
    QApplication::processEvents();
    QWidget* widget = platform.Widget(window);
    if (!widget) {
        std::fprintf(stderr, "tavex-demo: the window has no widget\n");
        return 1;
    }
    QImage image = widget->grab().toImage();
    // The open list is a window of its own: paint it where it stands over the main window.
    if (QWidget* list = kinds ? platform.Widget(kinds->GetList()) : nullptr) {
        const QRect main = widget->geometry();
        const QRect shown = list->geometry().translated(-main.topLeft());
        const QRect all = QRect(QPoint(0, 0), main.size()).united(shown);
        QImage both(all.size(), QImage::Format_ARGB32);
        both.fill(Qt::transparent);
        QPainter painter(&both);
        painter.drawImage(-all.topLeft(), image);
        painter.drawPixmap(shown.topLeft() - all.topLeft(), list->grab());
        painter.end();
        image = both;
    }
    if (!image.save(QString::fromLocal8Bit(options->m_screenshot.c_str()))) {
        std::fprintf(stderr, "tavex-demo: cannot write %s\n", options->m_screenshot.c_str());
        return 1;
    }
    return 0;
}
