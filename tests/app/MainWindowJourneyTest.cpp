// The main window as a person uses it, on the offscreen Qt platform against a loopback test
// network in this process: mouse and keys at the widgets' real places, outcomes read from the
// tables, the windows that open and the settings written at close.
#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "resources/ResourceIds.h"
#include "table/SortKeys.h"
#include "tests/app/Journey.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/app/StandInGame.h"
#include "tests/app/TempWorkDir.h"
#include "tools/TestNet.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTabBar>

#include <filesystem>
#include <fstream>
#include <optional>

using namespace Journey;
using namespace Platform;

namespace {

class MainWindowJourneyTest : public CMainWindowJourney {};

} // namespace

TEST_F(MainWindowJourneyTest, SelectingServersWithMouseAndKeysShowsTheChosenServersPlayers) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        CTableUser servers(m_platform, m_dialog->ServerTable());
        CTableUser players(m_platform, m_dialog->PlayersOnServerTable());
        ASSERT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "3");
        EXPECT_EQ(Text(Res::IDC_PLAYER_COUNT), "6");
        // The record columns stay out of sight.
        EXPECT_FALSE(m_dialog->ServerTable().IsColumnVisible(kRecordColumn));
        EXPECT_FALSE(m_dialog->AllPlayersTable().IsColumnVisible(kRecordColumn));

        servers.ClickCell(ServerRow("Beta"), ServerColumn::kMap);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Eve", "Dee"}));
        // The players' own order is kept: sorted by frags once, it stays so for the next server.
        players.ClickTitle(PlayerOnServerColumn::kFrags);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Eve", "Dee"}));
        players.ClickTitle(PlayerOnServerColumn::kFrags);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Dee", "Eve"}));
        // The keys go where the focus is: back into the server table first.
        servers.ClickCell(ServerRow("Beta"), ServerColumn::kServer);
        servers.Key(Qt::Key_Up);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Bob", "Abe", "Cy"}));
        servers.Key(Qt::Key_Down);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Dee", "Eve"}));
        servers.Key(Qt::Key_PageDown);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Fay"}));
        servers.Key(Qt::Key_PageUp);
        EXPECT_EQ(PlayersShown().size(), 3u);
        // Ctrl moves only the current row; Space then selects it. Home and End move across
        // the columns and leave the rows alone.
        servers.Key(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(PlayersShown().size(), 3u);
        servers.Key(Qt::Key_Space);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Fay"}));
        servers.Key(Qt::Key_End);
        servers.Key(Qt::Key_Home);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Fay"}));

        // With Ctrl a second server joins the selection and is the one shown; taken out
        // again, the first selected row is shown; nothing selected, nothing shown.
        servers.ClickCell(ServerRow("Alpha"), ServerColumn::kServer);
        servers.ClickCell(ServerRow("Gamma"), ServerColumn::kServer, Qt::ControlModifier);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Fay"}));
        servers.ClickCell(ServerRow("Gamma"), ServerColumn::kServer, Qt::ControlModifier);
        EXPECT_EQ(PlayersShown().size(), 3u);
        servers.ClickCell(ServerRow("Alpha"), ServerColumn::kServer, Qt::ControlModifier);
        EXPECT_TRUE(PlayersShown().empty());
        // Shift selects from the anchor to the row clicked, which is shown.
        servers.ClickCell(ServerRow("Beta"), ServerColumn::kServer);
        servers.ClickCell(ServerRow("Gamma"), ServerColumn::kServer, Qt::ShiftModifier);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Fay"}));
        servers.Key(Qt::Key_Up, Qt::ShiftModifier);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Dee", "Eve"}));

        Click(FindButton(window, "Close"));
    });
    EXPECT_EQ(Key().ReadNumber(kLastViewValue, 0), 1u);
}

