#include "platform/Controls.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabBar>

#include <gtest/gtest.h>

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
