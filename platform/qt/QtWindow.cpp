#include "platform/qt/QtWindow.h"

#include "platform/Controls.h"
#include "platform/ToolTip.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtDrawContext.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTextDocument>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace PlatformQt {

using namespace Platform;

namespace {

int s_running = 0;

Point ToPoint(QPoint p) {
    return {p.x(), p.y()};
}

Qt::CursorShape CursorShape(int id) {
    switch (id) {
    case IDC_IBEAM:
        return Qt::IBeamCursor;
    case IDC_WAIT:
        return Qt::WaitCursor;
    case IDC_APPSTARTING:
        return Qt::BusyCursor;
    case IDC_SIZEWE:
        return Qt::SizeHorCursor;
    case IDC_SIZENS:
        return Qt::SizeVerCursor;
    case IDC_HAND:
        return Qt::PointingHandCursor;
    case IDC_HSPLITBAR:
        return Qt::SplitHCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

HandlerScope::HandlerScope() {
    ++s_running;
}
HandlerScope::~HandlerScope() {
    --s_running;
}
bool HandlerScope::Active() {
    return s_running > 0;
}

unsigned VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Menu:
        return VK_APPS;
    default:
        return 0;
    }
}

unsigned MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    unsigned flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

void SetGeometry(QWidget* widget, const Rect& rect) {
    Rect placed = rect;
    const bool popup = (widget->windowFlags() & Qt::WindowType_Mask) == Qt::Tool ||
                       (widget->windowFlags() & Qt::WindowType_Mask) == Qt::Popup ||
                       (widget->windowFlags() & Qt::WindowType_Mask) == Qt::ToolTip;
    if (widget->isWindow() && !popup) {
        const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        QScreen* screen = QGuiApplication::screenAt(centre);
        if (screen == nullptr)
            screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            placed = rect.FittedInto(
                {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
        }
    }
    widget->setGeometry(placed.left, placed.top, placed.Width(), placed.Height());
}

CWnd* OwnerOf(const QWidget* widget) {
    auto* peer = dynamic_cast<const PeerWidget*>(widget);
    return peer ? peer->m_owner : nullptr;
}

void PeerWidget::ReportSize(QSize size) {
    if (size == m_reportedSize || !m_owner)
        return;
    m_reportedSize = size;
    HandlerScope running;
    m_owner->OnSize(size.width(), size.height());
}

// ---------------------------------------------------------------------------------------------

WindowWidget::WindowWidget(QtPlatform& platform, QWidget* parent)
    : QWidget(parent), m_platform(platform) {
    setMouseTracking(true);
    // Every pixel is painted from the off-screen image, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WindowWidget::SetTimer(unsigned id, unsigned milliseconds) {
    KillTimer(id);
    m_timers[id] = startTimer(static_cast<int>(milliseconds));
}

void WindowWidget::KillTimer(unsigned id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    killTimer(it->second);
    m_timers.erase(it);
}

bool WindowWidget::event(QEvent* e) {
    if (!m_owner)
        return QWidget::event(e);
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        unsigned wants = 0;
        if (tab) {
            HandlerScope running;
            wants = m_owner->OnGetDlgCode();
        }
        // Windows that want Tab get it before it moves the focus.
        if (tab && (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
            keyPressEvent(key);
            return true;
        }
    }
    if (e->type() == QEvent::ApplicationPaletteChange) {
        HandlerScope running;
        m_owner->OnSysColorChange();
        update();
        return QWidget::event(e);
    }
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        std::string text;
        {
            HandlerScope running;
            text = CToolTipCtrl::TextFor(*m_owner, ToPoint(help->pos()));
        }
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(),
                               Qt::convertFromPlainText(FromCp1252(text), Qt::WhiteSpacePre), this);
        return true;
    }
    return QWidget::event(e);
}

