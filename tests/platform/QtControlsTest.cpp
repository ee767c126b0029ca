#include "platform/Controls.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
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
    speedBox->activated(0); // not a change by itself
    speedBox->setCurrentIndex(0);
    tabBar->setCurrentIndex(1);
    auto* searchBox = qobject_cast<QComboBox*>(platform.Widget(search));
    ASSERT_TRUE(searchBox->isEditable());
    EXPECT_EQ(search.GetWindowText(), "Kyle");
    searchBox->lineEdit()->textEdited("Kyl");
    EXPECT_EQ(
        parent.heard,
        (std::vector<H>{{1, int(CBN_SELCHANGE)}, {3, TCN_SELCHANGE}, {2, int(CBN_EDITCHANGE)}}));
    EXPECT_EQ(speed.GetCurSel(), 0);
    EXPECT_EQ(tabs.GetCurSel(), 1);
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
