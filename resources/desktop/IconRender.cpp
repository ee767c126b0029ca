// Draws the application icon at the sizes a desktop icon theme asks for, as PNG files in
// OUTDIR/<size>x<size>/apps/vantrel.png.
#include "resources/AppIcon.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-icon-render OUTDIR\n");
        return 2;
    }
    const QImage source(Res::kAppIconXpm);
    for (int size : {16, 32, 48, 128, 256}) {
        // Whole multiples keep the drawing's hard edges; other sizes are filtered.
        const bool whole = size % source.width() == 0 || source.width() % size == 0;
        QImage icon = source.convertToFormat(QImage::Format_ARGB32)
                          .scaled(size, size, Qt::IgnoreAspectRatio,
                                  whole ? Qt::FastTransformation : Qt::SmoothTransformation);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(argv[1]).arg(size);
        if (!QDir().mkpath(folder) || !icon.save(folder + QStringLiteral("/vantrel.png"), "PNG")) {
            std::fprintf(stderr, "vantrel-icon-render: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
