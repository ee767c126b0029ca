// Texts shaped once and drawn many times. A streaming table repaints the same cells up to once
// per frame, and shaping each text anew was most of the cost of a paint.
// Threading: the window's thread only.
#pragma once

#include <QFont>
#include <QStaticText>
#include <QString>

#include <unordered_map>

namespace PlatformQt {

class QtTextCache {
public:
    struct Shaped {
        QStaticText text;
        qreal width = 0;
    };

    // `text` shaped in `font`; `fontKey` tells fonts apart cheaply. The cache forgets everything
    // once it holds kLimit texts, which bounds its memory.
    const Shaped& Get(const QString& text, const QFont& font, const QString& fontKey);

    static constexpr std::size_t kLimit = 20000;

private:
    std::unordered_map<QString, Shaped> m_shaped;
};

// The one cache of the program.
QtTextCache& TextCache();

} // namespace PlatformQt
