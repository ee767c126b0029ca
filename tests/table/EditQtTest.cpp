// In-place editing on the Qt window system: keys typed into the native edit field reach the
// edit controller, and the enumeration list is a popup window of its own.
#include "platform/qt/QtPlatform.h"
#include "table/ColDef.h"
#include "table/Enum.h"
#include "table/EnumIn.h"
#include "table/TableCtrl.h"
#include "table/TextIn.h"
#include "tests/support/qt/QtTestApp.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace Platform;
using namespace Tavex;
using PlatformQt::QtPlatform;

namespace {

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &e);
}

class EditQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/edit-qt-test-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("VANTREL_CONFIG_DIR", m_dir.c_str(), 1);
        TestSupport::TestApp();
        ASSERT_TRUE(dialog.CreateTopLevel(platform, {0, 0, 500, 300}, WS_VISIBLE));
        placeholder.Create(dialog, {10, 10, 410, 210}, WS_CHILD | WS_VISIBLE, 7);
        ASSERT_TRUE(ctrl.ReplaceDlgItem(7, dialog));
        ctrl.SetColumnCount(2);
        ctrl.SetColumn(0, &text, "Name", 100);
        ctrl.SetColumn(1, &kindCol, "Kind", 100);
        ctrl.Build();
        for (const char* name : {"Ann", "Bob"}) {
            CRow* row = ctrl.AddRow();
            row->GetCell(0)->SetString(name);
            row->GetCell(1)->SetInt(1);
        }
        ctrl.SetColumnView(0, text.CreateOutput(), new CTextIn, "Name", 100);
        ctrl.SetColumnView(1, kindCol.CreateOutput(), new CEnumIn(kinds, 0, kStringColumnFormat),
                           "Kind", 100);
        ctrl.SetColumnsEditable(true);
        ctrl.Redraw(false);
        QApplication::setActiveWindow(platform.Widget(dialog));
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    QLineEdit* NameField() {
        CWnd* editor = ctrl.Col(0).m_input->GetEditorWindow();
        return editor ? qobject_cast<QLineEdit*>(platform.Widget(*editor)) : nullptr;
    }

    std::string m_dir;
    QtPlatform platform;
    CWnd dialog;
    CWnd placeholder;
    CTableCtrl ctrl;
    CStringCol text;
    CEnum kinds{"Red\nGreen\nBlue"};
    CEnumCol kindCol{kinds, 0};
};

} // namespace

TEST_F(EditQtTest, KeysInTheNativeFieldCommitCancelAndMoveOn) {
    ctrl.GetCurrentCell().Set(0, 0);
    ASSERT_TRUE(ctrl.GetEditController().BeginEdit(false));
    QLineEdit* field = NameField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), "Ann");
    // The whole value is selected, so the first key typed replaces it.
    EXPECT_EQ(field->selectedText(), "Ann");
    field->setText("Anna");
    Press(field, Qt::Key_Tab);
    EXPECT_EQ(ctrl.GetCellText(0, 0), "Anna");
    EXPECT_EQ(ctrl.GetCurrentCell().GetColumn(), 1);
    ASSERT_TRUE(ctrl.GetEditController().IsEditing());

    ctrl.GetEditController().EndEdit(true);
    ctrl.GetCurrentCell().Set(1, 0);
    ASSERT_TRUE(ctrl.GetEditController().BeginEdit(false));
    field = NameField();
    ASSERT_NE(field, nullptr);
    field->setText("Robert");
    Press(field, Qt::Key_Escape);
    EXPECT_FALSE(ctrl.GetEditController().IsEditing());
    EXPECT_EQ(ctrl.GetCellText(1, 0), "Bob");

    ASSERT_TRUE(ctrl.GetEditController().BeginEdit(false));
    field = NameField();
    ASSERT_NE(field, nullptr);
    field->setText("Bobby");
    Press(field, Qt::Key_Return);
    EXPECT_FALSE(ctrl.GetEditController().IsEditing());
    EXPECT_EQ(ctrl.GetCellText(1, 0), "Bobby");
}

TEST_F(EditQtTest, ALimitedTextEditorTakesNoMoreThanItsLimit) {
    ctrl.SetColumnView(0, text.CreateOutput(), new CTextIn(4), "Name", 100);
    ctrl.SetColumnsEditable(true);
    ctrl.GetCurrentCell().Set(1, 0);
    ASSERT_TRUE(ctrl.GetEditController().BeginEdit(false));
    QLineEdit* field = NameField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->maxLength(), 4);
    field->selectAll();
    for (QChar c : QString("Bobby")) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &key);
    }
    EXPECT_EQ(field->text().size(), 4);
    Press(field, Qt::Key_Return);
    EXPECT_EQ(ctrl.GetCellText(1, 0).size(), 4u);
}

TEST_F(EditQtTest, TheEnumerationListIsAFramelessWindowAboveTheOthers) {
    ctrl.GetCurrentCell().Set(0, 1);
    ASSERT_TRUE(ctrl.GetEditController().BeginEdit(false));
    auto& combo = dynamic_cast<CEnumIn&>(*ctrl.Col(1).m_input);
    combo.ShowDropDown(true);
    ASSERT_TRUE(combo.IsDropped());
    QWidget* list = platform.Widget(combo.GetList());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isWindow());
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(list->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(list->geometry().top(), combo.GetWindowRect().bottom);
    combo.ShowDropDown(false);
    EXPECT_FALSE(list->isVisible());
}
