#include "app/FavoritesDialog.h"

#include "app/core/FavoritesTable.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "platform/Controls.h"
#include "resources/ResourceIds.h"
#include "table/EditController.h"
#include "tests/app/TempWorkDir.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

using namespace Platform;
using TestSupport::FakePlatform;

namespace {

class FavoritesDialogTest : public testing::Test {
protected:
    FavoritesDialogTest() { TestSupport::TestApp(); }

    // Opens the dialog over an owner window, plays the user, then presses `close` (IDOK or
    // IDCANCEL; 0 leaves it to the user's play). Returns the dialog's result.
    int Open(const std::function<void(CFavoritesDialog&)>& user, unsigned close = IDOK,
             const std::string& path = kFile) {
        if (!m_owner.IsWindow())
            m_owner.CreateTopLevel(m_platform, {100, 100, 900, 700}, 0, "owner");
        CFavoritesDialog dialog(&m_owner, path);
        m_platform.onModal = [&](CWnd&) {
            user(dialog);
            if (close != 0 && dialog.IsWindow())
                m_platform.ClickButton(*dialog.GetDlgItem(close));
        };
        return dialog.DoModal(m_platform, &m_owner);
    }

    static std::vector<std::string> Column(CFavoritesDialog& dialog, int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < dialog.Table().GetRowCount(); ++row)
            texts.push_back(dialog.Table().GetCellText(row, column));
        return texts;
    }

    static void SetCell(CFavoritesDialog& dialog, int row, int column, const std::string& text) {
        dialog.Table().GetCell(row, column)->SetString(text);
    }

    CRegistryKey Key() {
        CRegistryKey key;
        OpenSettingsKey(key);
        return key;
    }

    static constexpr const char* kFile = "favorites.dat";
    CTempWorkDir m_dir;
    FakePlatform m_platform;
    CWnd m_owner;
};

} // namespace

TEST_F(FavoritesDialogTest, ShowsTheFileBottomUpAndOkWritesItBackUnchanged) {
    const std::string file =
        "10.0.0.3:27960\tC\t\r\n10.0.0.2:27960\tB\tpw\r\n10.0.0.1:27960\tA\t\r\n";
    CTempWorkDir::WriteFile(kFile, file);
    EXPECT_EQ(
        Open([&](CFavoritesDialog& d) {
            EXPECT_EQ(Column(d, FavoritesColumn::kName), (std::vector<std::string>{"A", "B", "C"}));
            EXPECT_EQ(Column(d, FavoritesColumn::kPassword),
                      (std::vector<std::string>{"", "pw", ""}));
            EXPECT_EQ(d.GetWindowText(), "Favorites ...");
        }),
        IDOK);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFile), file);
}

TEST_F(FavoritesDialogTest, NewRowsAreCurrentAndSavedWithTheirDefaults) {
    Open([&](CFavoritesDialog& d) {
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_NEW_FAVORITE));
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_NEW_FAVORITE));
        EXPECT_EQ(d.Table().GetRowCount(), 2);
        EXPECT_EQ(d.Table().GetCurrentRow(), 1);
        EXPECT_EQ(Column(d, FavoritesColumn::kIp),
                  (std::vector<std::string>{"127.0.0.1:27960", "127.0.0.1:27960"}));
    });
    EXPECT_EQ(CTempWorkDir::ReadFile(kFile), "127.0.0.1:27960\tNew Server\t\r\n"
                                             "127.0.0.1:27960\tNew Server\t\r\n");
}

TEST_F(FavoritesDialogTest, DeleteTakesTheCurrentRowOnlyAndAsksNothing) {
    CTempWorkDir::WriteFile(kFile, "1.1.1.1:1\tB\t\n1.1.1.1:2\tA\t\n");
    Open([&](CFavoritesDialog& d) {
        d.Table().SetCurrentRow(-1);
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_DELETE_FAVORITE));
        EXPECT_EQ(d.Table().GetRowCount(), 2);
        d.Table().SetCurrentRow(0);
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_DELETE_FAVORITE));
        EXPECT_EQ(Column(d, FavoritesColumn::kName), std::vector<std::string>{"B"});
    });
    EXPECT_TRUE(m_platform.messageBoxes.empty());
    EXPECT_EQ(CTempWorkDir::ReadFile(kFile), "1.1.1.1:1\tB\t\r\n");
}

TEST_F(FavoritesDialogTest, OkCommitsTheOpenEditAndCleansEveryRow) {
    Open([&](CFavoritesDialog& d) {
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_NEW_FAVORITE));
        SetCell(d, 0, FavoritesColumn::kIp, "localhost");
        SetCell(d, 0, FavoritesColumn::kPassword, "\t secret ");
        d.Table().GetCurrentCell().Set(0, FavoritesColumn::kName);
        ASSERT_TRUE(d.Table().GetEditController().BeginEdit(false));
        m_platform.TypeText(*m_platform.GetFocus(), " My\tServer ");
    });
    EXPECT_EQ(CTempWorkDir::ReadFile(kFile), "127.0.0.1:0\tMy Server\tsecret\r\n");
}