TEST_F(MainWindowJourneyTest, HeadersSortReverseAddKeysAndMoveColumnsAndTheLayoutIsWritten) {
    Open([&](QWidget& window) {
        QueryMaster();
        Tavex::CTableCtrl& table = m_dialog->AllPlayersTable();
        CTableUser all(m_platform, table);
        ASSERT_EQ(table.GetRowCount(), 6);
        all.ClickTitle(AllPlayersColumn::kFrags);
        EXPECT_EQ(Column(table, AllPlayersColumn::kPlayer),
                  (std::vector<std::string>{"Fay", "Cy", "Eve", "Abe", "Dee", "Bob"}));
        all.ClickTitle(AllPlayersColumn::kFrags);
        EXPECT_EQ(table.GetCellText(0, AllPlayersColumn::kPlayer), "Bob");
        // Shift adds a second key; keys go in the columns' display order.
        all.ClickTitle(AllPlayersColumn::kServerPing);
        all.ClickTitle(AllPlayersColumn::kFrags, Qt::ShiftModifier);
        EXPECT_EQ(Column(table, AllPlayersColumn::kPlayer),
                  (std::vector<std::string>{"Cy", "Abe", "Bob", "Eve", "Dee", "Fay"}));
        ASSERT_EQ(table.GetSortKeys()->GetCount(), 2);

        // "Map" dragged onto the first title's place moves to the front.
        const int before = table.GetColumnPosition(AllPlayersColumn::kMap);
        all.DragTitle(AllPlayersColumn::kMap, all.TitlePoint(AllPlayersColumn::kPlayer).x() -
                                                  all.TitlePoint(AllPlayersColumn::kMap).x() - 20);
        EXPECT_LT(table.GetColumnPosition(AllPlayersColumn::kMap), before);
        Click(FindButton(window, "Close"));
    });
    // The moved column is in the stored layout: a new window shows it where it was left.
    Open([&](QWidget& window) {
        EXPECT_EQ(m_dialog->AllPlayersTable().GetColumnAt(0), AllPlayersColumn::kMap);
        Click(FindButton(window, "Close"));
    });
}

TEST_F(MainWindowJourneyTest, ServerMenuAddsFavouritesShowsInfoAndCopies) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        CTableUser servers(m_platform, m_dialog->ServerTable());
        const int beta = ServerRow("Beta");
        servers.ClickCell(beta, ServerColumn::kServer);
        {
            std::string texts;
            CExpectWindow menu([&](QWidget& shown) {
                texts = MenuTexts(shown);
                ChooseMenuItem(shown, "Add to favorites");
            });
            servers.RightClickCell(beta, ServerColumn::kServer);
            EXPECT_EQ(texts.rfind("Add to favorites;-;Show server info;-;", 0), 0u) << texts;
        }
        EXPECT_EQ(CTempWorkDir::ReadFile(m_dir.Path() / "favorites.dat"),
                  m_dialog->ServerTable().GetCellText(beta, ServerColumn::kIp) + "\tBeta\t\r\n");
        {
            std::string caption;
            CExpectWindow menu([&](QWidget& shown) { ChooseMenuItem(shown, "Show server info"); });
            CExpectWindow info(
                [&](QWidget& shown) {
                    caption = shown.windowTitle().toStdString();
                    Click(FindButton(shown, "Close"));
                },
                "server info", [](QWidget& shown) { return !IsA<QMenu>(shown); });
            servers.RightClickCell(beta, ServerColumn::kMap);
            EXPECT_EQ(caption, "Beta");
        }
        {
            // Below the rows the server's items are there but disabled.
            std::string texts;
            CExpectWindow menu([&](QWidget& shown) {
                texts = MenuTexts(shown);
                shown.close();
            });
            servers.RightClick(servers.Body(), {10, servers.Body()->height() - 5});
            EXPECT_EQ(texts.rfind("~Add to favorites;-;~Show server info;-;", 0), 0u) << texts;
        }
        Click(FindButton(window, "Close"));
    });
}

