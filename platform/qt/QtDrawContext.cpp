#include "platform/qt/QtDrawContext.h"

#include "platform/qt/Cp1252.h"
#include "platform/qt/QtTextCache.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cmath>

namespace PlatformQt {

using namespace Platform;

QColor ToQColor(ColorRef c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

ColorRef FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

namespace {

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

bool IsSymbolFace(const std::string& face) {
    return QString::fromLatin1(face.c_str()).compare("Wingdings", Qt::CaseInsensitive) == 0;
}

// Width of the widest line and height of all lines, measured as GetTextExtent measures, with
// mnemonic ampersands left out when they are shown as underlines.
Size LinesExtent(const QFontMetrics& fm, const QFontMetricsF& exact, const QString& text,
                 int flags) {
    QString shown = text;
    if (flags & Qt::TextShowMnemonic) {
        shown.clear();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('&') && i + 1 < text.size())
                ++i;
            shown += text[i];
        }
    }
    QStringList lines =
        (flags & Qt::TextSingleLine) ? QStringList{shown} : shown.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, static_cast<int>(std::ceil(exact.horizontalAdvance(line))));
    return {width, fm.height() * static_cast<int>(lines.size())};
}

} // namespace

QImage QtDrawContext::ScreenImage(int width, int height) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    qreal dpi = 96;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

QtDrawContext::QtDrawContext(QPainter& painter, QWidget* styleWidget)
    : m_painter(painter), m_styleWidget(styleWidget) {}

QtDrawContext::QtDrawContext(std::unique_ptr<QImage> image)
    : m_ownImage(std::move(image)), m_ownPainter(std::make_unique<QPainter>(m_ownImage.get())),
      m_painter(*m_ownPainter), m_styleWidget(nullptr) {}

QtDrawContext::~QtDrawContext() = default;

std::unique_ptr<QtDrawContext> QtDrawContext::CreateMeasuring() {
    return std::unique_ptr<QtDrawContext>(
        new QtDrawContext(std::make_unique<QImage>(ScreenImage(8, 8))));
}

