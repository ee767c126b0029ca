// Clipboard data whose text is produced only when a program asks for it: the owner window's
// OnRenderClipboardText runs at the first request, and its answer stays for later ones.
#pragma once

#include <QMimeData>

namespace PlatformQt {

class QtPlatform;

class OfferedText : public QMimeData {
public:
    explicit OfferedText(QtPlatform& platform) : m_platform(platform) {}

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QtPlatform& m_platform;
    mutable bool m_rendered = false;
    mutable QString m_text;
};

} // namespace PlatformQt
