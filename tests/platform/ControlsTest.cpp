#include "platform/Controls.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;
using TestSupport::FakePlatform;

namespace {

struct ListDialog {
    static constexpr unsigned kSpeed = 30, kSearch = 31, kTabs = 32, kProgress = 33;
    FakePlatform platform;
    CWnd top;
    CControl speed, search, tabs, progress;
    std::vector<std::pair<unsigned, int>> heard;

    class Parent : public CWnd {
    public:
        explicit Parent(ListDialog& d) : m_d(d) {}
        void OnCommand(unsigned id, unsigned code, CWnd*) override {
            m_d.heard.push_back({id, int(code)});
        }
        long OnNotify(NMHDR& hdr) override {
            m_d.heard.push_back({hdr.idFrom, hdr.code});
            return 0;
        }

    private:
        ListDialog& m_d;
    } parent{*this};

    ListDialog() {
        parent.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
        speed.Create(parent, WindowKind::ComboBox, {0, 0, 100, 20}, CBS_DROPDOWNLIST, kSpeed, "");
        search.Create(parent, WindowKind::ComboBox, {0, 30, 100, 50}, CBS_SIMPLE | CBS_SORT,
                      kSearch, "");
        tabs.Create(parent, WindowKind::Tab, {0, 60, 400, 300}, 0, kTabs, "");
        progress.Create(parent, WindowKind::Progress, {0, 280, 400, 300}, 0, kProgress, "");
    }
};

} // namespace

TEST(ControlsTest, ListsKeepOrderSelectionAndSearch) {
    ListDialog d;
    for (const char* s : {"Modem", "ISDN", "DSL"})
        d.speed.AddString(s);
    EXPECT_EQ(d.platform.Window(d.speed).items, (std::vector<std::string>{"Modem", "ISDN", "DSL"}));
    EXPECT_EQ(d.speed.GetCurSel(), CB_ERR); // nothing chosen yet
    EXPECT_EQ(d.speed.SetCurSel(2), 2);
    EXPECT_EQ(d.speed.SetCurSel(3), CB_ERR);
    EXPECT_EQ(d.speed.GetCurSel(), 2);
    d.speed.InsertItem(0, "LAN"); // the selection stays on "DSL"
    EXPECT_EQ(d.speed.GetCurSel(), 3);
    EXPECT_EQ(d.speed.GetLBText(3), "DSL");
    EXPECT_EQ(d.speed.GetLBText(9), "");

    // A sorted list places texts case-insensitively; equal texts go after their twins.
    EXPECT_EQ(d.search.AddString("kyle"), 0);
    EXPECT_EQ(d.search.AddString("Bastila"), 0);
    EXPECT_EQ(d.search.AddString("Kyle"), 2);
    EXPECT_EQ(d.search.AddString("\xC4rger"), 0); // A umlaut sorts with A
    EXPECT_EQ(d.search.GetLBText(1), "Bastila");
    EXPECT_EQ(d.search.FindString(-1, "KY"), 2);
    EXPECT_EQ(d.search.FindString(2, "ky"), 3);
    EXPECT_EQ(d.search.FindString(3, "ky"), 2); // wraps round
    EXPECT_EQ(d.search.FindString(-1, "z"), CB_ERR);
    d.search.ResetContent();
    EXPECT_EQ(d.search.GetCount(), 0);
    EXPECT_EQ(d.search.FindString(-1, ""), CB_ERR);
}

TEST(ControlsTest, UserChoicesNotifyAndProgramChangesDoNot) {
    ListDialog d;
    d.speed.AddString("Modem");
    d.speed.AddString("DSL");
    d.search.AddString("Kyle");
    d.tabs.InsertItem(0, "Player list");
    d.tabs.InsertItem(1, "Server list");
    d.tabs.SetCurSel(0);
    d.speed.SetCurSel(0);
    EXPECT_TRUE(d.heard.empty());

    d.platform.SelectItem(d.speed, 1);
    d.platform.SelectItem(d.tabs, 1);
    d.platform.SelectItem(d.search, 0);
    d.platform.TypeText(d.search, "Ky");
    d.platform.TypeText(d.speed, "no edit field"); // a drop-down list has none
    d.platform.SelectItem(d.speed, 5);             // no such item
    using H = std::pair<unsigned, int>;
    EXPECT_EQ(d.heard, (std::vector<H>{{ListDialog::kSpeed, int(CBN_SELCHANGE)},
                                       {ListDialog::kTabs, TCN_SELCHANGE},
                                       {ListDialog::kSearch, int(CBN_SELCHANGE)},
                                       {ListDialog::kSearch, int(CBN_EDITCHANGE)}}));
    EXPECT_EQ(d.speed.GetCurSel(), 1);
    EXPECT_EQ(d.tabs.GetCurSel(), 1);
    EXPECT_EQ(d.search.GetWindowText(), "Ky");

    // Progress: range 0..7 moving in steps of two stops at the end.
    d.progress.SetRange(0, 7);
    EXPECT_EQ(d.progress.DeltaPos(2), 0);
    d.progress.DeltaPos(2);
    d.progress.DeltaPos(2);
    d.progress.DeltaPos(2);
    EXPECT_EQ(d.progress.GetPos(), 7);
    EXPECT_EQ(d.platform.Window(d.progress).value, 7);
    EXPECT_EQ(d.platform.Window(d.progress).rangeMax, 7);
    d.progress.SetRange(0, 3); // a smaller range pulls the position in
    EXPECT_EQ(d.progress.GetPos(), 3);
    EXPECT_EQ(d.progress.SetPos(-4), 3);
    EXPECT_EQ(d.progress.GetPos(), 0);
}
