#include "platform/Controls.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;
using PlatformQt::QtPlatform;
using TestSupport::TestApp;

namespace {

class Parent : public CWnd {
public:
    void OnCommand(unsigned id, unsigned code, CWnd*) override { heard.push_back({id, int(code)}); }
    long OnNotify(NMHDR& hdr) override {
        heard.push_back({hdr.idFrom, hdr.code});
        return 0;
    }
    std::vector<std::pair<unsigned, int>> heard;
};

using H = std::pair<unsigned, int>;

} // namespace

TEST(QtControlsTest, ListsShowTheirItemsAndReportOnlyTheUser) {
    TestApp();
    QtPlatform platform;
    Parent parent;
    CControl speed, search, tabs, progress;
    parent.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
    speed.Create(parent, WindowKind::ComboBox, {0, 0, 100, 20}, WS_VISIBLE | CBS_DROPDOWNLIST, 1,
                 "");
    search.Create(parent, WindowKind::ComboBox, {0, 30, 100, 50}, WS_VISIBLE | CBS_DROPDOWN, 2, "");
    tabs.Create(parent, WindowKind::Tab, {0, 60, 400, 250}, WS_VISIBLE, 3, "");
    progress.Create(parent, WindowKind::Progress, {0, 260, 400, 280}, WS_VISIBLE, 4, "");

    speed.AddString("Modem");
    speed.AddString("DSL*2 \x80");
    speed.SetCurSel(1);
    tabs.InsertItem(0, "Player list");
    tabs.InsertItem(1, "Server list");
    tabs.SetCurSel(0);
    search.SetWindowText("Kyle");
    progress.SetRange(0, 10);
    progress.SetPos(4);
    EXPECT_TRUE(parent.heard.empty());

    auto* speedBox = qobject_cast<QComboBox*>(platform.Widget(speed));
    ASSERT_NE(speedBox, nullptr);
    EXPECT_FALSE(speedBox->isEditable());
    EXPECT_EQ(speedBox->itemText(1), QString::fromUtf8("DSL*2 \u20AC"));
    EXPECT_EQ(speedBox->currentIndex(), 1);
    auto* progressBar = qobject_cast<QProgressBar*>(platform.Widget(progress));
    ASSERT_NE(progressBar, nullptr);
    EXPECT_EQ(progressBar->value(), 4);
    EXPECT_EQ(progressBar->maximum(), 10);
    auto* tabBar = platform.Widget(tabs)->findChild<QTabBar*>();
    ASSERT_NE(tabBar, nullptr);
    EXPECT_EQ(tabBar->count(), 2);
    EXPECT_EQ(tabBar->tabText(1), "Server list");

    // What the user does is heard.
    speedBox->setCurrentIndex(0);
    speedBox->activated(0); // chosen in the list
    tabBar->setCurrentIndex(1);
    auto* searchBox = qobject_cast<QComboBox*>(platform.Widget(search));
    ASSERT_TRUE(searchBox->isEditable());
    EXPECT_EQ(search.GetWindowText(), "Kyle");
    searchBox->lineEdit()->textEdited("Kyl");
    EXPECT_EQ(
        parent.heard,
        (std::vector<H>{{1, int(CBN_SELCHANGE)},
                        {1, int(CBN_SELENDOK)},
                        {3, TCN_SELCHANGE},
                        {2, int(CBN_EDITCHANGE)}}));
    EXPECT_EQ(speed.GetCurSel(), 0);
    EXPECT_EQ(tabs.GetCurSel(), 1);
}

namespace {

void Mouse(QWidget* viewport, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(viewport, &e);
}

} // namespace

