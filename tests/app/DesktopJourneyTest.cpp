// Journeys of the main window on today's desktops: a query that finds nothing, keys people
// expect, dark palettes. Real widgets on the offscreen Qt platform, a loopback test network in
// this process.
#include "app/MainDialog.h"
#include "app/ServerInfoDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "app/core/StartupQuery.h"
#include "net/RegistryKey.h"
#include "resources/ResourceIds.h"
#include "tests/app/Journey.h"
#include "tests/app/MainWindowFixture.h"
#include "tools/TestNet.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QProgressBar>
#include <QStyleOption>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace Journey;

namespace {

class DesktopJourneyTest : public CMainWindowJourney {
protected:
    QProgressBar* Bar() { return qobject_cast<QProgressBar*>(W(Res::IDC_PROGRESS)); }
};

} // namespace

TEST_F(DesktopJourneyTest, AMasterListingNothingEndsTheRunWithTheBarAtRest) {
    CTestNet empty(CTestNetConfig{});
    empty.Start();
    Open([&](QWidget& window) {
        QueryMaster();
        ASSERT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        ASSERT_NE(Bar(), nullptr);
        EXPECT_GE(Bar()->maximum(), 1);

        // Given a master that lists no server, the bar shows it is busy while the master is
        // asked,
        m_dialog->Engine().SetMasterAddress(
            CSockAddr("127.0.0.1:" + std::to_string(empty.GetMasterPort())));
        m_dialog->Engine().SetMasterWaits(300, 100);
        int busyMaximum = -1;
        QTimer::singleShot(40, [&] { busyMaximum = Bar()->maximum(); });
        Click(W(Res::IDC_QUERY_MASTER));
        EXPECT_EQ(busyMaximum, 0);
        // and once the empty list is in, the run is over: no table rows, the counters at 0
        // and the bar at rest instead of an endless busy animation.
        EXPECT_TRUE(AwaitTrue([&] { return !m_dialog->Engine().IsRunning(); }));
        EXPECT_EQ(m_dialog->ServerTable().GetRowCount(), 0);
        EXPECT_EQ(m_dialog->AllPlayersTable().GetRowCount(), 0);
        EXPECT_EQ(Text(Res::IDC_SERVERS_TO_QUERY), "0");
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "0");
        EXPECT_GE(Bar()->maximum(), 1);
        EXPECT_EQ(Bar()->value(), 0);
        if (!std::getenv("VANTREL_EMPTY_RUN_SHOT"))
            return;
        window.grab().save(std::getenv("VANTREL_EMPTY_RUN_SHOT"));
    });
}

