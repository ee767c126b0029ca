#include "platform/qt/QtTextCache.h"

#include <QFontMetricsF>

namespace PlatformQt {

const QtTextCache::Shaped& QtTextCache::Get(const QString& text, const QFont& font,
                                            const QString& fontKey) {
    // A unit separator cannot occur in a font's key, so text and font never run together.
    const QString key = fontKey + QChar(0x1F) + text;
    auto found = m_shaped.find(key);
    if (found != m_shaped.end())
        return found->second;
    if (m_shaped.size() >= kLimit)
        m_shaped.clear();
    Shaped shaped;
    shaped.text.setTextFormat(Qt::PlainText);
    shaped.text.setPerformanceHint(QStaticText::AggressiveCaching);
    shaped.text.setText(text);
    shaped.text.prepare(QTransform(), font);
    shaped.width = QFontMetricsF(font).horizontalAdvance(text);
    return m_shaped.emplace(key, std::move(shaped)).first->second;
}

QtTextCache& TextCache() {
    static QtTextCache cache;
    return cache;
}

} // namespace PlatformQt