int QtDrawContext::SaveDC() {
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool QtDrawContext::RestoreDC(int level) {
    int count = static_cast<int>(m_saved.size());
    if (level < 0)
        level += count + 1;
    if (level < 1 || level > count)
        return false;
    m_state = m_saved[level - 1];
    m_saved.resize(level - 1);
    return true;
}

Font QtDrawContext::SelectFont(const Font& font) {
    return std::exchange(m_state.font, font);
}
Pen QtDrawContext::SelectPen(const Pen& pen) {
    return std::exchange(m_state.pen, pen);
}
ColorRef QtDrawContext::SetTextColor(ColorRef c) {
    return std::exchange(m_state.textColour, c);
}
ColorRef QtDrawContext::SetBkColor(ColorRef c) {
    return std::exchange(m_state.bkColour, c);
}
int QtDrawContext::SetBkMode(int mode) {
    return std::exchange(m_state.bkMode, mode);
}

const QFont& QtDrawContext::CurrentFont() const {
    // Painting a table asks for the same font thousands of times: build it once per change.
    if (m_fontCache && m_fontCache->description == m_state.font)
        return m_fontCache->font;
    const Font& f = m_state.font;
    // Symbol faces are drawn with look-alike characters of the default font.
    QFont font = QApplication::font();
    if (!f.face.empty() && !IsSymbolFace(f.face))
        font.setFamily(FromCp1252(f.face));
    if (f.pointSize10 > 0)
        font.setPointSizeF(f.pointSize10 / 10.0);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    m_fontCache.emplace(FontCache{f, font, QFontMetrics(font, m_painter.device()),
                                  QFontMetricsF(font, m_painter.device()), font.key()});
    return m_fontCache->font;
}

const QFontMetrics& QtDrawContext::Metrics() const {
    CurrentFont();
    return m_fontCache->metrics;
}

QString QtDrawContext::Displayed(std::string_view text) const {
    if (!IsSymbolFace(m_state.font.face))
        return FromCp1252(text);
    QString shown;
    for (unsigned char b : text) {
        switch (b) {
        case 0xE9: // arrow up
            shown += QChar(0x25B2);
            break;
        case 0xEA: // arrow down
            shown += QChar(0x25BC);
            break;
        default:
            shown += QChar(b);
        }
    }
    return shown;
}

// Rounded up, so a column sized to its widest text shows that text without an ellipsis.
Size QtDrawContext::GetTextExtent(std::string_view text) {
    const QFontMetrics& fm = Metrics();
    const qreal width = m_fontCache->exactMetrics.horizontalAdvance(Displayed(text));
    return {static_cast<int>(std::ceil(width)), fm.height()};
}

TextMetrics QtDrawContext::GetTextMetrics() {
    const QFontMetrics& fm = Metrics();
    TextMetrics tm;
    tm.tmHeight = fm.height();
    tm.tmAscent = fm.ascent();
    tm.tmDescent = fm.descent();
    tm.tmExternalLeading = fm.leading();
    tm.tmAveCharWidth = fm.averageCharWidth();
    tm.tmMaxCharWidth = fm.maxWidth();
    return tm;
}

int QtDrawContext::DrawText(std::string_view text, Rect& rect, unsigned format) {
    const QFont& font = CurrentFont();
    const QFontMetrics& fm = Metrics();
    QString shown = Displayed(text);
    const bool single = format & DT_SINGLELINE;

    int flags = (format & DT_CENTER)  ? Qt::AlignHCenter
                : (format & DT_RIGHT) ? Qt::AlignRight
                                      : Qt::AlignLeft;
    if (single)
        flags |= (format & DT_VCENTER)  ? Qt::AlignVCenter
                 : (format & DT_BOTTOM) ? Qt::AlignBottom
                                        : Qt::AlignTop;
    else
        flags |= Qt::AlignTop;
    flags |= single ? Qt::TextSingleLine : 0;
    flags |= (format & DT_WORDBREAK) && !single ? Qt::TextWordWrap : 0;
    flags |= (format & DT_EXPANDTABS) ? Qt::TextExpandTabs : 0;
    flags |= (format & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic;

    if (format & DT_CALCRECT) {
        Size size = (format & DT_WORDBREAK) && !single
                        ? Size{}
                        : LinesExtent(fm, m_fontCache->exactMetrics, shown, flags);
        if ((format & DT_WORDBREAK) && !single) {
            QRect b = fm.boundingRect(
                QRect(rect.left, rect.top, std::max(rect.Width(), 1), INT_MAX / 4), flags, shown);
            size = {b.width(), b.height()};
        }
        rect.right = rect.left + size.cx;
        rect.bottom = rect.top + size.cy;
        return size.cy;
    }
    if (DrawShapedLine(shown, rect, format))
        return fm.height();
    if ((format & DT_END_ELLIPSIS) && (single || !(format & DT_WORDBREAK)))
        shown = fm.elidedText(shown, Qt::ElideRight, std::max(rect.Width(), 0),
                              flags & Qt::TextShowMnemonic);

    QRect target = ToQRect(rect);
    const bool clip = !(format & DT_NOCLIP);
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(target, Qt::IntersectClip);
    }
    m_painter.setFont(font);
    int height = fm.height();
    if (m_state.bkMode == OPAQUE || !single) {
        QRect bounds = m_painter.boundingRect(target, flags, shown);
        height = bounds.height();
        if (m_state.bkMode == OPAQUE)
            m_painter.fillRect(bounds, ToQColor(m_state.bkColour));
    }
    m_painter.setPen(ToQColor(m_state.textColour));
    if (font.underline() && single) {
        QFont plain = font;
        plain.setUnderline(false);
        m_painter.setFont(plain);
        const QRect bounds = m_painter.boundingRect(target, flags, shown);
        m_painter.drawText(target, flags, shown);
        DrawUnderline(bounds.left(), bounds.top(), bounds.width(), rect);
    } else {
        m_painter.drawText(target, flags, shown);
    }
    if (clip)
        m_painter.restore();
    return height;
}

bool QtDrawContext::DrawShapedLine(const QString& text, const Rect& rect, unsigned format) {
    const unsigned plain = DT_SINGLELINE | DT_NOPREFIX;
    if ((format & plain) != plain || (format & DT_EXPANDTABS) || m_state.bkMode == OPAQUE)
        return false;
    const QFont& font = CurrentFont();
    const QFontMetrics& fm = Metrics();
    const QtTextCache::Shaped* shaped = &TextCache().Get(text, font, m_fontCache->key);
    if (shaped->width > rect.Width() && (format & DT_END_ELLIPSIS)) {
        const QString elided = fm.elidedText(text, Qt::ElideRight, std::max(rect.Width(), 0));
        shaped = &TextCache().Get(elided, font, m_fontCache->key);
    }
    // Placed as Qt's own single-line layout places it.
    qreal x = rect.left;
    if (format & DT_CENTER)
        x += (rect.Width() - shaped->width) / 2;
    else if (format & DT_RIGHT)
        x = rect.right - shaped->width;
    int y = rect.top;
    if (format & DT_VCENTER)
        y += (rect.Height() - fm.height()) / 2;
    else if (format & DT_BOTTOM)
        y = rect.bottom - fm.height();
    const bool clip =
        !(format & DT_NOCLIP) && (shaped->width > rect.Width() || fm.height() > rect.Height() ||
                                  y < rect.top || x < rect.left);
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(ToQRect(rect), Qt::IntersectClip);
    }
    m_painter.setPen(ToQColor(m_state.textColour));
    if (font.underline()) {
        QFont plain = font;
        plain.setUnderline(false);
        // Read before the cache is asked again: a full cache starts afresh.
        const QString shown = shaped->text.text();
        const qreal width = shaped->width;
        m_painter.setFont(plain);
        m_painter.drawStaticText(QPointF(x, y), TextCache().Get(shown, plain, plain.key()).text);
        DrawUnderline(x, y, width, rect);
    } else {
        m_painter.setFont(font);
        m_painter.drawStaticText(QPointF(x, y), shaped->text);
    }
    if (clip)
        m_painter.restore();
    return true;
}