TEST_F(DesktopJourneyTest, APictureRunOfAMasterListingNothingWritesItsPicture) {
    CTestNet empty(CTestNetConfig{});
    empty.Start();
    Key().WriteString(kMasterValue, "127.0.0.1:" + std::to_string(empty.GetMasterPort()));
    CCommandLine line;
    line.m_startupQuery = kStartupMaster;
    line.m_screenshot = (std::filesystem::current_path() / "empty.png").string();
    CMainDialog dialog(line);
    // A run that never ends never writes the picture.
    bool written = false;
    Play(m_platform, dialog, [&](QWidget&) {
        written = AwaitTrue([&] { return std::filesystem::exists(*line.m_screenshot); }, 8000);
    });
    EXPECT_TRUE(written);
    std::ifstream picture(*line.m_screenshot, std::ios::binary);
    char magic[4] = {};
    picture.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

TEST_F(DesktopJourneyTest, FavouritesAnotherWindowAddedSurviveTheDialogsOk) {
    // Given two favourites in the file,
    {
        std::ofstream file(m_dir.Path() / "favorites.dat", std::ios::binary);
        file << "10.0.0.1:1\tOne\t\r\n10.0.0.2:2\tTwo\t\r\n";
    }
    std::string betaAddress;
    Open([&](QWidget& window) {
        CMainDialog* const first = m_dialog;
        CExpectWindow favourites(
            [&](QWidget& dialog) {
                // when window A's favourites dialog deletes "Two" (its top row),
                Tavex::CTableCtrl* table = nullptr;
                for (auto& [wnd, widget] : m_platform.m_widgets)
                    if (auto* candidate =
                            dynamic_cast<Tavex::CTableCtrl*>(const_cast<Platform::CWnd*>(wnd));
                        candidate && dialog.isAncestorOf(widget))
                        table = candidate;
                ASSERT_NE(table, nullptr);
                ASSERT_EQ(table->GetRowCount(), 2);
                CTableUser rows(m_platform, *table);
                rows.ClickCell(0, 0);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                Click(FindButton(dialog, "Delete"));
                ASSERT_EQ(table->GetRowCount(), 1);

                // while a second main window adds Beta with "Add to favorites",
                CMainDialog second;
                m_dialog = &second;
                Play(m_platform, second, [&](QWidget& other) {
                    ClickTab(1);
                    QueryMaster();
                    CTableUser servers(m_platform, second.ServerTable());
                    const int beta = ServerRow("Beta");
                    betaAddress = second.ServerTable().GetCellText(beta, ServerColumn::kIp);
                    servers.ClickCell(beta, ServerColumn::kServer);
                    CExpectWindow menu(
                        [&](QWidget& shown) { ChooseMenuItem(shown, "Add to favorites"); });
                    servers.RightClickCell(beta, ServerColumn::kServer);
                    Click(FindButton(other, "Close"));
                });
                m_dialog = first;
                // and A's dialog then takes OK,
                Click(FindButton(dialog, "OK"));
            },
            "favourites");
        Click(W(Res::IDC_FAVORITES_DIALOG));
        Click(FindButton(window, "Close"));
    });
    // then A's deletion holds and B's addition is still there.
    ASSERT_FALSE(betaAddress.empty());
    EXPECT_EQ(CTempWorkDir::ReadFile(m_dir.Path() / "favorites.dat"),
              "10.0.0.1:1\tOne\t\r\n" + betaAddress + "\tBeta\t\r\n");
}

TEST_F(DesktopJourneyTest, DesktopKeysCopySelectOpenTheMenuTurnTabsAndFocusShows) {
    Open([&](QWidget& window) {
        // The first focused control shows its focus frame before any Tab was pressed.
        QWidget* first = QApplication::focusWidget();
        ASSERT_NE(first, nullptr);
        QStyleOption option;
        option.initFrom(first);
        EXPECT_TRUE(option.state & QStyle::State_HasFocus);
        EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange);

        QueryMaster();
        Tavex::CTableCtrl& table = m_dialog->AllPlayersTable();
        CTableUser all(m_platform, table);
        ASSERT_EQ(table.GetRowCount(), 6);
        all.ClickCell(0, AllPlayersColumn::kPlayer);
        all.Key(Qt::Key_Down, Qt::ShiftModifier);

        // Ctrl+C copies the two selected rows as the menu's "Copy" does.
        QApplication::clipboard()->clear();
        all.Key(Qt::Key_C, Qt::ControlModifier);
        const QString byKey = QApplication::clipboard()->text();
        EXPECT_EQ(byKey.count(QLatin1String("\r\n")), 2);
        {
            CExpectWindow menu([&](QWidget& shown) { ChooseMenuItem(shown, "Copy"); }, "menu");
            all.RightClickCell(0, AllPlayersColumn::kPlayer);
        }
        EXPECT_EQ(QApplication::clipboard()->text(), byKey);

        // Ctrl+A selects every row.
        all.Key(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(table.GetTable()->GetSelectedCount(), 6);

        // Shift+F10 opens the body menu, as the Menu key does.
        auto menuBy = [&](const std::function<void()>& press) {
            std::string texts;
            CExpectWindow menu(
                [&](QWidget& shown) {
                    texts = MenuTexts(shown);
                    shown.close();
                },
                "a menu from the keyboard");
            press();
            return texts;
        };
        const std::string byShiftF10 = menuBy([&] { all.Key(Qt::Key_F10, Qt::ShiftModifier); });
        EXPECT_NE(byShiftF10.find("Copy;Copy all;"), std::string::npos) << byShiftF10;
        // The window system turns the Menu key into a keyboard menu request.
        const std::string byMenuKey = menuBy([&] {
            QWidget* focus = QApplication::focusWidget();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(),
                                      focus->mapToGlobal(QPoint()));
            QApplication::sendEvent(focus, &request);
        });
        EXPECT_EQ(byShiftF10, byMenuKey);
        // The focus frame stays once the mouse was used.
        option.initFrom(QApplication::focusWidget());
        EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange);

        // Ctrl+Tab turns to the server list and Ctrl+Shift+Tab back, from inside a table.
        QWidget* const focus = QApplication::focusWidget();
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(W(Res::IDC_SERVERS)->isVisible());
        EXPECT_FALSE(W(Res::IDC_ALL_PLAYERS)->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(W(Res::IDC_ALL_PLAYERS)->isVisible());
        // Some systems send Ctrl+Shift+Tab as Tab with Shift.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(W(Res::IDC_ALL_PLAYERS)->isVisible());
        // Around the end it comes back to the first.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(W(Res::IDC_ALL_PLAYERS)->isVisible());
        Click(FindButton(window, "Close"));
    });
}

