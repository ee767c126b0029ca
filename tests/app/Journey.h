// Test helper for journeys through the real browser windows on the offscreen Qt platform: the
// user's mouse and keys go through Qt's event system at the widgets' real positions, and the
// modal windows they open (dialogs, message boxes, menus, file choosers) are played as they
// appear. Window thread only.
#pragma once

#include "platform/Dialog.h"
#include "platform/qt/QtPlatform.h"
#include "table/TableCtrl.h"
#include "tests/support/qt/QtTestApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Journey {

// The window a user deals with now: an open menu, else the top modal window.
inline QWidget* TopWindow() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

using TestSupport::AwaitTrue;

// Plays the next window that opens above the present one with `user`, from inside its own
// loop. Destroyed before it opened, it reports the window that never came.
class CExpectWindow {
public:
    // `fits` picks the window among those that open meanwhile (a menu before its dialog).
    explicit CExpectWindow(std::function<void(QWidget&)> user, std::string what = "a window",
                           std::function<bool(QWidget&)> fits = {})
        : m_user(std::move(user)), m_what(std::move(what)), m_before(TopWindow()) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this, fits] {
            QWidget* top = TopWindow();
            if (!top || top == m_before || !top->isVisible() || (fits && !fits(*top)))
                return;
            m_timer.stop();
            m_opened = true;
            // Keys go to the window that is active, which it becomes a moment after it shows.
            EXPECT_TRUE(QTest::qWaitForWindowActive(top));
            m_user(*top);
        });
        m_timer.start();
    }
    ~CExpectWindow() {
        m_timer.stop();
        if (!m_opened)
            ADD_FAILURE() << m_what << " did not open";
    }
    CExpectWindow(const CExpectWindow&) = delete;
    CExpectWindow& operator=(const CExpectWindow&) = delete;

private:
    std::function<void(QWidget&)> m_user;
    std::string m_what;
    QPointer<QWidget> m_before;
    QTimer m_timer;
    bool m_opened = false;
};

template <class W> bool IsA(QWidget& window) {
    return qobject_cast<W*>(&window) != nullptr;
}

inline QPoint Centre(const QWidget& widget) {
    return widget.rect().center();
}

inline void Click(QWidget* widget, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, keys, Centre(*widget));
}

// The shown button with this text, its "&" marks left out.
inline QAbstractButton* FindButton(QWidget& window, const QString& text) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->text().remove(QLatin1Char('&')) == text && button->isVisible())
            return button;
    return nullptr;
}

// The menu item with this text, its "&" marks left out, clicked where it is shown.
inline void ChooseMenuItem(QWidget& menuWidget, const QString& text) {
    auto* menu = qobject_cast<QMenu*>(&menuWidget);
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
        if (action->text().remove(QLatin1Char('&')) != text)
            continue;
        ASSERT_TRUE(action->isEnabled()) << text.toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(action).center());
        return;
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
    menu->close();
}

// The texts of a menu's items, "-" for a separator and "~" before a disabled item.
inline std::string MenuTexts(QWidget& menuWidget) {
    std::string texts;
    auto* menu = qobject_cast<QMenu*>(&menuWidget);
    if (!menu)
        return "(not a menu)";
    for (QAction* action : menu->actions()) {
        if (!texts.empty())
            texts += ';';
        if (action->isSeparator())
            texts += '-';
        else
            texts += (action->isEnabled() ? "" : "~") +
                     action->text().remove(QLatin1Char('&')).toStdString();
    }
    return texts;
}

// The widgets that Tab visits from the focused one, until it comes round again.
inline std::vector<QWidget*> TabRound(QWidget& window) {
    std::vector<QWidget*> visited;
    QWidget* first = QApplication::focusWidget();
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        EXPECT_TRUE(now && window.isAncestorOf(now));
        if (now == first || !now)
            break;
        visited.push_back(now);
    }
    return visited;
}

// A button's text, else the widget's class, each followed by ";".
inline std::string Texts(const std::vector<QWidget*>& widgets) {
    std::string texts;
    for (QWidget* widget : widgets) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts += button->text().remove(QLatin1Char('&')).toStdString();
        else
            texts += widget->metaObject()->className();
        texts += ';';
    }
    return texts;
}

// A table control's parts as the user meets them.
class CTableUser {
public:
    CTableUser(PlatformQt::QtPlatform& platform, Tavex::CTableCtrl& table)
        : m_platform(platform), m_table(table) {}

    QWidget* Body() const { return m_platform.Widget(m_table.GetBody()); }
    QWidget* Header() const { return m_platform.Widget(m_table.GetHeader()); }

    // The middle of a cell, in the body's coordinates.
    QPoint CellPoint(int row, int column) const {
        const int position = m_table.GetColumnPosition(column);
        const int x = m_table.GetLeftEdge(position) - m_table.GetHorzPos() +
                      m_table.GetColumnWidth(column) / 2;
        return {x, m_table.RowToY(row) + m_table.GetRowHeight() / 2};
    }
    QPoint TitlePoint(int column) const {
        return {CellPoint(0, column).x(), Header()->height() / 2};
    }

    void ClickCell(int row, int column, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        m_table.EnsureVisible(row, column);
        QTest::mouseClick(Body(), Qt::LeftButton, keys, CellPoint(row, column));
    }
    void DoubleClickCell(int row, int column) {
        m_table.EnsureVisible(row, column);
        const QPoint at = CellPoint(row, column);
        QTest::mouseClick(Body(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(Body(), Qt::LeftButton, Qt::NoModifier, at);
    }
    // A right-click where the pointer is: the press, the release and the menu request that the
    // window system sends after it.
    void RightClick(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &menu);
    }
    void RightClickCell(int row, int column) { RightClick(Body(), CellPoint(row, column)); }
    void ClickTitle(int column, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QTest::mouseClick(Header(), Qt::LeftButton, keys, TitlePoint(column));
    }
    // Drags a column's title by `dx` pixels, in steps as a hand moves.
    void DragTitle(int column, int dx) {
        const QPoint from = TitlePoint(column);
        QTest::mousePress(Header(), Qt::LeftButton, Qt::NoModifier, from);
        for (int step = 1; step <= 8; ++step)
            QTest::mouseMove(Header(), from + QPoint(dx * step / 8, 0));
        QTest::mouseRelease(Header(), Qt::LeftButton, Qt::NoModifier, from + QPoint(dx, 0));
    }
    // A key with the focus in the table, where a click into it put it.
    void Key(Qt::Key key, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QWidget* control = m_platform.Widget(m_table);
        EXPECT_EQ(QApplication::focusWidget(), control);
        QTest::keyClick(control, key, keys);
    }

    std::string Text(int row, int column) { return m_table.GetCellText(row, column); }
    int Current() const { return m_table.GetCurrentCell().GetRow(); }

private:
    PlatformQt::QtPlatform& m_platform;
    Tavex::CTableCtrl& m_table;
};

// Opens `dialog` modally and plays `user` once its loop runs; closes it with "Close"
// afterwards if the user left it open.
inline int Play(PlatformQt::QtPlatform& platform, Platform::CDialog& dialog,
                const std::function<void(QWidget&)>& user, Platform::CWnd* owner = nullptr) {
    QTimer::singleShot(0, [&] {
        QWidget* window = platform.Widget(dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        user(*window);
        if (dialog.IsWindow())
            dialog.EndDialog(Platform::IDCANCEL);
    });
    return dialog.DoModal(platform, owner);
}

} // namespace Journey