void WindowWidget::paintEvent(QPaintEvent* e) {
    QRect clip = e->rect();
    m_pending -= e->region();
    if (!m_owner || clip.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    QImage& buffer = m_platform.PaintBuffer(clip.size(), ratio);
    {
        QPainter painter(&buffer);
        painter.translate(-clip.topLeft());
        painter.setClipRect(clip);
        QtDrawContext dc(painter, this);
        Rect r{clip.left(), clip.top(), clip.left() + clip.width(), clip.top() + clip.height()};
        dc.FillSolidRect(r, m_platform.GetSysColor(COLOR_BTNFACE));
        HandlerScope running;
        m_owner->OnPaint(dc, r);
    }
    QPainter screen(this);
    screen.drawImage(clip.topLeft(), buffer, QRectF(QPointF(0, 0), QSizeF(clip.size()) * ratio));
}

void WindowWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    ReportSize(size());
}

void WindowWidget::mousePressEvent(QMouseEvent* e) {
    if (!m_owner || e->button() != Qt::LeftButton)
        return;
    HandlerScope running;
    m_owner->OnLButtonDown(MouseKeyFlags(e->buttons(), e->modifiers()),
                           ToPoint(e->position().toPoint()));
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (!m_owner || e->button() != Qt::LeftButton)
        return;
    HandlerScope running;
    m_owner->OnLButtonUp(MouseKeyFlags(e->buttons(), e->modifiers()),
                         ToPoint(e->position().toPoint()));
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!m_owner || e->button() != Qt::LeftButton)
        return;
    HandlerScope running;
    m_owner->OnLButtonDblClk(MouseKeyFlags(e->buttons(), e->modifiers()),
                             ToPoint(e->position().toPoint()));
}

void WindowWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!m_owner)
        return;
    HandlerScope running;
    m_owner->OnMouseMove(MouseKeyFlags(e->buttons(), e->modifiers()),
                         ToPoint(e->position().toPoint()));
}

void WindowWidget::wheelEvent(QWheelEvent* e) {
    // Accepted here in any case: the window base hands unhandled turns to the parent itself.
    e->accept();
    const int delta = m_wheel.Add(e->angleDelta().y());
    if (!m_owner || delta == 0)
        return;
    HandlerScope running;
    m_owner->OnMouseWheel(MouseKeyFlags(e->buttons(), e->modifiers()), delta,
                          ToPoint(e->globalPosition().toPoint()));
}

