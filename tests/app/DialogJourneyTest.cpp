// The dialogs the main window opens, as a person uses them on the offscreen Qt platform: their
// buttons, fields, tables and Tab order, and what they leave in the files and settings.
#include "app/FavoritesDialog.h"
#include "app/core/FavoritesTable.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/app/StandInGame.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>

using namespace Journey;
using namespace Platform;

namespace {

class DialogJourneyTest : public CMainWindowJourney {
protected:
    std::string Address(int server) const {
        return "127.0.0.1:" + std::to_string(m_net->GetServerPort(server));
    }
};

} // namespace

TEST_F(DialogJourneyTest, FavouritesAreEditedInTheirTableSavedAndQueried) {
    Open([&](QWidget& window) {
        {
            CExpectWindow favourites(
                [&](QWidget& dialog) {
                    Click(FindButton(dialog, "New"));
                    Click(FindButton(dialog, "New"));
                    // The table's rows are reached through the dialog's own table control.
                    Tavex::CTableCtrl* table = nullptr;
                    for (auto& [wnd, widget] : m_platform.m_widgets)
                        if (auto* candidate =
                                dynamic_cast<Tavex::CTableCtrl*>(const_cast<CWnd*>(wnd));
                            candidate && dialog.isAncestorOf(widget))
                            table = candidate;
                    ASSERT_NE(table, nullptr);
                    ASSERT_EQ(table->GetRowCount(), 2);
                    CTableUser rows(m_platform, *table);

                    // A click into a cell edits it; Tab moves to the next cell, Enter takes all.
                    rows.ClickCell(0, FavoritesColumn::kName);
                    QWidget* field = QApplication::focusWidget();
                    ASSERT_TRUE(qobject_cast<QLineEdit*>(field));
                    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(field, "My Server!");
                    QTest::keyClick(field, Qt::Key_Tab);
                    field = QApplication::focusWidget();
                    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(field, QString::fromStdString(Address(0)));
                    QTest::keyClick(field, Qt::Key_Tab);
                    QTest::keyClicks(QApplication::focusWidget(), "Pw#1");
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                    EXPECT_EQ(rows.Text(0, FavoritesColumn::kName), "My Server!");
                    EXPECT_EQ(rows.Text(0, FavoritesColumn::kIp), Address(0));
                    EXPECT_EQ(rows.Text(0, FavoritesColumn::kPassword), "Pw#1");

                    // Escape leaves a cell as it was; "Delete" takes the current row away.
                    rows.ClickCell(1, FavoritesColumn::kName);
                    QTest::keyClicks(QApplication::focusWidget(), "Temp");
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                    EXPECT_EQ(rows.Text(1, FavoritesColumn::kName), kNewFavoriteName);
                    EXPECT_TRUE(dialog.isVisible());
                    Click(FindButton(dialog, "Delete"));
                    EXPECT_EQ(table->GetRowCount(), 1);

                    // From "Delete", Tab goes round the buttons and the table.
                    EXPECT_EQ(Texts(TabRound(dialog)), "OK;Cancel;QWidget;New;");
                    Click(FindButton(dialog, "OK"));
                },
                "favourites");
            Click(W(Res::IDC_FAVORITES_DIALOG));
        }
        EXPECT_EQ(CTempWorkDir::ReadFile(m_dir.Path() / "favorites.dat"),
                  Address(0) + "\tMy Server!\tPw#1\r\n");

        ClickTab(1);
        Click(W(Res::IDC_QUERY_FAVORITES));
        ASSERT_TRUE(AwaitTrue([&] { return Text(Res::IDC_SERVERS_TO_QUERY) == "0"; }));
        ASSERT_EQ(m_dialog->ServerTable().GetRowCount(), 1);
        EXPECT_EQ(m_dialog->ServerTable().GetCellText(0, ServerColumn::kServer), "Alpha");
        Click(FindButton(window, "Close"));
    });
}

