#include "platform/Dialog.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;
using TestSupport::FakePlatform;

namespace {

constexpr unsigned kName = 10, kEnabled = 11, kList = 12, kApply = 20;

DialogTemplate OptionsTemplate(DialogItem::Kind okKind = DialogItem::Kind::DefPushButton) {
    using K = DialogItem::Kind;
    return {"Options",
            {},
            {200, 100},
            {{K::Static, 0, "&Name:", {5, 5, 40, 15}},
             {K::Edit, kName, "", {45, 5, 195, 17}, WS_VISIBLE | WS_TABSTOP},
             {K::CheckBox, kEnabled, "Enabled", {5, 20, 100, 30}, WS_VISIBLE | WS_TABSTOP},
             {K::Placeholder, kList, "", {5, 35, 195, 75}},
             {okKind, IDOK, "OK", {90, 80, 140, 94}, WS_VISIBLE | WS_TABSTOP},
             {K::PushButton, IDCANCEL, "Cancel", {145, 80, 195, 94}, WS_VISIBLE | WS_TABSTOP}}};
}

class Options : public CDialog {
public:
    explicit Options(DialogTemplate t = OptionsTemplate()) : CDialog(std::move(t)) {}
    bool OnInitDialog() override {
        SetDlgItemText(kName, "Padawan");
        CheckDlgButton(kEnabled, BST_CHECKED);
        return true;
    }
    void OnOK() override {
        name = GetDlgItemText(kName);
        enabled = IsDlgButtonChecked(kEnabled) == BST_CHECKED;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
    void OnCommand(unsigned id, unsigned code, CWnd* from) override {
        commands.push_back({id, code});
        CDialog::OnCommand(id, code, from);
    }
    std::string name;
    bool enabled = false;
    int cancels = 0;
    std::vector<std::pair<unsigned, unsigned>> commands;
};

} // namespace

TEST(DialogTest, ControlsArePlacedInDialogUnitsAndReachedById) {
    FakePlatform platform;
    CWnd owner;
    owner.CreateTopLevel(platform, {100, 100, 700, 500}, WS_VISIBLE);
    Options dialog;
    platform.onModal = [&](CWnd& wnd) {
        ASSERT_EQ(&wnd, &dialog);
        EXPECT_EQ(dialog.GetBaseUnits(), (Size{7, 13})); // 7 px letters, 13 px text
        // 200 x 100 units = 350 x 163 px, centred over the owner.
        EXPECT_EQ(dialog.GetWindowRect(), (Rect{225, 218, 575, 381}));
        EXPECT_EQ(dialog.GetWindowText(), "Options");
        EXPECT_TRUE(platform.Window(dialog).visible);
        CWnd* edit = dialog.GetDlgItem(kName);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(platform.Window(*edit).rect, (Rect{79, 8, 341, 28}));
        EXPECT_EQ(platform.Window(*edit).kind, WindowKind::Edit);
        EXPECT_EQ(platform.Window(*dialog.GetDlgItem(kList)).kind, WindowKind::Plain);
        EXPECT_EQ(platform.GetFocus(), edit); // the first tab stop
        EXPECT_EQ(dialog.GetDlgItemText(kName), "Padawan");
        EXPECT_EQ(dialog.IsDlgButtonChecked(kEnabled), BST_CHECKED);
        EXPECT_EQ(dialog.IsDlgButtonChecked(kName), BST_UNCHECKED); // not a check box

        platform.TypeText(*edit, "Jedi \xC4");
        platform.ClickButton(*dialog.GetDlgItem(kEnabled));
        platform.KeyDown(VK_RETURN); // in the edit field: the default button's command
    };
    EXPECT_EQ(dialog.DoModal(platform, &owner), IDOK);
    EXPECT_EQ(dialog.name, "Jedi \xC4");
    EXPECT_FALSE(dialog.enabled);
    using C = std::pair<unsigned, unsigned>;
    EXPECT_EQ(dialog.commands,
              (std::vector<C>{{kName, EN_CHANGE}, {kEnabled, BN_CLICKED}, {IDOK, BN_CLICKED}}));
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(dialog.GetDlgItem(kName), nullptr);
}

TEST(DialogTest, EscapeCloseAndLostWindowsCancel) {
    FakePlatform platform;
    {
        Options dialog;
        platform.onModal = [&](CWnd&) { platform.KeyDown(VK_ESCAPE); };
        EXPECT_EQ(dialog.DoModal(platform, nullptr), IDCANCEL);
        EXPECT_EQ(dialog.cancels, 1);
        EXPECT_TRUE(dialog.name.empty()); // OnOK never ran
    }
    {
        Options dialog;
        platform.onModal = [&](CWnd& wnd) { wnd.OnClose(); };
        EXPECT_EQ(dialog.DoModal(platform, nullptr), IDCANCEL);
        EXPECT_EQ(dialog.cancels, 1);
    }
    {
        Options dialog;
        platform.onModal = [&](CWnd& wnd) { wnd.DestroyWindow(); };
        EXPECT_EQ(dialog.DoModal(platform, nullptr), IDCANCEL);
    }
    {
        // Ended twice: the first result stands. Afterwards the dialog can run again.
        Options dialog;
        platform.onModal = [&](CWnd&) {
            dialog.EndDialog(7);
            dialog.EndDialog(IDOK);
        };
        EXPECT_EQ(dialog.DoModal(platform, nullptr), 7);
        platform.onModal = nullptr;
        EXPECT_EQ(dialog.DoModal(platform, nullptr), IDCANCEL);
    }
}

TEST(DialogTest, EnterGoesToTheDefaultButtonOrOk) {
    FakePlatform platform;
    DialogTemplate t = OptionsTemplate(DialogItem::Kind::PushButton);
    t.items.push_back({DialogItem::Kind::DefPushButton, kApply, "Apply", {5, 80, 55, 94}});
    Options dialog(t);
    platform.onModal = [&](CWnd&) {
        platform.KeyDown(VK_RETURN); // "Apply" is the default: nothing ends
        dialog.GetDlgItem(kApply)->EnableWindow(false);
        platform.KeyDown(VK_RETURN); // a disabled default gives way to IDOK
    };
    EXPECT_EQ(dialog.DoModal(platform, nullptr), IDOK);
    using C = std::pair<unsigned, unsigned>;
    EXPECT_EQ(dialog.commands, (std::vector<C>{{kApply, BN_CLICKED}, {IDOK, BN_CLICKED}}));
}

TEST(DialogTest, CheckRadioButtonSetsTheButtonsFromFirstToLastInWindowOrder) {
    using K = DialogItem::Kind;
    constexpr unsigned kNothing = 1016, kFavorites = 1042, kMaster = 1004, kOther = 1043;
    class Startup : public CDialog {
    public:
        Startup()
            : CDialog({"Start",
                       {},
                       {100, 80},
                       {{K::RadioButton, kNothing, "nothing", {5, 5, 90, 15}},
                        {K::RadioButton, kFavorites, "favorites", {5, 20, 90, 30}},
                        {K::RadioButton, kMaster, "master", {5, 35, 90, 45}},
                        {K::RadioButton, kOther, "other", {5, 50, 90, 60}, WS_GROUP}}}) {}
    } dialog;
    FakePlatform platform;
    std::vector<std::vector<int>> seen;
    auto checks = [&] {
        std::vector<int> states;
        for (unsigned id : {kNothing, kFavorites, kMaster, kOther})
            states.push_back(dialog.IsDlgButtonChecked(id));
        seen.push_back(states);
    };
    platform.onModal = [&](CWnd&) {
        dialog.CheckDlgButton(kOther, BST_CHECKED);
        dialog.CheckRadioButton(kNothing, kMaster, kMaster);
        checks();
        dialog.CheckRadioButton(kNothing, kMaster, kFavorites);
        checks();
        dialog.CheckRadioButton(kNothing, kMaster, kOther); // outside: none of them
        checks();
        dialog.CheckRadioButton(kMaster, kNothing, kNothing); // last before first: nothing
        checks();
        platform.ClickButton(*dialog.GetDlgItem(kNothing));
        checks();
    };
    dialog.DoModal(platform, nullptr);
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{
                        {0, 0, 1, 1}, {0, 1, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {1, 0, 0, 1}}));
}