TEST_F(MainWindowJourneyTest, KeysInTheSearchFieldNeverLoopAndSearchFindsAPlayer) {
    Open([&](QWidget& window) {
        QueryMaster();
        QWidget* field = W(Res::IDC_SEARCH_FIELD);
        QLineEdit* line = field->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        Click(line);
        // Keys the line has no use for go back to the window, once.
        for (Qt::Key key :
             {Qt::Key_F2, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_F5, Qt::Key_Insert})
            QTest::keyClick(field, key);
        QTest::keyClick(field, Qt::Key_Asterisk, Qt::KeypadModifier);
        QTest::keyClick(field, '*');
        QTest::keyClicks(field, "Ev");
        EXPECT_EQ(line->text(), "**Ev");
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        // Shifted characters arrive as typed; Enter presses "Search".
        QTest::keyClicks(field, "E");
        QTest::keyClick(field, 'V', Qt::ShiftModifier);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(line->text(), "EV");
        Tavex::CTableCtrl& all = m_dialog->AllPlayersTable();
        EXPECT_EQ(all.GetCellText(all.GetCurrentRow(), AllPlayersColumn::kPlayer), "Eve");
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Eve", "Dee"}));
        // A second search, then the first chosen again from the history with a click.
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, "fay");
        Click(FindButton(window, "Search"));
        EXPECT_EQ(all.GetCellText(all.GetCurrentRow(), AllPlayersColumn::kPlayer), "Fay");
        QListWidget* history = field->findChild<QListWidget*>();
        ASSERT_EQ(history->count(), 2);
        const auto item = [&](int row) {
            return history->visualItemRect(history->item(row)).center();
        };
        QTest::mouseClick(history->viewport(), Qt::LeftButton, Qt::NoModifier, item(0));
        EXPECT_EQ(all.GetCellText(all.GetCurrentRow(), AllPlayersColumn::kPlayer), "Eve");
        // A double-click searches as its first click did, and the field shows the item.
        QTest::mouseDClick(history->viewport(), Qt::LeftButton, Qt::NoModifier, item(1));
        EXPECT_EQ(all.GetCellText(all.GetCurrentRow(), AllPlayersColumn::kPlayer), "Fay");
        EXPECT_EQ(line->text(), "fay");
        EXPECT_EQ(history->count(), 2);
        QTest::mouseClick(history->viewport(), Qt::LeftButton, Qt::NoModifier, item(0));
        EXPECT_EQ(all.GetCellText(all.GetCurrentRow(), AllPlayersColumn::kPlayer), "Eve");
        // "Del" asks; "No" keeps the item, "Yes" removes it.
        {
            CExpectWindow ask([&](QWidget& box) { Click(FindButton(box, "No")); }, "question");
            Click(FindButton(window, "Del"));
        }
        EXPECT_EQ(history->count(), 2);
        {
            CExpectWindow ask([&](QWidget& box) { Click(FindButton(box, "Yes")); }, "question");
            Click(FindButton(window, "Del"));
        }
        EXPECT_EQ(history->count(), 1);
        // Escape in the field closes the window, and the history is written.
        QTest::keyClick(field, Qt::Key_Escape);
    });
    EXPECT_EQ(Key().ReadString(kLastPlayersValue, ""), "fay\n");
}

TEST_F(MainWindowJourneyTest, AMasterThatFailsKeepsTheLastResults) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        ASSERT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        // Port 0 cannot be sent to: the exchange fails at its first probe, before the list
        // is touched.
        {
            CExpectWindow dialog([&](QWidget& shown) {
                QLineEdit* edit = shown.findChild<QLineEdit*>();
                ASSERT_NE(edit, nullptr);
                EXPECT_EQ(edit->text().toStdString(), Master());
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(edit, "127.0.0.1:0");
                QTest::keyClick(edit, Qt::Key_Return);
            });
            Click(W(Res::IDC_MASTER_DIALOG));
        }
        {
            CExpectWindow message([&](QWidget& box) { Click(FindButton(box, "OK")); }, "error");
            Click(W(Res::IDC_QUERY_MASTER));
        }
        EXPECT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        EXPECT_EQ(m_dialog->AllPlayersTable().GetRowCount(), 6);
        CTableUser servers(m_platform, m_dialog->ServerTable());
        servers.ClickCell(ServerRow("Gamma"), ServerColumn::kServer);
        EXPECT_EQ(PlayersShown(), (std::vector<std::string>{"Fay"}));

        // A master that stays silent: the same.
        CTestNetConfig silent;
        silent.masterSilent = true;
        CTestNet quiet(silent);
        quiet.Start();
        m_dialog->Engine().SetMasterAddress(
            CSockAddr("127.0.0.1:" + std::to_string(quiet.GetMasterPort())));
        {
            CExpectWindow message([&](QWidget& box) { Click(FindButton(box, "OK")); },
                                  "no response");
            m_dialog->Engine().SetMasterWaits(50, 10);
            Click(W(Res::IDC_QUERY_MASTER));
        }
        EXPECT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        Click(FindButton(window, "Close"));
    });
}