void WindowWidget::keyPressEvent(QKeyEvent* e) {
    if (!m_owner)
        return;
    HandlerScope running;
    // Inside a dialog, Enter and Escape belong to the dialog unless a window asks for them.
    const bool dialogKey =
        e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape;
    if (dialogKey && parentWidget() && !(m_owner->OnGetDlgCode() & DLGC_WANTALLKEYS)) {
        e->ignore();
        return;
    }
    unsigned flags = e->isAutoRepeat() ? KF_REPEAT : 0;
    if (unsigned vk = VirtualKeyFromQt(e->key()))
        m_owner->OnKeyDown(vk, 1, flags);
    const bool control =
        (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
    for (char c : ToCp1252(e->text())) {
        // Delete types no character on Windows.
        if (!m_owner || c == '\x7F')
            continue;
        // Ctrl with a letter types its control character, as on Windows and X11, never the
        // letter: Ctrl+C must not start a search for "c".
        if (control && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            c = static_cast<char>(c & 0x1F);
        m_owner->OnChar(static_cast<unsigned char>(c), 1, flags);
    }
}

void WindowWidget::focusInEvent(QFocusEvent*) {
    if (!m_owner)
        return;
    CWnd* old = m_platform.m_lastFocus;
    m_platform.m_lastFocus = m_owner;
    HandlerScope running;
    m_owner->OnSetFocus(old == m_owner ? nullptr : old);
}

void WindowWidget::focusOutEvent(QFocusEvent*) {
    if (!m_owner)
        return;
    HandlerScope running;
    // Qt names the new focus widget before telling the old one.
    m_owner->OnKillFocus(OwnerOf(QApplication::focusWidget()));
}

void WindowWidget::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
    if (!m_owner)
        return;
    Point p = e->reason() == QContextMenuEvent::Keyboard ? Point{-1, -1} : ToPoint(e->globalPos());
    HandlerScope running;
    m_owner->OnContextMenu(m_owner, p);
}

void WindowWidget::closeEvent(QCloseEvent* e) {
    // The window decides: dialogs cancel, other windows destroy themselves.
    e->ignore();
    if (!m_owner)
        return;
    HandlerScope running;
    m_owner->OnClose();
}

void WindowWidget::timerEvent(QTimerEvent* e) {
    for (auto [id, qtId] : m_timers) {
        if (qtId == e->timerId()) {
            if (m_owner) {
                HandlerScope running;
                m_owner->OnTimer(id);
            }
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------

ScrollBarWidget::ScrollBarWidget(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        switch (action) {
        case SliderMove:
            Report(SB_THUMBTRACK, sliderPosition());
            return;
        case SliderSingleStepAdd:
        case SliderSingleStepSub:
        case SliderPageStepAdd:
        case SliderPageStepSub:
        case SliderToMinimum:
        case SliderToMaximum: {
            // A Win32 bar does not move by itself: the owner sets the position it wants.
            setSliderPosition(m_pos);
            unsigned code = action == SliderSingleStepAdd   ? SB_LINEDOWN
                            : action == SliderSingleStepSub ? SB_LINEUP
                            : action == SliderPageStepAdd   ? SB_PAGEDOWN
                            : action == SliderPageStepSub   ? SB_PAGEUP
                            : action == SliderToMinimum     ? SB_TOP
                                                            : SB_BOTTOM;
            Report(code, m_pos);
            return;
        }
        default:
            return;
        }
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        int pos = sliderPosition();
        Report(SB_THUMBPOSITION, pos);
        Report(SB_ENDSCROLL, pos);
    });
}

void ScrollBarWidget::Show(const ScrollInfo& info) {
    m_pos = info.pos;
    setRange(info.min, std::max(info.min, info.max - std::max(info.page - 1, 0)));
    setPageStep(std::max(info.page, 1));
    setValue(info.pos);
}

void ScrollBarWidget::Report(unsigned code, int pos) {
    if (!m_owner)
        return;
    HandlerScope running;
    static_cast<CScrollBar*>(m_owner)->ReportScroll(code, pos);
}

void ScrollBarWidget::wheelEvent(QWheelEvent* e) {
    e->accept();
    const int delta = m_wheel.Add(e->angleDelta().y());
    if (!m_owner || delta == 0)
        return;
    HandlerScope running;
    m_owner->OnMouseWheel(MouseKeyFlags(e->buttons(), e->modifiers()), delta,
                          ToPoint(e->globalPosition().toPoint()));
}

// ---------------------------------------------------------------------------------------------

QtWindowPeer::QtWindowPeer(QtPlatform& platform, CWnd& owner, QWidget* widget)
    : m_platform(platform), m_widget(widget), m_peer(dynamic_cast<PeerWidget*>(widget)) {
    m_peer->m_owner = &owner;
    m_peer->m_reportedSize = widget->size();
    m_platform.m_widgets[&owner] = widget;
}

QtWindowPeer::~QtWindowPeer() {
    m_platform.m_widgets.erase(m_peer->m_owner);
    m_peer->m_owner = nullptr;
    if (HandlerScope::Active()) {
        m_widget->hide();
        m_widget->deleteLater();
    } else {
        delete m_widget;
    }
}

void QtWindowPeer::Move(const Rect& rect, bool repaint) {
    SetGeometry(m_widget, rect);
    if (repaint)
        m_widget->update();
    // Qt reports sizes of hidden widgets only when they show; Win32 callers expect it now.
    m_peer->ReportSize(m_widget->size());
}

Rect QtWindowPeer::GetRect() const {
    QRect g = m_widget->geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Size QtWindowPeer::GetClientSize() const {
    return {m_widget->width(), m_widget->height()};
}

Point QtWindowPeer::ClientToScreen(Point p) const {
    return ToPoint(m_widget->mapToGlobal(QPoint(p.x, p.y)));
}

Point QtWindowPeer::ScreenToClient(Point p) const {
    return ToPoint(m_widget->mapFromGlobal(QPoint(p.x, p.y)));
}

void QtWindowPeer::Show(bool show) {
    m_widget->setVisible(show);
}
bool QtWindowPeer::IsVisible() const {
    return !m_widget->isHidden();
}
void QtWindowPeer::Enable(bool enable) {
    m_widget->setEnabled(enable);
}
bool QtWindowPeer::IsEnabled() const {
    return m_widget->isEnabled();
}

void QtWindowPeer::SetText(const std::string& text) {
    m_peer->m_text = text;
    ShowText(m_widget, text);
}

std::string QtWindowPeer::GetText() const {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
        return ToCp1252(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(m_widget); combo && combo->isEditable())
        return ToCp1252(combo->currentText());
    return m_peer->m_text;
}

void QtWindowPeer::SetValue(int value) {
    SetControlValue(m_widget, value);
}
int QtWindowPeer::GetValue() const {
    return ControlValue(m_widget);
}
void QtWindowPeer::SetItems(const std::vector<std::string>& items) {
    SetControlItems(m_widget, items);
}
void QtWindowPeer::SetRange(int min, int max) {
    if (auto* bar = qobject_cast<QProgressBar*>(m_widget))
        bar->setRange(min, max);
}

void QtWindowPeer::SetSelection(int start, int end) {
    auto* edit = qobject_cast<QLineEdit*>(m_widget);
    if (!edit)
        return;
    const int length = static_cast<int>(edit->text().size());
    const int from = std::clamp(start, 0, length);
    const int to = end < 0 ? length : std::clamp(end, from, length);
    edit->setSelection(from, to - from);
}

void QtWindowPeer::SetTextLimit(int limit) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
        edit->setMaxLength(limit > 0 ? limit : 32767);
}

void QtWindowPeer::PlaceAfter(IWindowPeer* sibling) {
    auto* other = static_cast<QtWindowPeer*>(sibling);
    if (!other) {
        m_widget->raise();
        return;
    }
    m_widget->stackUnder(other->m_widget);
    // Tab follows the same order. Qt links a widget only after one that takes the focus (a
    // placeholder does not), so the link is the nearest such widget before the sibling.
    QWidget* link = other->m_widget;
    const QWidget* window = m_widget->window();
    while (link != window && link->focusPolicy() == Qt::NoFocus)
        link = link->previousInFocusChain();
    if (link != window)
        QWidget::setTabOrder(link, m_widget);
}

void QtWindowPeer::Invalidate(const Rect* rect) {
    QRect r = rect ? QRect(rect->left, rect->top, rect->Width(), rect->Height()) : m_widget->rect();
    m_peer->m_pending += r;
    m_widget->update(r);
}

void QtWindowPeer::Update() {
    if (!m_peer->m_pending.isEmpty())
        m_widget->repaint(m_peer->m_pending);
}

void QtWindowPeer::SetTimer(unsigned id, unsigned milliseconds) {
    if (auto* window = dynamic_cast<WindowWidget*>(m_widget))
        window->SetTimer(id, milliseconds);
}

void QtWindowPeer::KillTimer(unsigned id) {
    if (auto* window = dynamic_cast<WindowWidget*>(m_widget))
        window->KillTimer(id);
}

void QtWindowPeer::SetCursor(int cursorId) {
    m_widget->setCursor(CursorShape(cursorId));
}

void QtWindowPeer::SetScrollInfo(const ScrollInfo& info) {
    if (auto* bar = dynamic_cast<ScrollBarWidget*>(m_widget))
        bar->Show(info);
}

} // namespace PlatformQt