void QtDrawContext::DrawUnderline(qreal left, qreal top, qreal width, const Rect& rect) {
    // Qt leaves the underline out of text drawn on a scaled screen, or places it by the font's
    // device metrics below a label sized to the text's logical height, where the clip loses it.
    // So it is drawn here, raised into the rectangle where it would leave it.
    const QFontMetricsF exact(CurrentFont(), m_painter.device());
    const qreal thickness = std::max<qreal>(exact.lineWidth(), 1.0);
    const qreal y = std::min(top + exact.ascent() + exact.underlinePos(), rect.bottom - thickness);
    const qreal from = std::max<qreal>(left, rect.left);
    const qreal to = std::min<qreal>(left + width, rect.right);
    if (to > from)
        m_painter.fillRect(QRectF(from, y, to - from, thickness), ToQColor(m_state.textColour));
}

void QtDrawContext::TextOut(int x, int y, std::string_view text) {
    const QFont& font = CurrentFont();
    const QFontMetrics& fm = Metrics();
    QString shown = Displayed(text);
    m_painter.save();
    m_painter.setFont(font);
    if (m_state.bkMode == OPAQUE)
        m_painter.fillRect(QRect(x, y, fm.horizontalAdvance(shown), fm.height()),
                           ToQColor(m_state.bkColour));
    m_painter.setPen(ToQColor(m_state.textColour));
    m_painter.drawText(QPoint(x, y + fm.ascent()), shown);
    m_painter.restore();
}

void QtDrawContext::FillSolidRect(const Rect& rect, ColorRef colour) {
    m_painter.fillRect(ToQRect(rect), ToQColor(colour));
}

void QtDrawContext::MoveTo(int x, int y) {
    m_state.position = {x, y};
}

