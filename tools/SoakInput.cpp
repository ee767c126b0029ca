#include "tools/SoakInput.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include <array>
#include <vector>

namespace {

// What a keyboard types: letters, digits, and the characters with and without Shift.
constexpr std::string_view kPlainChars = "abcdefghijklmnopqrstuvwxyz0123456789-=[]\\;',./` ";
constexpr std::string_view kShiftedChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*()_+{}|:\"<>?~";

struct CNamedKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

constexpr std::array<CNamedKey, 27> kKeys = {{
    {Qt::Key_Up, Qt::NoModifier, "Up"},
    {Qt::Key_Down, Qt::NoModifier, "Down"},
    {Qt::Key_Left, Qt::NoModifier, "Left"},
    {Qt::Key_Right, Qt::NoModifier, "Right"},
    {Qt::Key_PageUp, Qt::NoModifier, "PageUp"},
    {Qt::Key_PageDown, Qt::NoModifier, "PageDown"},
    {Qt::Key_Home, Qt::NoModifier, "Home"},
    {Qt::Key_End, Qt::NoModifier, "End"},
    {Qt::Key_Up, Qt::ShiftModifier, "Shift+Up"},
    {Qt::Key_Down, Qt::ShiftModifier, "Shift+Down"},
    {Qt::Key_End, Qt::ShiftModifier, "Shift+End"},
    {Qt::Key_Down, Qt::ControlModifier, "Ctrl+Down"},
    {Qt::Key_Tab, Qt::NoModifier, "Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_Return, Qt::NoModifier, "Enter"},
    {Qt::Key_Enter, Qt::KeypadModifier, "Keypad Enter"},
    {Qt::Key_Escape, Qt::NoModifier, "Escape"},
    {Qt::Key_Delete, Qt::NoModifier, "Delete"},
    {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    {Qt::Key_Insert, Qt::NoModifier, "Insert"},
    {Qt::Key_Space, Qt::NoModifier, "Space"},
    {Qt::Key_F2, Qt::NoModifier, "F2"},
    {Qt::Key_F4, Qt::NoModifier, "F4"},
    {Qt::Key_Asterisk, Qt::KeypadModifier, "Keypad *"},
    {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
    {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
}};

std::string Describe(const char* what, const QWidget& widget, QPoint at) {
    return std::string(what) + " on " + widget.metaObject()->className() + " at " +
           std::to_string(at.x()) + "," + std::to_string(at.y());
}

} // namespace

QWidget* CSoakInput::TopWindow(QWidget* main) {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return main;
}

QWidget* CSoakInput::PickWidget(QWidget& window) {
    std::vector<QWidget*> shown{&window};
    for (QWidget* child : window.findChildren<QWidget*>())
        if (child->isVisible() && child->width() > 0 && child->height() > 0 && !child->isWindow())
            shown.push_back(child);
    return shown[static_cast<std::size_t>(Pick(static_cast<int>(shown.size())))];
}

QPoint CSoakInput::PickPoint(const QWidget& widget) {
    // Menus are mostly hit on their items, the rest anywhere inside.
    if (auto* menu = qobject_cast<const QMenu*>(&widget); menu && Chance(80)) {
        const QList<QAction*> actions = menu->actions();
        if (!actions.isEmpty())
            return menu->actionGeometry(actions[Pick(static_cast<int>(actions.size()))]).center();
    }
    return {Pick(widget.width()), Pick(widget.height())};
}

Qt::KeyboardModifiers CSoakInput::PickModifiers() {
    switch (Pick(10)) {
    case 0:
        return Qt::ShiftModifier;
    case 1:
        return Qt::ControlModifier;
    default:
        return Qt::NoModifier;
    }
}

std::string CSoakInput::Send(QWidget* main) {
    QWidget* window = TopWindow(main);
    if (!window || !window->isVisible())
        return "nothing on top";
    return Chance(60) ? SendMouse(*window) : SendKey(*window);
}

// Press and release apart, as a hand does: the press may close the widget it hit.
static void Click(QPointer<QWidget> widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                  QPoint at) {
    QTest::mousePress(widget, button, modifiers, at);
    if (widget)
        QTest::mouseRelease(widget, button, modifiers, at);
}

std::string CSoakInput::SendMouse(QWidget& window) {
    // Mostly a point anywhere in the window, so big widgets such as the tables get most of
    // the clicks as they would from a hand; else any widget, however small.
    QWidget* widget = &window;
    QPoint at;
    if (!qobject_cast<QMenu*>(&window) && Chance(70)) {
        const QPoint inWindow(Pick(window.width()), Pick(window.height()));
        if (QWidget* child = window.childAt(inWindow))
            widget = child;
        at = widget->mapFrom(&window, inWindow);
    } else {
        widget = PickWidget(window);
        at = PickPoint(*widget);
    }
    const Qt::KeyboardModifiers modifiers = PickModifiers();
    QPointer<QWidget> target = widget;
    const int kind = Pick(20);
    static constexpr const char* kNames[] = {
        "move",        "move", "move", "double-click", "double-click", "right-click",
        "right-click", "drag", "drag", "wheel",        "wheel"};
    const std::string what = Describe(kind < 11 ? kNames[kind] : "click", *widget, at);
    switch (kind) {
    case 0:
    case 1:
    case 2: {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         modifiers);
        QApplication::sendEvent(widget, &move);
        break;
    }
    case 3:
    case 4:
        Click(target, Qt::LeftButton, modifiers, at);
        if (target)
            QTest::mouseDClick(target, Qt::LeftButton, modifiers, at);
        if (target)
            QTest::mouseRelease(target, Qt::LeftButton, modifiers, at);
        break;
    case 5:
    case 6:
        Click(target, Qt::RightButton, modifiers, at);
        if (target) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, target->mapToGlobal(at),
                                   modifiers);
            QApplication::sendEvent(target, &menu);
        }
        break;
    case 7:
    case 8: {
        const QPoint to = PickPoint(*widget);
        QTest::mousePress(target, Qt::LeftButton, modifiers, at);
        for (int step = 1; step <= 4 && target; ++step)
            QTest::mouseMove(target, at + (to - at) * step / 4);
        if (target)
            QTest::mouseRelease(target, Qt::LeftButton, modifiers, to);
        break;
    }
    case 9:
    case 10: {
        const int notches = Pick(7) - 3;
        QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
        break;
    }
    default:
        Click(target, Qt::LeftButton, modifiers, at);
        break;
    }
    return what;
}

template <class K>
static void KeyClick(QPointer<QWidget> widget, K key, Qt::KeyboardModifiers modifiers) {
    QTest::keyPress(widget, key, modifiers);
    if (widget)
        QTest::keyRelease(widget, key, modifiers);
}

std::string CSoakInput::SendKey(QWidget& window) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus && (focus == &window || window.isAncestorOf(focus)) ? focus : &window;
    if (Chance(55)) {
        const bool shifted = Chance(35);
        const std::string_view chars = shifted ? kShiftedChars : kPlainChars;
        const char c = chars[static_cast<std::size_t>(Pick(static_cast<int>(chars.size())))];
        const std::string what =
            std::string("key '") + c + "' to " + target->metaObject()->className();
        KeyClick(target, c, shifted ? Qt::ShiftModifier : Qt::NoModifier);
        return what;
    }
    const CNamedKey& key = kKeys[static_cast<std::size_t>(Pick(static_cast<int>(kKeys.size())))];
    const std::string what =
        std::string("key ") + key.name + " to " + target->metaObject()->className();
    KeyClick(target, key.key, key.modifiers);
    return what;
}
