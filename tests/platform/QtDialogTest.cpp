#include "platform/Dialog.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace Platform;
using PlatformQt::QtPlatform;
using TestSupport::TestApp;

namespace {

constexpr unsigned kLabel = 9, kName = 10, kEnabled = 11;

class Login : public CDialog {
public:
    Login()
        : CDialog({"Login",
                   {},
                   {160, 60},
                   {{DialogItem::Kind::Static, kLabel, "&Name:", {5, 5, 40, 15}},
                    {DialogItem::Kind::Edit, kName, "", {45, 5, 155, 17}, WS_VISIBLE | WS_TABSTOP},
                    {DialogItem::Kind::CheckBox,
                     kEnabled,
                     "&Remember",
                     {5, 22, 100, 32},
                     WS_VISIBLE | WS_TABSTOP},
                    {DialogItem::Kind::DefPushButton,
                     IDOK,
                     "OK",
                     {50, 40, 100, 54},
                     WS_VISIBLE | WS_TABSTOP},
                    {DialogItem::Kind::PushButton,
                     IDCANCEL,
                     "Cancel",
                     {105, 40, 155, 54},
                     WS_VISIBLE | WS_TABSTOP}}}) {}

    bool OnInitDialog() override {
        SetDlgItemText(kName, "Padawan");
        return true;
    }
    void OnOK() override {
        name = GetDlgItemText(kName);
        remember = IsDlgButtonChecked(kEnabled) == BST_CHECKED;
        CDialog::OnOK();
    }
    void OnCommand(unsigned id, unsigned code, CWnd* from) override {
        commands.push_back({id, code});
        CDialog::OnCommand(id, code, from);
    }

    std::string name;
    bool remember = false;
    std::vector<std::pair<unsigned, unsigned>> commands;
};

// Plays the user once the dialog's loop runs.
void Later(std::function<void()> user) {
    QTimer::singleShot(0, std::move(user));
}

template <class W> W* Control(QtPlatform& platform, CDialog& dialog, unsigned id) {
    return qobject_cast<W*>(platform.Widget(*dialog.GetDlgItem(id)));
}

} // namespace

TEST(QtDialogTest, UserTypesChecksAndConfirms) {
    TestApp();
    QtPlatform platform;
    Login dialog;
    Later([&] {
        auto* edit = Control<QLineEdit>(platform, dialog, kName);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(Control<QLabel>(platform, dialog, kLabel)->text(), "Name:");
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xE4)));
        QApplication::sendEvent(edit, &key);
        Control<QCheckBox>(platform, dialog, kEnabled)->click();
        Control<QPushButton>(platform, dialog, IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(platform, nullptr), IDOK);
    EXPECT_EQ(dialog.name, "Padawan\xE4");
    EXPECT_TRUE(dialog.remember);
    using C = std::pair<unsigned, unsigned>;
    EXPECT_EQ(dialog.commands,
              (std::vector<C>{{kName, EN_CHANGE}, {kEnabled, BN_CLICKED}, {IDOK, BN_CLICKED}}));
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(QtDialogTest, EscapeInAFieldAndTheCloseBoxCancel) {
    TestApp();
    QtPlatform platform;
    Login dialog;
    Later([&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(Control<QLineEdit>(platform, dialog, kName), &escape);
    });
    EXPECT_EQ(dialog.DoModal(platform, nullptr), IDCANCEL);
    EXPECT_EQ(dialog.commands, (std::vector<std::pair<unsigned, unsigned>>{{IDCANCEL, 0}}));

    Later([&] { platform.Widget(dialog)->close(); });
    EXPECT_EQ(dialog.DoModal(platform, nullptr), IDCANCEL);
    EXPECT_TRUE(dialog.name.empty());
}
