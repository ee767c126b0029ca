#include "platform/qt/QtPlatform.h"

#include "platform/qt/QtAccessible.h"

#include "platform/Window.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtDrawContext.h"
#include "platform/qt/QtMenu.h"
#include "platform/qt/QtWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolTip>
#include <QUrl>

#include <chrono>

namespace PlatformQt {

using namespace Platform;

namespace {

// What the desktop's keyboard users expect of every window. Qt shows focus frames only after a
// Tab, and forgets that again; whoever works from the keyboard needs to see where the next key
// goes, so every window shows them always. Ctrl+Tab turns a window's tabs from any control.
class KeyboardHabits : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::WindowActivate)
            if (auto* widget = qobject_cast<QWidget*>(watched))
                widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        // Before any widget sees the key: Qt would take Ctrl+Tab for focus moves elsewhere.
        if (e->type() == QEvent::KeyPress)
            return TurnTabsByKey(watched, *static_cast<QKeyEvent*>(e));
        return false;
    }
};

} // namespace

QtPlatform::QtPlatform() : m_menus(std::make_unique<QtMenuFactory>()) {}

QtPlatform::~QtPlatform() {
    if (m_focusFrames && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(m_focusFrames.get());
}

std::unique_ptr<IWindowPeer> QtPlatform::CreatePeer(CWnd& owner, CWnd* parent, WindowKind kind,
                                                    const Rect& rect, unsigned style) {
    QWidget* parentWidget = parent ? Widget(*parent) : nullptr;
    if (parent && !parentWidget)
        return nullptr;
    // The application may start after the platform object, but never after its first window.
    if (!m_focusFrames && QCoreApplication::instance()) {
        m_focusFrames = std::make_unique<KeyboardHabits>();
        QCoreApplication::instance()->installEventFilter(m_focusFrames.get());
        InstallAccessibleTables();
    }
    QWidget* widget = nullptr;
    Qt::FocusPolicy focus = (style & WS_TABSTOP) ? Qt::TabFocus : Qt::NoFocus;
    switch (kind) {
    case WindowKind::Plain:
        widget = new WindowWidget(*this, parentWidget);
        break;
    case WindowKind::HorzScrollBar:
    case WindowKind::VertScrollBar:
        widget = new ScrollBarWidget(
            kind == WindowKind::HorzScrollBar ? Qt::Horizontal : Qt::Vertical, parentWidget);
        break;
    case WindowKind::Static:
    case WindowKind::GroupBox:
    case WindowKind::Progress:
        widget = CreateControlWidget(*this, kind, style, parentWidget);
        focus = Qt::NoFocus;
        break;
    default:
        // Native controls take the focus when clicked, as on Windows.
        widget = CreateControlWidget(*this, kind, style, parentWidget);
        focus = (style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
        break;
    }
    if (!parent && (style & WS_POPUP))
        widget->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    SetGeometry(widget, rect);
    widget->setFocusPolicy(focus);
    widget->setEnabled(!(style & WS_DISABLED));
    auto peer = std::make_unique<QtWindowPeer>(*this, owner, widget);
    widget->setVisible((style & WS_VISIBLE) != 0);
    return peer;
}

void QtPlatform::ForgetWindow(CWnd& wnd) {
    if (m_capture == &wnd) {
        if (QWidget* widget = Widget(wnd))
            widget->releaseMouse();
        m_capture = nullptr;
    }
    if (m_lastFocus == &wnd)
        m_lastFocus = nullptr;
    if (m_clipboardOwner == &wnd)
        m_clipboardOwner = nullptr;
    auto modal = m_modal.find(&wnd);
    if (modal != m_modal.end())
        EndModalLoop(wnd, IDCANCEL);
}

int QtPlatform::RunModalLoop(CWnd& window) {
    QWidget* widget = Widget(window);
    if (!widget)
        return IDCANCEL;
    widget->hide();
    widget->setWindowModality(Qt::ApplicationModal);
    widget->show();
    QEventLoop loop;
    ModalLoop state{&loop, IDCANCEL, false};
    m_modal[&window] = &state;
    loop.exec(QEventLoop::DialogExec);
    m_modal.erase(&window);
    return state.result;
}

void QtPlatform::EndModalLoop(CWnd& window, int result) {
    auto it = m_modal.find(&window);
    if (it == m_modal.end() || it->second->ended)
        return;
    it->second->ended = true;
    it->second->result = result;
    it->second->loop->quit();
}

QWidget* QtPlatform::Widget(const CWnd& wnd) const {
    auto it = m_widgets.find(&wnd);
    return it == m_widgets.end() ? nullptr : it->second;
}

CWnd* QtPlatform::SetFocus(CWnd* wnd) {
    CWnd* old = GetFocus();
    if (!wnd) {
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus();
        return old;
    }
    if (QWidget* widget = Widget(*wnd)) {
        // Win32 focus activates the window's top level; Qt only focuses within active ones.
        if (!widget->isActiveWindow())
            widget->activateWindow();
        widget->setFocus(Qt::OtherFocusReason);
    }
    return old;
}

CWnd* QtPlatform::GetFocus() const {
    return OwnerOf(QApplication::focusWidget());
}

CWnd* QtPlatform::SetCapture(CWnd& wnd) {
    CWnd* old = m_capture;
    m_capture = &wnd;
    if (QWidget* widget = Widget(wnd))
        widget->grabMouse();
    if (old && old != &wnd)
        old->OnCaptureChanged(&wnd);
    return old;
}

void QtPlatform::ReleaseCapture() {
    CWnd* old = m_capture;
    if (!old)
        return;
    m_capture = nullptr;
    if (QWidget* widget = Widget(*old))
        widget->releaseMouse();
    old->OnCaptureChanged(nullptr);
}

IMenuFactory& QtPlatform::GetMenuFactory() {
    return *m_menus;
}

std::unique_ptr<IDrawContext> QtPlatform::CreateMeasureContext() {
    return QtDrawContext::CreateMeasuring();
}

void QtPlatform::HideToolTip() {
    QToolTip::hideText();
}

int QtPlatform::OpenWithDefaultHandler(const std::string& target) {
    QUrl url = QUrl::fromUserInput(FromCp1252(target));
    if (!url.isValid() || url.isEmpty())
        return 2;
    return QDesktopServices::openUrl(url) ? 33 : 31;
}

void QtPlatform::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPlatform::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

short QtPlatform::GetKeyState(unsigned vk) const {
    Qt::KeyboardModifiers held = QApplication::keyboardModifiers();
    bool down = (vk == VK_SHIFT && (held & Qt::ShiftModifier)) ||
                (vk == VK_CONTROL && (held & Qt::ControlModifier)) ||
                (vk == VK_MENU && (held & Qt::AltModifier));
    return down ? short(-128) : short(0);
}

unsigned QtPlatform::GetTickCount() const {
    using namespace std::chrono;
    return static_cast<unsigned>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int QtPlatform::GetSystemMetrics(int index) const {
    QScreen* screen = QGuiApplication::primaryScreen();
    switch (index) {
    case SM_CXSCREEN:
        return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN:
        return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CXHSCROLL:
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    case SM_CXDRAG:
    case SM_CYDRAG:
        return QApplication::startDragDistance();
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

ColorRef QtPlatform::GetSysColor(int index) const {
    QPalette p = QApplication::palette();
    switch (index) {
    case COLOR_WINDOW:
        return FromQColor(p.color(QPalette::Base));
    case COLOR_WINDOWTEXT:
        return FromQColor(p.color(QPalette::Text));
    case COLOR_HIGHLIGHT:
        return FromQColor(p.color(QPalette::Highlight));
    case COLOR_HIGHLIGHTTEXT:
        return FromQColor(p.color(QPalette::HighlightedText));
    case COLOR_BTNFACE:
        return FromQColor(p.color(QPalette::Button));
    case COLOR_BTNSHADOW:
        return FromQColor(p.color(QPalette::Dark));
    case COLOR_GRAYTEXT:
        return FromQColor(p.color(QPalette::Disabled, QPalette::Text));
    case COLOR_BTNTEXT:
        return FromQColor(p.color(QPalette::ButtonText));
    case COLOR_BTNHIGHLIGHT:
        return FromQColor(p.color(QPalette::Light));
    case COLOR_HOTLIGHT:
        return FromQColor(p.color(QPalette::Link));
    case COLOR_ALTERNATEBASE:
        return FromQColor(p.color(QPalette::AlternateBase));
    case COLOR_MID:
        return FromQColor(p.color(QPalette::Mid));
    case COLOR_VISITEDLINK:
        return FromQColor(p.color(QPalette::LinkVisited));
    default:
        return 0;
    }
}

int QtPlatform::GetWheelScrollLines() const {
    return QApplication::wheelScrollLines();
}

void QtPlatform::MessageBeep(unsigned) {
    QApplication::beep();
}

std::shared_ptr<const IImageList> QtPlatform::LoadImageFile(const std::string& path) {
    QImage image;
    if (!image.load(QString::fromLocal8Bit(path.c_str())))
        return nullptr;
    return std::make_shared<QtImageList>(std::move(image));
}

void QtPlatform::AddAccelerator(CWnd& window, unsigned vk, bool control, unsigned command) {
    QWidget* widget = Widget(window);
    int key = 0;
    if (vk >= 'A' && vk <= 'Z')
        key = Qt::Key_A + static_cast<int>(vk - 'A');
    else if (vk >= VK_F1 && vk <= VK_F1 + 23)
        key = Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    if (!widget || key == 0)
        return;
    auto* shortcut =
        new QShortcut(QKeySequence(QKeyCombination(control ? Qt::ControlModifier : Qt::NoModifier,
                                                   static_cast<Qt::Key>(key))),
                      widget);
    shortcut->setContext(Qt::WindowShortcut);
    // The shortcut lives as long as the widget; the window may have let the widget go first.
    QObject::connect(shortcut, &QShortcut::activated, widget, [this, &window, widget, command] {
        if (Widget(window) != widget)
            return;
        HandlerScope running;
        window.OnCommand(command, 1, nullptr);
    });
}

QImage& QtPlatform::PaintBuffer(QSize size, qreal devicePixelRatio) {
    // Drawn at the screen's own resolution, so text and lines stay sharp on scaled screens while
    // every caller keeps measuring in logical pixels.
    const QSize device = (QSizeF(size) * devicePixelRatio).toSize();
    if (m_paintBuffer.devicePixelRatio() != devicePixelRatio ||
        m_paintBuffer.width() < device.width() || m_paintBuffer.height() < device.height()) {
        const bool same = m_paintBuffer.devicePixelRatio() == devicePixelRatio;
        m_paintBuffer = QtDrawContext::ScreenImage(
            std::max(device.width(), same ? m_paintBuffer.width() : 0),
            std::max(device.height(), same ? m_paintBuffer.height() : 0));
        m_paintBuffer.setDevicePixelRatio(devicePixelRatio);
    }
    return m_paintBuffer;
}

} // namespace PlatformQt