TEST_F(MainWindowJourneyTest, TableMenusCopySelectHideShowRestoreAndSave) {
    Open([&](QWidget& window) {
        QueryMaster();
        Tavex::CTableCtrl& table = m_dialog->AllPlayersTable();
        CTableUser all(m_platform, table);
        ASSERT_EQ(table.GetRowCount(), 6);
        // Plays one item of the body menu opened on the first row's name, and its submenu's.
        auto choose = [&](const QString& item, const QString& subItem = QString()) {
            CExpectWindow menu(
                [&](QWidget& shown) {
                    if (subItem.isEmpty()) {
                        ChooseMenuItem(shown, item);
                        return;
                    }
                    CExpectWindow sub([&](QWidget& list) { ChooseMenuItem(list, subItem); },
                                      subItem.toStdString());
                    ChooseMenuItem(shown, item);
                    EXPECT_TRUE(AwaitTrue([&] { return !shown.isVisible(); }));
                },
                item.toStdString());
            all.RightClickCell(0, AllPlayersColumn::kPlayer);
        };
        const std::string first = table.GetCellText(0, AllPlayersColumn::kPlayer);
        choose("Copy cell");
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), first);
        choose("Select all");
        EXPECT_EQ(table.GetTable()->GetSelectedCount(), 6);
        choose("Copy");
        EXPECT_EQ(QApplication::clipboard()->text().count(QLatin1String("\r\n")), 6);
        all.ClickCell(1, AllPlayersColumn::kPlayer);
        choose("Copy all");
        EXPECT_EQ(QApplication::clipboard()->text().count(QLatin1String("\r\n")), 6);

        choose("Hide column", "Map");
        EXPECT_FALSE(table.IsColumnVisible(AllPlayersColumn::kMap));
        choose("Show column", "All columns");
        EXPECT_TRUE(table.IsColumnVisible(AllPlayersColumn::kMap));
        // The record column stays hidden whatever the menu shows.
        EXPECT_FALSE(table.IsColumnVisible(kRecordColumn));
        choose("Hide column", "Ping");
        choose("Restore default");
        EXPECT_TRUE(table.IsColumnVisible(AllPlayersColumn::kPing));

        // Keys move the current row; Ctrl+Home goes to the top.
        all.ClickCell(0, AllPlayersColumn::kPlayer);
        all.Key(Qt::Key_Down);
        EXPECT_EQ(all.Current(), 1);
        all.Key(Qt::Key_PageDown);
        EXPECT_EQ(all.Current(), 5);
        all.Key(Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(all.Current(), 0);
        all.Key(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(all.Current(), 5);

        {
            CExpectWindow chooser(
                [&](QWidget& dialog) {
                    QLineEdit* name = dialog.findChild<QLineEdit*>("fileNameEdit");
                    ASSERT_NE(name, nullptr);
                    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(name, "players.html");
                    if (QWidget* completions = QApplication::activePopupWidget())
                        QTest::keyClick(completions, Qt::Key_Escape);
                    EXPECT_TRUE(AwaitTrue([&] { return FindButton(dialog, "Save")->isEnabled(); }));
                    QTest::keyClick(name, Qt::Key_Return);
                },
                "save chooser", IsA<QFileDialog>);
            choose("Save as ...");
        }
        const std::string html = CTempWorkDir::ReadFile(m_dir.Path() / "players.html");
        EXPECT_NE(html.find("<TABLE"), std::string::npos);
        EXPECT_NE(html.find(first), std::string::npos);

        Click(FindButton(window, "Close"));
    });
}

