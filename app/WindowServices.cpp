#include "app/WindowServices.h"

#include "platform/qt/QtPlatform.h"
#include "resources/AppIcon.h"

#include <QApplication>
#include <QIcon>
#include <QMetaObject>
#include <QObject>
#include <QPixmap>
#include <QWidget>

namespace AppWindow {

namespace {

QWidget* WidgetOf(const Platform::CWnd& window) {
    if (!window.IsWindow())
        return nullptr;
    auto* platform = dynamic_cast<PlatformQt::QtPlatform*>(&window.GetPlatform());
    return platform ? platform->Widget(window) : nullptr;
}

} // namespace

void SetAppIcon(Platform::CWnd& window) {
    if (QWidget* widget = WidgetOf(window))
        widget->setWindowIcon(QIcon(QPixmap(Res::kAppIconXpm)));
}

void SetMinimumSize(Platform::CWnd& window, Platform::Size size) {
    if (QWidget* widget = WidgetOf(window))
        widget->setMinimumSize(size.cx, size.cy);
}

bool IsMinimized(const Platform::CWnd& window) {
    QWidget* widget = WidgetOf(window);
    return widget && widget->isMinimized();
}

bool HasModalAbove(const Platform::CWnd& window) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal != WidgetOf(window);
}

bool SaveScreenshot(const Platform::CWnd& window, const std::string& path) {
    QWidget* widget = WidgetOf(window);
    return widget && widget->grab().save(QString::fromLocal8Bit(path.c_str()), "PNG");
}

CWindowThreadQueue::CWindowThreadQueue() : m_context(std::make_unique<QObject>()) {}

CWindowThreadQueue::~CWindowThreadQueue() = default;

void CWindowThreadQueue::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(m_context.get(), std::move(task), Qt::QueuedConnection);
}

} // namespace AppWindow
