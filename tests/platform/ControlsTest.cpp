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

TEST(ControlsTest, ItemsKeepTheirDataThroughSortingAndSingleRemovals) {
    ListDialog d;
    for (const char* s : {"kyle", "bastila", "jan"})
        d.search.SetItemData(d.search.AddString(s), s[0]);
    d.search.SetItemData(d.search.AddString("mara"), 7);
    EXPECT_EQ(d.search.GetLBText(1), "jan");
    EXPECT_EQ(d.search.GetItemData(0), 'b');
    EXPECT_EQ(d.search.GetItemData(1), 'j');
    EXPECT_EQ(d.search.GetItemData(2), 'k');
    EXPECT_EQ(d.search.GetItemData(3), 7);
    d.search.AddString("aayla"); // a new item has no data of its own
    EXPECT_EQ(d.search.GetItemData(0), 0);
    EXPECT_EQ(d.search.GetItemData(5), CB_ERR);
    EXPECT_EQ(d.search.GetItemData(-1), CB_ERR);
    EXPECT_EQ(d.search.SetItemData(5, 1), CB_ERR);

    // Removing one item keeps the others, their data and the selected item.
    d.search.SetCurSel(3); // "kyle"
    EXPECT_EQ(d.search.DeleteString(1), 4);
    EXPECT_EQ(d.platform.Window(d.search).items,
              (std::vector<std::string>{"aayla", "jan", "kyle", "mara"}));
    EXPECT_EQ(d.search.GetCurSel(), 2);
    EXPECT_EQ(d.search.GetItemData(2), 'k');
    EXPECT_EQ(d.search.DeleteString(2), 3); // the selected one: nothing stays selected
    EXPECT_EQ(d.search.GetCurSel(), -1);
    EXPECT_EQ(d.search.GetItemData(2), 7);
    EXPECT_EQ(d.search.DeleteString(3), CB_ERR);
    EXPECT_EQ(d.search.DeleteString(-1), CB_ERR);
    EXPECT_EQ(d.search.GetCount(), 3);
    d.search.ResetContent();
    d.search.AddString("x");
    EXPECT_EQ(d.search.GetItemData(0), 0);
}

TEST(ControlsTest, ChoosingAndDoubleClickingNotifyAsTheWindowSystemDoes) {
    ListDialog d;
    for (const char* s : {"abe", "bob"})
        d.search.AddString(s);
    d.speed.AddString("Modem");
    d.speed.AddString("DSL");
    using H = std::pair<unsigned, int>;
    const unsigned s = ListDialog::kSearch;

    d.platform.ChooseItem(d.search, 1);
    EXPECT_EQ(d.search.GetWindowText(), "bob");
    d.platform.ChooseItem(d.search, 1);          // the same item again: no change to report
    d.platform.DoubleClickItem(d.search, 1);     // the first click chose it already
    d.platform.DoubleClickItem(d.search, 0);     // the second click lands on another item
    d.platform.DoubleClickItem(d.speed, 0);      // a drop-down list has no list to click twice
    d.platform.ChooseItem(d.speed, 1);
    d.platform.ChooseItem(d.search, 2);          // no such item
    EXPECT_EQ(d.heard, (std::vector<H>{{s, int(CBN_SELENDOK)},
                                       {s, int(CBN_SELCHANGE)},
                                       {s, int(CBN_SELENDOK)},
                                       {s, int(CBN_DBLCLK)},
                                       {s, int(CBN_SELENDOK)},
                                       {s, int(CBN_SELCHANGE)},
                                       {s, int(CBN_DBLCLK)},
                                       {ListDialog::kSpeed, int(CBN_SELENDOK)},
                                       {ListDialog::kSpeed, int(CBN_SELCHANGE)}}));
    EXPECT_EQ(d.search.GetCurSel(), 0);
}

namespace {

// Radio buttons in three groups: a run after a check box, a run cut by WS_GROUP, and a run
// after a label.
struct RadioDialog {
    FakePlatform platform;
    CWnd parent;
    CControl box, a, b, c, d, label, e;
    RadioDialog() {
        parent.CreateTopLevel(platform, {0, 0, 300, 200}, WS_VISIBLE);
        box.Create(parent, WindowKind::CheckBox, {0, 0, 100, 10}, 0, 1, "box");
        a.Create(parent, WindowKind::RadioButton, {0, 10, 100, 20}, 0, 2, "a");
        b.Create(parent, WindowKind::RadioButton, {0, 20, 100, 30}, 0, 3, "b");
        c.Create(parent, WindowKind::RadioButton, {0, 30, 100, 40}, WS_GROUP, 4, "c");
        d.Create(parent, WindowKind::RadioButton, {0, 40, 100, 50}, 0, 5, "d");
        label.Create(parent, WindowKind::Static, {0, 50, 100, 60}, 0, 6, "label");
        e.Create(parent, WindowKind::RadioButton, {0, 60, 100, 70}, 0, 7, "e");
    }
    std::vector<int> Checks() {
        return {a.GetCheck(), b.GetCheck(), c.GetCheck(), d.GetCheck(), e.GetCheck()};
    }
};

} // namespace

TEST(ControlsTest, RadioButtonsFormGroupsAndAClickChecksOnlyWithinItsOwn) {
    RadioDialog r;
    EXPECT_EQ(r.a.GetRadioGroup(), (std::vector<CControl*>{&r.a, &r.b}));
    EXPECT_EQ(r.b.GetRadioGroup(), (std::vector<CControl*>{&r.a, &r.b}));
    EXPECT_EQ(r.d.GetRadioGroup(), (std::vector<CControl*>{&r.c, &r.d}));
    EXPECT_EQ(r.e.GetRadioGroup(), (std::vector<CControl*>{&r.e}));
    EXPECT_TRUE(r.box.GetRadioGroup().empty());
    EXPECT_TRUE(r.a.GetStyle() & WS_GROUP); // the first after another control starts a group
    EXPECT_FALSE(r.b.GetStyle() & WS_GROUP);

    r.platform.ClickButton(r.a);
    r.platform.ClickButton(r.d);
    r.platform.ClickButton(r.e);
    EXPECT_EQ(r.Checks(), (std::vector<int>{1, 0, 0, 1, 1}));
    r.platform.ClickButton(r.b);
    r.platform.ClickButton(r.b); // a checked radio button stays checked
    r.platform.ClickButton(r.c);
    EXPECT_EQ(r.Checks(), (std::vector<int>{0, 1, 1, 0, 1}));

    // The program sets one button alone; CheckInGroup clears the rest of its group.
    r.a.SetCheck(BST_CHECKED);
    EXPECT_EQ(r.Checks(), (std::vector<int>{1, 1, 1, 0, 1}));
    r.d.CheckInGroup();
    EXPECT_EQ(r.Checks(), (std::vector<int>{1, 1, 0, 1, 1}));
    EXPECT_EQ(r.box.GetCheck(), BST_UNCHECKED);
}