TEST_F(DialogJourneyTest, OptionsTakeEffectOnOkOnlyAndTabVisitsEveryControl) {
    Open([&](QWidget& window) {
        {
            CExpectWindow options(
                [&](QWidget& dialog) {
                    auto* autoClose =
                        qobject_cast<QCheckBox*>(FindButton(dialog, "Close after joining"));
                    ASSERT_NE(autoClose, nullptr);
                    EXPECT_TRUE(autoClose->isChecked());
                    QWidget* requery = FindButton(dialog, "Requery server data in background ");
                    EXPECT_TRUE(requery->isEnabled());
                    Click(autoClose);
                    Click(requery);
                    Click(FindButton(dialog, "master"));
                    EXPECT_TRUE(FindButton(dialog, "master")->isChecked());
                    // Tab visits the interval after the buttons and the requery box after
                    // "Close after joining".
                    EXPECT_EQ(Texts(TabRound(dialog)), "OK;Cancel;QLineEdit;Close after joining;"
                                                       "Requery server data in background ;");
                    auto* seconds = dialog.findChild<QLineEdit*>();
                    ASSERT_NE(seconds, nullptr);
                    EXPECT_EQ(seconds->text(), "60");
                    Click(seconds);
                    QTest::keyClick(seconds, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(seconds, "90");
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                },
                "options");
            Click(W(Res::IDC_OPTIONS));
        }
        EXPECT_EQ(Key().ReadNumber(kAutoCloseValue, 1), 0u);
        EXPECT_EQ(Key().ReadNumber(kStartupQueryValue, 0), 2u);
        EXPECT_EQ(Key().ReadNumber(kRequerySecondsValue, 0), 90u);
        EXPECT_FALSE(m_dialog->GetAutoClose());
        EXPECT_TRUE(m_dialog->GetAutoRequery());
        {
            CExpectWindow options(
                [&](QWidget& dialog) {
                    Click(FindButton(dialog, "nothing"));
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                },
                "options again");
            Click(W(Res::IDC_OPTIONS));
        }
        EXPECT_EQ(Key().ReadNumber(kStartupQueryValue, 0), 2u);
        Click(FindButton(window, "Close"));
    });
}

TEST_F(DialogJourneyTest, MasterDialogTakesTypedTextOnEnterAndEscapeKeepsTheOld) {
    Open([&](QWidget& window) {
        {
            CExpectWindow master(
                [&](QWidget& dialog) {
                    QLineEdit* edit = dialog.findChild<QLineEdit*>();
                    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(edit, "Typed:Text");
                    EXPECT_EQ(Texts(TabRound(dialog)), "OK;Cancel;QLineEdit;");
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                },
                "master");
            Click(W(Res::IDC_MASTER_DIALOG));
        }
        EXPECT_EQ(m_dialog->Engine().GetMasters().front(), Master());
        {
            CExpectWindow master(
                [&](QWidget& dialog) {
                    QLineEdit* edit = dialog.findChild<QLineEdit*>();
                    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(edit, "127.0.0.1:28060");
                    // Tab past the buttons to the other masters, typed with shifted
                    // characters and separators, then Enter takes them all.
                    for (int i = 0; i < 3; ++i)
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    QLineEdit* more = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                    ASSERT_NE(more, nullptr);
                    ASSERT_NE(more, edit);
                    QTest::keyClicks(more, "Master.TWO:28061 ;Third");
                    QTest::keyClick(more, Qt::Key_Return);
                },
                "master again");
            Click(W(Res::IDC_MASTER_DIALOG));
        }
        EXPECT_EQ(m_dialog->Engine().GetMasters(),
                  (std::vector<std::string>{"127.0.0.1:28060", "Master.TWO:28061", "Third"}));
        Click(FindButton(window, "Close"));
    });
    EXPECT_EQ(Key().ReadString(kMasterValue, ""), "127.0.0.1:28060");
    EXPECT_EQ(Key().ReadString(kMoreMastersValue, ""), "Master.TWO:28061 Third");
}

TEST_F(DialogJourneyTest, JoinStartsTheChosenGameWithTheTypedPassword) {
    const std::filesystem::path game = m_dir.Path() / "game.sh";
    const std::filesystem::path record = m_dir.Path() / "game-args";
    WriteStandInGame(game, record);
    Key().WriteString(kGamePathValue, game.string());
    Open([&](QWidget&) {
        QueryMaster();
        // "..." beside "Join" asks for the game in a file chooser; Escape there stores nothing.
        {
            CExpectWindow chooser(
                [&](QWidget& dialog) {
                    ASSERT_TRUE(IsA<QFileDialog>(dialog));
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                },
                "file chooser");
            Click(W(Res::IDC_CHOOSE_GAME));
        }
        EXPECT_EQ(Key().ReadString(kGamePathValue, ""), game.string());
        QWidget* password = W(Res::IDC_PASSWORD);
        Click(password);
        QTest::keyClicks(password, "Pa$$ W0rd");
        CTableUser players(m_platform, m_dialog->AllPlayersTable());
        players.DoubleClickCell(0, AllPlayersColumn::kPlayer);
    });
    const std::string args = AwaitStandInRecord(record);
    EXPECT_NE(args.find("connect \"127.0.0.1:"), std::string::npos) << args;
    EXPECT_NE(args.find("password \"Pa$$ W0rd\""), std::string::npos) << args;
    // "Close after joining" closed the window, which wrote the password.
    EXPECT_EQ(Key().ReadString(kPasswordValue, ""), "Pa$$ W0rd");
}

TEST_F(DialogJourneyTest, ServerInfoListsTheVariablesSortsThemAndClosesWithEscape) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        CTableUser servers(m_platform, m_dialog->ServerTable());
        servers.ClickCell(0, ServerColumn::kServer);
        std::vector<std::string> names;
        {
            CExpectWindow menu([&](QWidget& shown) { ChooseMenuItem(shown, "Show server info"); });
            CExpectWindow info(
                [&](QWidget& dialog) {
                    Tavex::CTableCtrl* table = nullptr;
                    for (auto& [wnd, widget] : m_platform.m_widgets)
                        if (auto* found = dynamic_cast<Tavex::CTableCtrl*>(const_cast<CWnd*>(wnd));
                            found && dialog.isAncestorOf(widget))
                            table = found;
                    ASSERT_NE(table, nullptr);
                    CTableUser variables(m_platform, *table);
                    // Sorted by name; a click on "Value" sorts by value.
                    EXPECT_EQ(variables.Text(0, 0), "g_gametype");
                    variables.ClickTitle(1);
                    for (int row = 0; row < table->GetRowCount(); ++row)
                        names.push_back(variables.Text(row, 1));
                    variables.ClickCell(0, 0);
                    variables.Key(Qt::Key_Down);
                    variables.Key(Qt::Key_End, Qt::ControlModifier);
                    EXPECT_EQ(variables.Current(), table->GetRowCount() - 1);
                    EXPECT_EQ(Texts(TabRound(dialog)), "Close;");
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                },
                "server info", [](QWidget& shown) { return shown.windowTitle() == "Alpha"; });
            servers.RightClickCell(0, ServerColumn::kServer);
        }
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
        EXPECT_EQ(names.size(), 4u);
        Click(FindButton(window, "Close"));
    });
}