TEST(QtControlsTest, SimpleComboShowsItsListBelowTheLineAndReportsChoicesAndDoubleClicks) {
    TestApp();
    QtPlatform platform;
    Parent parent;
    CControl history;
    parent.CreateTopLevel(platform, {0, 0, 300, 300}, WS_VISIBLE);
    history.Create(parent, WindowKind::ComboBox, {10, 10, 160, 200},
                   WS_VISIBLE | WS_TABSTOP | CBS_SIMPLE | CBS_SORT, 7, "");
    QWidget* widget = platform.Widget(history);
    ASSERT_EQ(qobject_cast<QComboBox*>(widget), nullptr); // not a drop-down
    auto* line = widget->findChild<QLineEdit*>();
    auto* list = widget->findChild<QListWidget*>();
    ASSERT_TRUE(line && list);
    for (const char* s : {"kyle", "abe", "bob"})
        history.AddString(s);
    history.SetCurSel(1);
    QApplication::setActiveWindow(platform.Widget(parent));
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "abe");
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(history.GetWindowText(), "bob");
    EXPECT_LE(line->geometry().bottom(), list->geometry().top());
    EXPECT_EQ(list->geometry().bottom(), widget->height() - 1);
    EXPECT_TRUE(parent.heard.empty());

    // A removal keeps the selection on its item.
    history.DeleteString(0);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(history.GetCurSel(), 0);
    EXPECT_EQ(list->currentRow(), 0);

    // Press on "kyle", then a double-click on it: one choice, then the double-click.
    const QPoint onKyle = list->visualItemRect(list->item(1)).center();
    Mouse(list->viewport(), QEvent::MouseButtonPress, onKyle);
    Mouse(list->viewport(), QEvent::MouseButtonRelease, onKyle);
    EXPECT_EQ(history.GetWindowText(), "kyle");
    EXPECT_EQ(history.GetCurSel(), 1);
    Mouse(list->viewport(), QEvent::MouseButtonDblClick, onKyle);
    Mouse(list->viewport(), QEvent::MouseButtonRelease, onKyle);
    EXPECT_EQ(parent.heard, (std::vector<H>{{7, int(CBN_SELENDOK)},
                                            {7, int(CBN_SELCHANGE)},
                                            {7, int(CBN_DBLCLK)}}));
    EXPECT_EQ(platform.GetFocus(), &history);

    // Up walks the list into the line; Enter then chooses that item; typing is the line's.
    parent.heard.clear();
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(widget, &up);
    EXPECT_EQ(history.GetWindowText(), "bob");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(widget, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(widget, &x);
    EXPECT_EQ(history.GetWindowText(), "x"); // the chosen text was selected
    QKeyEvent enterAgain(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(widget, &enterAgain); // typed text: Enter is the dialog's
    EXPECT_EQ(parent.heard, (std::vector<H>{{7, int(CBN_SELCHANGE)},
                                            {7, int(CBN_SELENDOK)},
                                            {7, int(CBN_EDITCHANGE)}}));
    history.SetWindowText("Jan");
    EXPECT_EQ(line->text(), "Jan");
    EXPECT_EQ(history.GetWindowText(), "Jan");
    history.SetCurSel(-1);
    EXPECT_EQ(list->currentRow(), -1);
    // Removing the selected item, last or not, leaves nothing selected and the line empty.
    history.SetCurSel(1);
    EXPECT_EQ(history.DeleteString(1), 1);
    EXPECT_EQ(history.GetCurSel(), -1);
    EXPECT_EQ(line->text(), "");
    EXPECT_EQ(parent.heard.size(), 3u);
}

TEST(QtControlsTest, RadioButtonsAreExclusivePerGroupForTheUserAndSetOneByOneByTheProgram) {
    TestApp();
    QtPlatform platform;
    Parent parent;
    CControl box, a, b, c, d;
    parent.CreateTopLevel(platform, {0, 0, 300, 200}, WS_VISIBLE);
    box.Create(parent, WindowKind::CheckBox, {0, 0, 100, 15}, WS_VISIBLE, 1, "box");
    a.Create(parent, WindowKind::RadioButton, {0, 20, 100, 35}, WS_VISIBLE, 2, "a");
    b.Create(parent, WindowKind::RadioButton, {0, 40, 100, 55}, WS_VISIBLE, 3, "b");
    c.Create(parent, WindowKind::RadioButton, {0, 60, 100, 75}, WS_VISIBLE | WS_GROUP, 4, "c");
    d.Create(parent, WindowKind::RadioButton, {0, 80, 100, 95}, WS_VISIBLE, 5, "d");
    auto radio = [&](CControl& control) {
        return qobject_cast<QRadioButton*>(platform.Widget(control));
    };
    ASSERT_TRUE(radio(a) && radio(d));
    auto checks = [&] {
        return std::vector<int>{a.GetCheck(), b.GetCheck(), c.GetCheck(), d.GetCheck()};
    };

    radio(a)->click();
    radio(d)->click();
    radio(b)->click();
    EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(parent.heard, (std::vector<H>{{2, int(BN_CLICKED)}, {5, int(BN_CLICKED)},
                                            {3, int(BN_CLICKED)}}));

    // The program may uncheck the checked button, and checking one leaves the others.
    b.SetCheck(BST_UNCHECKED);
    a.SetCheck(BST_CHECKED);
    c.SetCheck(BST_CHECKED);
    EXPECT_EQ(checks(), (std::vector<int>{1, 0, 1, 1}));
    d.SetCheck(BST_UNCHECKED);
    radio(b)->click(); // the user's click is exclusive again
    EXPECT_EQ(checks(), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(parent.heard.size(), 4u);
}

namespace {

// An edit field that takes Enter and Tab for itself, as an in-place editor does.
class Editor : public CControl {
public:
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override {
        log.push_back("key " + std::to_string(vk));
        if (vk == VK_RETURN) {
            DestroyWindow(); // ends the edit from inside the key handler
            return;
        }
        if (vk != VK_TAB)
            CControl::OnKeyDown(vk, repeat, flags);
    }
    unsigned OnGetDlgCode() override { return DLGC_WANTALLKEYS; }
    void OnSetFocus(CWnd*) override { log.push_back("setfocus"); }
    void OnKillFocus(CWnd*) override { log.push_back("killfocus"); }
    std::vector<std::string> log;
};

class KeyParent : public CWnd {
public:
    void OnKeyDown(unsigned vk, unsigned, unsigned) override { keys.push_back(vk); }
    std::vector<unsigned> keys;
};

void Press(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &e);
}

} // namespace

TEST(QtControlsTest, KeysReachTheControlsHandlerBeforeItsOwnHandling) {
    TestApp();
    QtPlatform platform;
    KeyParent top;
    Editor editor;
    CControl plain;
    top.CreateTopLevel(platform, {0, 0, 300, 200}, WS_VISIBLE);
    editor.Create(top, WindowKind::Edit, {0, 0, 100, 20}, WS_VISIBLE, 1, "");
    plain.Create(top, WindowKind::Edit, {0, 30, 100, 50}, WS_VISIBLE | WS_TABSTOP, 2, "");
    QApplication::setActiveWindow(platform.Widget(top));
    auto* field = qobject_cast<QLineEdit*>(platform.Widget(editor));
    ASSERT_NE(field, nullptr);

    editor.SetFocus();
    Press(field, Qt::Key_A, "a");    // passed on: typed
    Press(field, Qt::Key_Tab, "\t"); // taken: no focus move, nothing typed
    Press(field, Qt::Key_Escape);    // passed on, but an editor keeps it from the dialog
    EXPECT_EQ(editor.GetWindowText(), "a");
    EXPECT_EQ(platform.GetFocus(), &editor);
    plain.SetFocus();
    editor.SetFocus();
    Press(field, Qt::Key_Return, "\r"); // taken, and the editor closes itself meanwhile
    EXPECT_FALSE(editor.IsWindow());
    EXPECT_EQ(editor.log, (std::vector<std::string>{"setfocus", "key 65", "key 9", "key 27",
                                                    "killfocus", "setfocus", "key 13"}));

    // A plain field leaves Enter and Escape to its dialog.
    Press(platform.Widget(plain), Qt::Key_Escape);
    Press(platform.Widget(plain), Qt::Key_Return, "\r");
    EXPECT_EQ(top.keys, (std::vector<unsigned>{VK_ESCAPE, VK_RETURN}));
    TestSupport::ProcessEventsFor(10);
}
