#include "platform/qt/QtClipboard.h"

#include "platform/Window.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QClipboard>

namespace PlatformQt {

namespace {
const QString kText = QStringLiteral("text/plain");
} // namespace

QStringList OfferedText::formats() const {
    return {kText};
}

bool OfferedText::hasFormat(const QString& mimeType) const {
    return mimeType == kText;
}

QVariant OfferedText::retrieveData(const QString& mimeType, QMetaType) const {
    if (mimeType != kText)
        return {};
    if (!m_rendered) {
        // Only the offer on the clipboard now may render; a replaced or orphaned one is empty.
        Platform::CWnd* owner = m_platform.m_clipboardOwner;
        if (!owner || QGuiApplication::clipboard()->mimeData() != this)
            return {};
        m_platform.m_clipboardOwner = nullptr;
        m_rendered = true;
        m_text = FromCp1252(owner->OnRenderClipboardText());
    }
    return m_text;
}

void QtPlatform::SetClipboardText(const std::string& text) {
    m_clipboardOwner = nullptr;
    QGuiApplication::clipboard()->setText(FromCp1252(text));
}

void QtPlatform::OfferClipboardText(Platform::CWnd& owner) {
    m_clipboardOwner = &owner;
    QGuiApplication::clipboard()->setMimeData(new OfferedText(*this));
}

} // namespace PlatformQt