TEST_F(DesktopJourneyTest, AVeryLongValueLeavesTheVariableColumnReadable) {
    CServerRecord record;
    record.m_name = "Long";
    const std::string longValue(3000, 'v');
    record.m_variables = {{"sv_hostname", "Long"}, {"g_motd", longValue}, {"version", "JK2MP"}};
    CServerInfoDialog dialog(record);
    Play(m_platform, dialog, [&](QWidget& shown) {
        Tavex::CTableCtrl& table = dialog.Table();
        const int page = table.GetClientRect().Width();
        // Both columns keep a good part of the table, the names whole,
        EXPECT_GE(table.GetColumnWidth(0), page / 4);
        EXPECT_GE(table.GetColumnWidth(1), page / 4);
        int names = 0;
        for (const char* name : {"sv_hostname", "g_motd", "version"})
            names = std::max(names, QFontMetrics(shown.font()).horizontalAdvance(name));
        EXPECT_GT(table.GetColumnWidth(0), names);
        // and the long value is cut only on the screen: its cell holds it whole for the copy.
        const int row = table.FindRowByPrefix(0, "g_motd", -1);
        ASSERT_GE(row, 0);
        EXPECT_EQ(table.GetCellText(row, 1), longValue);
        Click(FindButton(shown, "Close"));
    });
}

TEST_F(DesktopJourneyTest, ScreenReadersSeeTheTablesRowsColumnsTitlesAndCurrentCell) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        Tavex::CTableCtrl& table = m_dialog->ServerTable();
        CTableUser servers(m_platform, table);
        servers.ClickCell(ServerRow("Beta"), ServerColumn::kServer);

        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(W(Res::IDC_SERVERS));
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->role(), QAccessible::Table);
        QAccessibleTableInterface* rows = grid->tableInterface();
        ASSERT_NE(rows, nullptr);
        // Every row, and the columns the user sees (the hidden record column is not one).
        EXPECT_EQ(rows->rowCount(), 3);
        int visible = 0;
        for (int c : table.GetDisplayOrder())
            visible += table.IsColumnVisible(c) ? 1 : 0;
        EXPECT_EQ(rows->columnCount(), visible);
        EXPECT_EQ(rows->columnDescription(0).toStdString(),
                  table.GetColumnTitle(table.GetDisplayOrder()[0]));
        // Each cell reads as it is displayed.
        const int beta = ServerRow("Beta");
        int serverColumn = -1;
        for (int c = 0; c < rows->columnCount(); ++c)
            if (rows->columnDescription(c) == "Server")
                serverColumn = c;
        ASSERT_GE(serverColumn, 0);
        QAccessibleInterface* cell = rows->cellAt(beta, serverColumn);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->role(), QAccessible::Cell);
        EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), "Beta");
        EXPECT_EQ(cell, rows->cellAt(beta, serverColumn)) << "one cell, one object";
        EXPECT_EQ(cell->tableCellInterface()->rowIndex(), beta);
        // The selection and the current cell follow the keys.
        EXPECT_EQ(rows->selectedRows(), QList<int>{beta});
        ASSERT_NE(grid->focusChild(), nullptr);
        EXPECT_EQ(grid->focusChild()->tableCellInterface()->rowIndex(), beta);
        servers.Key(Qt::Key_Down);
        EXPECT_EQ(grid->focusChild()->tableCellInterface()->rowIndex(), beta + 1);
        EXPECT_TRUE(grid->focusChild()->state().focused);
        EXPECT_EQ(rows->selectedRows(), QList<int>{beta + 1});
        EXPECT_EQ(rows->cellAt(3, 0), nullptr);
        Click(FindButton(window, "Close"));
    });
}