TEST_F(MainWindowJourneyTest, TypingInTheListsAndPasswordFieldAndEnterSearches) {
    Open([&](QWidget& window) {
        // The Speed list takes typing; Enter there presses "Search", which finds nothing.
        auto* speed = qobject_cast<QComboBox*>(W(Res::IDC_SPEED));
        ASSERT_NE(speed, nullptr);
        Click(speed->lineEdit());
        QTest::keyClick(speed->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(speed->lineEdit(), "DSL*2");
        QTest::keyClick(speed->lineEdit(), Qt::Key_Return);
        EXPECT_TRUE(window.isVisible());
        // The Version list moves with the arrows, from "All" up to "1.0".
        auto* version = qobject_cast<QComboBox*>(W(Res::IDC_VERSION));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->currentText(), "All");
        version->setFocus();
        QTest::keyClick(version, Qt::Key_Up);
        EXPECT_EQ(version->currentText(), "1.04");
        QTest::keyClick(version, Qt::Key_Up);
        EXPECT_EQ(version->currentIndex(), 0);
        QWidget* password = W(Res::IDC_PASSWORD);
        Click(password);
        QTest::keyClicks(password, "S3cr#t!");
        // Escape in a field closes the window, which writes what was chosen and typed.
        QTest::keyClick(password, Qt::Key_Escape);
    });
    EXPECT_EQ(Key().ReadString(kPasswordValue, ""), "S3cr#t!");
    EXPECT_EQ(Key().ReadNumber(kVersionValue, 0), VersionOfSelection(0));
}

TEST_F(MainWindowJourneyTest, JoinTakesTheCurrentRowOfTheTableShown) {
    const std::filesystem::path game = m_dir.Path() / "game.sh";
    const std::filesystem::path record = m_dir.Path() / "game-args";
    WriteStandInGame(game, record);
    Key().WriteString(kGamePathValue, game.string());
    Key().WriteNumber(kAutoCloseValue, 0);
    const auto joined = [&] {
        std::string args = AwaitStandInRecord(record);
        std::filesystem::remove(record);
        return args;
    };
    const auto connects = [&](int server) {
        return "127.0.0.1:" + std::to_string(m_net->GetServerPort(server)) + '\0';
    };
    Open([&](QWidget& window) {
        QueryMaster();
        // The player view joins the server of the player chosen: Fay plays on Gamma.
        Tavex::CTableCtrl& all = m_dialog->AllPlayersTable();
        CTableUser(m_platform, all)
            .ClickCell(all.FindRowByPrefix(AllPlayersColumn::kPlayer, "Fay", -1),
                       AllPlayersColumn::kPlayer);
        Click(FindButton(window, "Join"));
        std::string args = joined();
        EXPECT_NE(args.find(connects(2)), std::string::npos) << args;
        // The server view joins its own current row, whatever the player view holds.
        ClickTab(1);
        CTableUser(m_platform, m_dialog->ServerTable())
            .ClickCell(ServerRow("Beta"), ServerColumn::kPing);
        Click(FindButton(window, "Join"));
        args = joined();
        EXPECT_NE(args.find(connects(1)), std::string::npos) << args;
        // Without "Close after joining" the window stays for the next choice.
        EXPECT_TRUE(window.isVisible());
        Click(FindButton(window, "Close"));
    });
}

