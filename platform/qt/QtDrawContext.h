// The drawing context over a QPainter: GDI's state model (saved levels, selected font and pen,
// text and background colours, current position) and its text layout flags, drawn with Qt.
#pragma once

#include "platform/DrawContext.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace PlatformQt {

// Images the platform loaded, drawn as they are.
class QtImageList : public Platform::IImageList {
public:
    explicit QtImageList(QImage image) : m_image(std::move(image)) {}
    int GetImageCount() const override { return m_image.isNull() ? 0 : 1; }
    Platform::Size GetImageSize() const override { return {m_image.width(), m_image.height()}; }
    const QImage& Image() const { return m_image; }

private:
    QImage m_image;
};

class QtDrawContext : public Platform::IDrawContext {
public:
    // Draws with painter, whose device must have the screen's resolution so that text measures
    // as it shows; style widget (may be null) lends its style to the frame controls.
    QtDrawContext(QPainter& painter, QWidget* styleWidget);
    // A context that only measures, on a small image of its own.
    static std::unique_ptr<QtDrawContext> CreateMeasuring();
    ~QtDrawContext() override;

    int SaveDC() override;
    bool RestoreDC(int level) override;
    Platform::Font SelectFont(const Platform::Font& font) override;
    Platform::Pen SelectPen(const Platform::Pen& pen) override;
    Platform::ColorRef SetTextColor(Platform::ColorRef colour) override;
    Platform::ColorRef SetBkColor(Platform::ColorRef colour) override;
    int SetBkMode(int mode) override;
    Platform::Size GetTextExtent(std::string_view text) override;
    Platform::TextMetrics GetTextMetrics() override;
    int DrawText(std::string_view text, Platform::Rect& rect, unsigned format) override;
    void TextOut(int x, int y, std::string_view text) override;
    void FillSolidRect(const Platform::Rect& rect, Platform::ColorRef colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void DrawFocusRect(const Platform::Rect& rect) override;
    void DrawFrameControl(const Platform::Rect& rect, unsigned type, unsigned state) override;
    void DrawImage(const Platform::IImageList& list, int index, int x, int y,
                   unsigned style) override;

    // An image with the screen's resolution, for painting that must measure like the screen.
    static QImage ScreenImage(int width, int height);

private:
    struct State {
        Platform::Font font;
        Platform::Pen pen;
        Platform::ColorRef textColour = 0;
        Platform::ColorRef bkColour = 0xFFFFFF;
        int bkMode = Platform::OPAQUE;
        Platform::Point position;
    };

    QtDrawContext(std::unique_ptr<QImage> image);
    const QFont& CurrentFont() const;
    const QFontMetrics& Metrics() const;
    // The text as it shows in the selected font (symbol fonts map to their Unicode look-alikes).
    QString Displayed(std::string_view text) const;

    std::unique_ptr<QImage> m_ownImage;
    std::unique_ptr<QPainter> m_ownPainter;
    QPainter& m_painter;
    QWidget* m_styleWidget;
    State m_state;
    std::vector<State> m_saved;
    struct FontCache {
        Platform::Font description;
        QFont font;
        QFontMetrics metrics;
        // Widths in fractions of a pixel: text laid out with them fits its measured extent.
        QFontMetricsF exactMetrics;
        QString key; // tells the font apart in the shaped-text cache
    };
    // Draws a single line of plain text from the shaped-text cache; false when the format
    // asks for more than that.
    bool DrawShapedLine(const QString& text, const Platform::Rect& rect, unsigned format);
    // The current font's underline below text whose line starts at (left, top), kept inside rect.
    void DrawUnderline(qreal left, qreal top, qreal width, const Platform::Rect& rect);
    mutable std::optional<FontCache> m_fontCache;
};

QColor ToQColor(Platform::ColorRef colour);
Platform::ColorRef FromQColor(const QColor& colour);

} // namespace PlatformQt