void QtDrawContext::LineTo(int x, int y) {
    Point from = m_state.position;
    m_state.position = {x, y};
    if (from == Point{x, y})
        return;
    QPen pen(ToQColor(m_state.pen.colour));
    pen.setWidth(std::max(m_state.pen.width, 1));
    // Flat caps leave the end point out, as LineTo does, so joined lines do not overlap.
    pen.setCapStyle(Qt::FlatCap);
    pen.setStyle(m_state.pen.style == PS_DOT ? Qt::DotLine : Qt::SolidLine);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(pen);
    m_painter.drawLine(from.x, from.y, x, y);
    m_painter.restore();
}

void QtDrawContext::DrawFocusRect(const Rect& rect) {
    if (rect.IsEmpty())
        return;
    // Every other pixel of the frame, inverted, so a second call restores the picture.
    QPolygon dots;
    for (int x = rect.left; x < rect.right; x += 2) {
        dots << QPoint(x, rect.top);
        if (rect.bottom - 1 != rect.top)
            dots << QPoint(x, rect.bottom - 1);
    }
    for (int y = rect.top + 2; y < rect.bottom - 1; y += 2) {
        dots << QPoint(rect.left, y);
        if (rect.right - 1 != rect.left)
            dots << QPoint(rect.right - 1, y);
    }
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter.setPen(QPen(Qt::white, 1));
    m_painter.drawPoints(dots);
    m_painter.restore();
}

void QtDrawContext::DrawFrameControl(const Rect& rect, unsigned type, unsigned state) {
    QStyle* style = m_styleWidget ? m_styleWidget->style() : QApplication::style();
    QPalette palette = m_styleWidget ? m_styleWidget->palette() : QApplication::palette();
    const QRect r = ToQRect(rect);
    const bool pushed = state & DFCS_PUSHED;
    const bool flat = state & DFCS_FLAT;
    QStyle::State base = (state & DFCS_INACTIVE) ? QStyle::State_None : QStyle::State_Enabled;

    if (type == DFC_BUTTON) {
        if (flat) {
            // A flat button: face and a thin line at the right and bottom.
            m_painter.fillRect(r, palette.color(QPalette::Button));
            m_painter.setPen(palette.color(QPalette::Mid));
            m_painter.drawLine(r.topRight(), r.bottomRight());
            m_painter.drawLine(r.bottomLeft(), r.bottomRight());
            return;
        }
        QStyleOptionHeader opt;
        opt.rect = r;
        opt.palette = palette;
        opt.state = base | QStyle::State_Horizontal |
                    (pushed ? QStyle::State_Sunken : QStyle::State_Raised);
        opt.orientation = Qt::Horizontal;
        opt.position = QStyleOptionHeader::Middle;
        style->drawControl(QStyle::CE_HeaderSection, &opt, &m_painter, m_styleWidget);
        return;
    }
    if (type == DFC_SCROLL) {
        QStyleOption opt;
        opt.rect = r;
        opt.palette = palette;
        opt.state = base | (pushed ? QStyle::State_Sunken : QStyle::State_Raised);
        if (!flat || pushed)
            style->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &m_painter, m_styleWidget);
        else
            m_painter.fillRect(r, palette.color(QPalette::Button));
        QStyle::PrimitiveElement arrow = (state & 0xF) == DFCS_SCROLLUP
                                             ? QStyle::PE_IndicatorArrowUp
                                             : QStyle::PE_IndicatorArrowDown;
        opt.rect = r.adjusted(2, 2, -2, -2).translated(pushed ? 1 : 0, pushed ? 1 : 0);
        style->drawPrimitive(arrow, &opt, &m_painter, m_styleWidget);
    }
}

void QtDrawContext::DrawImage(const IImageList& list, int index, int x, int y, unsigned) {
    // Only lists of this platform's own making can be drawn.
    const auto* images = dynamic_cast<const QtImageList*>(&list);
    if (images && index == 0 && !images->Image().isNull())
        m_painter.drawImage(QPoint(x, y), images->Image());
}

} // namespace PlatformQt