TEST_F(MainWindowJourneyTest, ResizingAndTheSplitterPlaceTheControlsAndAreKeptForNextTime) {
    // Within the offscreen screen, which a window is fitted into when it opens.
    const QSize growth(50, 100);
    QSize created;
    int splitX = 0;
    Open([&](QWidget& window) {
        ClickTab(1);
        created = window.size();
        const auto place = [&](unsigned id) {
            QWidget* widget = W(id);
            return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        };
        const QRect servers = place(Res::IDC_SERVERS);
        const QRect players = place(Res::IDC_PLAYERS_ON_SERVER);
        const QRect join = place(Res::IDC_JOIN);
        const QRect queryMaster = place(Res::IDC_QUERY_MASTER);

        // Larger: the tables grow, the buttons keep their distance to the right and bottom
        // edges.
        window.resize(created + growth);
        ASSERT_TRUE(AwaitTrue([&] { return place(Res::IDC_JOIN) != join; }));
        EXPECT_EQ(place(Res::IDC_JOIN), join.translated(growth.width(), growth.height()));
        EXPECT_EQ(place(Res::IDC_QUERY_MASTER), queryMaster.translated(growth.width(), 0));
        EXPECT_EQ(place(Res::IDC_PLAYERS_ON_SERVER).right(), players.right() + growth.width());
        EXPECT_EQ(place(Res::IDC_SERVERS).bottom(), servers.bottom() + growth.height());
        EXPECT_GT(place(Res::IDC_SERVERS).width(), servers.width());

        // The bar follows the pointer, and stops at 65 % of the width however far it goes.
        QWidget* bar = W(Res::IDC_SPLITTER);
        // The pointer moves over the screen while the bar moves under it.
        const auto drag = [&](int dx) {
            const QPoint from = bar->mapToGlobal(Centre(*bar));
            QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, bar->mapFromGlobal(from));
            for (int step = 1; step <= 8; ++step)
                QTest::mouseMove(bar, bar->mapFromGlobal(from + QPoint(dx * step / 8, 0)));
            QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier,
                                bar->mapFromGlobal(from + QPoint(dx, 0)));
        };
        const QRect wideServers = place(Res::IDC_SERVERS);
        const QRect widePlayers = place(Res::IDC_PLAYERS_ON_SERVER);
        drag(-60);
        EXPECT_NEAR(place(Res::IDC_SERVERS).right(), wideServers.right() - 60, 1);
        EXPECT_NEAR(place(Res::IDC_PLAYERS_ON_SERVER).left(), widePlayers.left() - 60, 1);
        EXPECT_EQ(place(Res::IDC_PLAYERS_ON_SERVER).right(), widePlayers.right());
        drag(window.width());
        const int clientWidth = bar->parentWidget()->width();
        EXPECT_EQ(bar->mapTo(bar->parentWidget(), QPoint(0, 0)).x(), clientWidth * 65 / 100);
        drag(-40);

        // Smaller than at its start the window does not go.
        window.resize(100, 100);
        QTest::qWait(50);
        EXPECT_EQ(window.size(), created);
        window.resize(created + growth);
        ASSERT_TRUE(AwaitTrue([&] { return window.size() == created + growth; }));
        ASSERT_TRUE(AwaitTrue([&] {
            return place(Res::IDC_JOIN) == join.translated(growth.width(), growth.height());
        }));
        splitX = bar->mapTo(&window, QPoint(0, 0)).x();
        Click(FindButton(window, "Close"));
    });
    const std::optional<CWindowRect> stored = LoadMainSettings(Key()).m_lastPos;
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->Width(), created.width() + growth.width());
    // The next window opens at that size with the bar where it was left, to the whole percent
    // of the width that is stored.
    Open([&](QWidget& window) {
        EXPECT_EQ(window.size(), created + growth);
        QWidget* bar = W(Res::IDC_SPLITTER);
        EXPECT_NEAR(bar->mapTo(&window, QPoint(0, 0)).x(), splitX,
                    bar->parentWidget()->width() / 100 + 1);
        Click(FindButton(window, "Close"));
    });
}

TEST_F(MainWindowJourneyTest, TabVisitsEveryControlOnceAndTheArrowsTurnTheTabs) {
    // The controls Tab visits, by their identifiers.
    const auto round = [&](QWidget& window) {
        std::string ids;
        for (QWidget* focused : TabRound(window))
            for (const auto& [wnd, widget] : m_platform.m_widgets)
                if (wnd->GetParent() == m_dialog &&
                    (widget == focused || widget->isAncestorOf(focused)))
                    ids += std::to_string(wnd->GetDlgCtrlID()) + ";";
        return ids;
    };
    Open([&](QWidget& window) {
        Click(W(Res::IDC_PASSWORD));
        const std::string buttons = "1018;1046;1049;2;1033;1020;";
        const std::string options = "1036;1024;1022;1047;1004;1102;1045;1042;1044;1010;1019;1032;";
        EXPECT_EQ(round(window), buttons + "1023;1011;" + options);
        // On the tabs, Right shows the server list, whose two tables and splitter come next.
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), W(Res::IDC_VIEW_TABS));
        QTest::keyClick(W(Res::IDC_VIEW_TABS), Qt::Key_Right);
        EXPECT_TRUE(W(Res::IDC_SERVERS)->isVisible());
        EXPECT_EQ(round(window), "1012;1009;" + options + "1041;" + buttons);
        QTest::keyClick(W(Res::IDC_VIEW_TABS), Qt::Key_Left);
        EXPECT_TRUE(W(Res::IDC_ALL_PLAYERS)->isVisible());
        Click(FindButton(window, "Close"));
    });
    EXPECT_EQ(Key().ReadNumber(kLastViewValue, 1), 0u);
}