TEST_F(FavoritesDialogTest, AnInvalidAddressKeepsTheDialogOpenWithItsCellInTheEditor) {
    const std::string file = "1.2.3.4:5\tbelow\t\n1.2.3.4:6\tbad\t\n1.2.3.4:7\tabove\t\n";
    CTempWorkDir::WriteFile(kFile, file);
    const int result = Open(
        [&](CFavoritesDialog& d) {
            SetCell(d, 1, FavoritesColumn::kIp, ":27960"); // no host
            SetCell(d, 2, FavoritesColumn::kName, " below ");
            SetCell(d, 0, FavoritesColumn::kName, " above ");
            SetCell(d, 1, FavoritesColumn::kName, "\tbad ");
            m_platform.ClickButton(*d.GetDlgItem(IDOK));
            ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
            EXPECT_EQ(m_platform.messageBoxes[0].text, "Invalid IP address.");
            EXPECT_EQ(m_platform.messageBoxes[0].type, MB_OK | MB_ICONSTOP);
            EXPECT_EQ(d.Table().GetCurrentRow(), 1);
            EXPECT_EQ(d.Table().GetCurrentCell().GetColumn(), FavoritesColumn::kIp);
            EXPECT_TRUE(d.Table().GetEditController().IsEditing());
            // Rows up to the bad one were cleaned, the one above it not yet.
            EXPECT_EQ(Column(d, FavoritesColumn::kName),
                      (std::vector<std::string>{" above ", "bad", "below"}));
            EXPECT_EQ(CTempWorkDir::ReadFile(kFile), file);

            m_platform.TypeText(*m_platform.GetFocus(), "9.9.9.9:9");
            m_platform.ClickButton(*d.GetDlgItem(IDOK));
            EXPECT_EQ(m_platform.messageBoxes.size(), 1u);
        },
        0);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFile),
              "1.2.3.4:5\tbelow\t\r\n9.9.9.9:9\tbad\t\r\n1.2.3.4:7\tabove\t\r\n");
}

TEST_F(FavoritesDialogTest, CancelLeavesTheFileButKeepsLayoutAndSize) {
    CTempWorkDir::WriteFile(kFile, "1.2.3.4:5\tA\t\n");
    EXPECT_EQ(Open(
                  [&](CFavoritesDialog& d) {
                      m_platform.ClickButton(*d.GetDlgItem(Res::IDC_NEW_FAVORITE));
                      d.Table().SetColumnWidth(FavoritesColumn::kName, 77);
                  },
                  IDCANCEL),
              IDCANCEL);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFile), "1.2.3.4:5\tA\t\n");
    EXPECT_TRUE(Key().ValueExists(kFavoritesLayoutValue));
    ASSERT_TRUE(ReadWindowRect(Key(), kLastPosFavoritesValue));

    Open([&](CFavoritesDialog& d) {
        EXPECT_EQ(d.Table().GetColumnWidth(FavoritesColumn::kName), 77);
    });
}

TEST_F(FavoritesDialogTest, OnlyAWiderStoredRectangleSizesTheDialogCentredOnItsOwner) {
    Rect first;
    Open([&](CFavoritesDialog& d) { first = d.GetWindowRect(); }, IDCANCEL);
    // As wide as the template, somewhere else, taller: not applied.
    CRegistryKey key = Key();
    WriteWindowRect(key, kLastPosFavoritesValue, {0, 0, first.Width(), first.Height() + 50});
    Open([&](CFavoritesDialog& d) { EXPECT_EQ(d.GetWindowRect(), first); }, IDCANCEL);

    WriteWindowRect(key, kLastPosFavoritesValue, {5, 5, 5 + first.Width() + 100, 405});
    Open([&](CFavoritesDialog& d) {
        const Rect r = d.GetWindowRect();
        EXPECT_EQ(r.Width(), first.Width() + 100);
        EXPECT_EQ(r.Height(), 400);
        EXPECT_EQ(r.left + r.Width() / 2, 500);
        EXPECT_EQ(r.top + r.Height() / 2, 400);
        // The table grew with the dialog, the buttons stayed at the bottom right.
        const Rect table = d.ScreenToClientRect(d.Table().GetWindowRect());
        const Rect cancel = d.ScreenToClientRect(d.GetDlgItem(IDCANCEL)->GetWindowRect());
        EXPECT_EQ(d.GetClientRect().right - table.right, d.GetClientRect().right - cancel.right);
        EXPECT_LT(table.bottom, cancel.top);
    });
}

TEST_F(FavoritesDialogTest, ASaveThatFailsSaysSoAndKeepsTheDialogOpen) {
    // A list in a folder that does not exist: nothing to read, and no place to write.
    const std::string path = "missing/favorites.dat";
    const int result = Open(
        [&](CFavoritesDialog& d) {
            m_platform.ClickButton(*d.GetDlgItem(Res::IDC_NEW_FAVORITE));
            m_platform.ClickButton(*d.GetDlgItem(IDOK));
            ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
            EXPECT_EQ(m_platform.messageBoxes[0].text.rfind(
                          "Cannot write the favorites file \"" + path + "\": ", 0),
                      0u);
        },
        IDCANCEL, path);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST_F(FavoritesDialogTest, AListThatCannotBeReadIsNeverSavedOver) {
    // A pipe stands in for a file the user may not read (the tests run as root).
    ASSERT_EQ(mkfifo(kFile, 0600), 0);
    const int result = Open(
        [&](CFavoritesDialog& d) {
            ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
            EXPECT_EQ(m_platform.messageBoxes[0].text.rfind(
                          "Cannot read the favorites file \"favorites.dat\": ", 0),
                      0u);
            m_platform.ClickButton(*d.GetDlgItem(Res::IDC_NEW_FAVORITE));
            m_platform.ClickButton(*d.GetDlgItem(IDOK));
            EXPECT_EQ(m_platform.messageBoxes.size(), 2u);
        },
        IDCANCEL);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(std::filesystem::status(kFile).type(), std::filesystem::file_type::fifo);
}
