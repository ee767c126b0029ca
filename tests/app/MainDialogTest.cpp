#include "app/MainDialog.h"

#include "app/FavoritesDialog.h"
#include "app/MasterServerDialog.h"
#include "app/OptionsDialog.h"
#include "app/ServerInfoDialog.h"
#include "app/core/MainTables.h"
#include "app/core/SearchHistory.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "net/SockUDP.h"
#include "platform/Controls.h"
#include "resources/ResourceIds.h"
#include "table/Cells.h"
#include "table/LayoutRecord.h"
#include "tests/app/LoopbackMaster.h"
#include "tests/app/StandInGame.h"
#include "tests/app/TempWorkDir.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

using namespace Platform;
using TestSupport::FakePlatform;

namespace {

constexpr const char* kLoopbackMaster = "127.0.0.1:28060";

CServerRecord& AddServer(CServerList& list, int port, int players, int maxClients,
                         const std::string& name = "Server") {
    CServerRecord& record = list.FindOrInsert(CSockAddr("127.0.0.1:" + std::to_string(port)));
    record.m_name = name;
    record.m_maxClients = maxClients;
    record.m_ping = 20 + port % 100;
    record.m_state = CServerRecord::kStateAnswered;
    for (int i = 0; i < players; ++i)
        record.m_players.push_back({"P" + std::to_string(port) + "_" + std::to_string(i), i, i});
    return record;
}

class MainDialogTest : public testing::Test {
protected:
    MainDialogTest() {
        TestSupport::TestApp();
        // The default master is a host name, and resolving it would leave this machine.
        CRegistryKey key = Key();
        StoreLoopbackMaster(key, kLoopbackMaster);
    }

    CRegistryKey Key() {
        CRegistryKey key;
        OpenSettingsKey(key);
        return key;
    }

    // Opens the main window, lets the posted start-up work run, plays the user, then closes it
    // with "Close".
    void OpenMain(CMainDialog& dialog, const std::function<void(CMainDialog&)>& user) {
        m_platform.onModal = [&](CWnd& shown) {
            if (&shown != &dialog) {
                if (m_nested)
                    m_nested(shown);
                return;
            }
            QCoreApplication::sendPostedEvents();
            user(dialog);
            m_platform.ClickButton(*dialog.GetDlgItem(IDCANCEL));
        };
        dialog.DoModal(m_platform, nullptr);
    }

    // A query over the engine's list with the check boxes as they stand, run by hand: the
    // window gets the finished servers as the worker would hand them over.
    void StartByHand(CMainDialog& dialog) {
        ASSERT_TRUE(dialog.Engine().PrepareQuery());
        dialog.OnQueryStarted(0, dialog.Engine().GetServerList().Size());
    }

    std::string Text(CMainDialog& dialog, unsigned id) { return dialog.GetDlgItemText(id); }

    CTempWorkDir m_dir;
    FakePlatform m_platform;
    // Plays the user in a dialog the main window opens.
    std::function<void(CWnd&)> m_nested;
};

} // namespace

TEST_F(MainDialogTest, FreshUserGetsTheDefaultsAndTheKeyExistsAfterwards) {
    EXPECT_FALSE(Key().ValueExists(kSpeedValue));
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        EXPECT_EQ(d.GetView(), 0);
        EXPECT_TRUE(d.AllPlayersTable().IsWindowVisible());
        EXPECT_FALSE(d.ServerTable().IsWindowVisible());
        EXPECT_FALSE(d.Splitter().IsWindowVisible());
        EXPECT_EQ(d.Control(Res::IDC_SPEED).GetLBText(d.Control(Res::IDC_SPEED).GetCurSel()),
                  "ISDN");
        EXPECT_EQ(d.Control(Res::IDC_VERSION).GetLBText(d.Control(Res::IDC_VERSION).GetCurSel()),
                  "All");
        EXPECT_EQ(d.IsDlgButtonChecked(Res::IDC_INCLUDE_FULL), BST_CHECKED);
        EXPECT_EQ(d.IsDlgButtonChecked(Res::IDC_INCLUDE_EMPTY), BST_UNCHECKED);
        EXPECT_TRUE(d.GetAutoClose());
        EXPECT_FALSE(d.GetAutoRequery());
        EXPECT_EQ(d.Control(Res::IDC_SEARCH_FIELD).GetCount(), 0);
        EXPECT_EQ(Text(d, Res::IDC_PASSWORD), "");
        EXPECT_EQ(d.GetWindowText(), "Vantrel Jedi Knight 2");
        // The fixture stores no start-up query (a newcomer's asks the masters, which a journey
        // shows): nothing ran and nobody was told of a failure.
        EXPECT_FALSE(d.Engine().IsRunning());
        EXPECT_EQ(m_platform.waitCursors, 0);
        EXPECT_TRUE(m_platform.messageBoxes.empty());
    });
    CRegistryKey key = Key();
    EXPECT_EQ(key.ReadNumber(kSpeedValue, 99), 1u);
    EXPECT_EQ(key.ReadNumber(kVersionValue, 99), 17u);
    EXPECT_EQ(key.ReadNumber(kLastViewValue, 99), 0u);
    EXPECT_TRUE(key.ValueExists(kLastPosValue));
    EXPECT_TRUE(key.ValueExists(kServerLayoutValue));
}

TEST_F(MainDialogTest, StoredVersionSelectsItsLineAndAnythingElseTheSecond) {
    for (std::uint32_t stored : {15u, 16u, 17u, 14u, 18u}) {
        Key().WriteNumber(kVersionValue, stored);
        const int line = stored >= 15 && stored <= 17 ? static_cast<int>(stored - 15) : 1;
        CMainDialog dialog;
        OpenMain(dialog, [&](CMainDialog& d) {
            EXPECT_EQ(d.Control(Res::IDC_VERSION).GetCurSel(), line) << stored;
            EXPECT_EQ(d.GetVersionIndex(), line);
        });
        EXPECT_EQ(Key().ReadNumber(kVersionValue, 0), 15u + line) << stored;
    }
}

TEST_F(MainDialogTest, LastPosNarrowerThanTheTemplateIsIgnoredWithTheSplitter) {
    Rect created;
    int defaultSplit = 0;
    {
        CMainDialog dialog;
        OpenMain(dialog, [&](CMainDialog& d) {
            created = d.GetWindowRect();
            defaultSplit = d.Splitter().GetPos();
        });
    }
    ASSERT_NE(defaultSplit, 30);
    const CWindowRect narrow{10, 20, 10 + created.Width() - 1, 20 + created.Height() + 40};
    WriteWindowRect(*std::make_unique<CRegistryKey>(Key()), kLastPosValue, narrow);
    Key().WriteNumber(kSplitPosValue, 30);
    {
        CMainDialog dialog;
        OpenMain(dialog, [&](CMainDialog& d) {
            EXPECT_EQ(d.GetWindowRect(), created);
            EXPECT_EQ(d.Splitter().GetPos(), defaultSplit);
        });
    }
    const CWindowRect exact{10, 20, 10 + created.Width(), 20 + created.Height() + 40};
    CRegistryKey key = Key();
    WriteWindowRect(key, kLastPosValue, exact);
    key.WriteNumber(kSplitPosValue, 30);
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        EXPECT_EQ(d.GetWindowRect(), (Rect{10, 20, 10 + created.Width(), 60 + created.Height()}));
        EXPECT_EQ(d.Splitter().GetPos(), 30);
    });
}

TEST_F(MainDialogTest, LastViewOutsideTheTabsGivesThePlayerViewAndRunOnlyOptionsAreNotWritten) {
    Key().WriteNumber(kLastViewValue, 5);
    {
        CMainDialog dialog;
        OpenMain(dialog, [&](CMainDialog& d) {
            EXPECT_EQ(d.Control(Res::IDC_VIEW_TABS).GetCurSel(), 0);
            EXPECT_EQ(d.GetView(), 0);
            EXPECT_TRUE(d.AllPlayersTable().IsWindowVisible());
        });
    }
    EXPECT_EQ(Key().ReadNumber(kLastViewValue, 9), 0u);

    Key().WriteString(kMasterValue, "10.1.2.3:28060");
    CCommandLine commandLine;
    commandLine.m_view = 1;
    commandLine.m_master = "127.0.0.1:29999";
    CMainDialog dialog(commandLine);
    OpenMain(dialog, [&](CMainDialog& d) {
        EXPECT_EQ(d.GetView(), 1);
        EXPECT_TRUE(d.ServerTable().IsWindowVisible());
        EXPECT_TRUE(d.PlayersOnServerTable().IsWindowVisible());
        EXPECT_FALSE(d.AllPlayersTable().IsWindowVisible());
        EXPECT_EQ(d.Engine().GetMasters().front(), "127.0.0.1:29999");
    });
    EXPECT_EQ(Key().ReadNumber(kLastViewValue, 9), 0u);
    EXPECT_EQ(Key().ReadString(kMasterValue, ""), "10.1.2.3:28060");
}

TEST_F(MainDialogTest, TabChangeAppliesTheViewAndIsWrittenAtClose) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        EXPECT_EQ(d.GetView(), 1);
        EXPECT_TRUE(d.Splitter().IsWindowVisible());
        EXPECT_FALSE(d.AllPlayersTable().IsWindowVisible());
    });
    EXPECT_EQ(Key().ReadNumber(kLastViewValue, 9), 1u);
}

TEST_F(MainDialogTest, FiltersDecideWhichFinishedServersAreListed) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        // Full servers excluded, empty ones too.
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_INCLUDE_FULL));
        CServerList& list = d.Engine().GetServerList();
        AddServer(list, 1, 0, 16);
        AddServer(list, 2, 16, 16);
        AddServer(list, 3, 0, 0);
        AddServer(list, 4, 3, 16, "Shown");
        StartByHand(d);
        for (auto& [address, record] : list)
            d.OnServerDone(0, &record);
        ASSERT_EQ(d.ServerTable().GetRowCount(), 1);
        EXPECT_EQ(d.ServerTable().GetCellText(0, ServerColumn::kServer), "Shown");
        EXPECT_EQ(d.AllPlayersTable().GetRowCount(), 3);
        EXPECT_EQ(Text(d, Res::IDC_SERVER_COUNT), "1");
        EXPECT_EQ(Text(d, Res::IDC_PLAYER_COUNT), "3");
        EXPECT_EQ(Text(d, Res::IDC_SERVERS_TO_QUERY), "0");

        // Both boxes on: servers that never answered are listed as they are.
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_INCLUDE_FULL));
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_INCLUDE_EMPTY));
        list.Clear();
        // As a new run leaves them until they answer.
        AddServer(list, 5, 2, 16).Reset();
        AddServer(list, 6, 0, 8).Reset();
        StartByHand(d);
        for (auto& [address, record] : list)
            d.OnServerDone(0, &record);
        ASSERT_EQ(d.ServerTable().GetRowCount(), 2);
        EXPECT_EQ(d.ServerTable().GetCell(0, ServerColumn::kPing)->GetInt(), 9999);
        EXPECT_EQ(d.ServerTable().GetCellText(0, ServerColumn::kPlayers), "0/0");
        // A check box changed during a run changes nothing until the next one.
        EXPECT_TRUE(d.Engine().GetIncludeEmpty());
    });
}

TEST_F(MainDialogTest, CounterAndProgressMoveOnlyOnEvenCountsAndTheEndSortsAndResets) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        CServerList& list = d.Engine().GetServerList();
        for (int port = 1; port <= 7; ++port)
            AddServer(list, port, 1, 16).m_ping = 100 - port;
        StartByHand(d);
        EXPECT_EQ(Text(d, Res::IDC_SERVERS_TO_QUERY), "7");
        const TestSupport::FakeWindow& bar = m_platform.Window(*d.GetDlgItem(Res::IDC_PROGRESS));
        EXPECT_EQ(bar.rangeMax, 7);
        std::vector<std::string> shown;
        std::vector<int> positions;
        for (auto& [address, record] : list) {
            d.OnServerDone(0, &record);
            // Results show with the next frame, the last one at once.
            if (&record != &std::prev(list.end())->second) {
                EXPECT_EQ(Text(d, Res::IDC_SERVERS_TO_QUERY), shown.empty() ? "7" : shown.back());
                m_platform.Advance(40);
            }
            shown.push_back(Text(d, Res::IDC_SERVERS_TO_QUERY));
            positions.push_back(d.Control(Res::IDC_PROGRESS).GetPos());
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"6", "6", "4", "4", "2", "2", "0"}));
        EXPECT_EQ(positions, (std::vector<int>{2, 2, 4, 4, 6, 6, 0}));
        // The final sort by ping puts the fastest, the last listed, first.
        EXPECT_EQ(d.ServerTable().GetCellText(0, ServerColumn::kPing), "93");
        // A result of a run that is no longer current is dropped.
        const int rows = d.ServerTable().GetRowCount();
        d.OnServerDone(5, &list.begin()->second);
        EXPECT_EQ(d.ServerTable().GetRowCount(), rows);
    });
}

TEST_F(MainDialogTest, RowsOrderAndCountersAtTheEndDoNotDependOnHowFramesFell) {
    // The same run presented after every result, after every few, and only at its end.
    std::vector<std::vector<std::string>> ends;
    for (int every : {1, 3, 1000}) {
        CMainDialog dialog;
        OpenMain(dialog, [&](CMainDialog& d) {
            CServerList& list = d.Engine().GetServerList();
            for (int port = 1; port <= 40; ++port)
                AddServer(list, port, port % 4, 16, "S" + std::to_string(port % 7)).m_ping =
                    port % 5;
            StartByHand(d);
            int done = 0;
            for (auto& [address, record] : list) {
                d.OnServerDone(0, &record);
                if (++done % every == 0)
                    m_platform.Advance(40);
            }
            std::vector<std::string> end{Text(d, Res::IDC_SERVERS_TO_QUERY),
                                         Text(d, Res::IDC_SERVER_COUNT),
                                         Text(d, Res::IDC_PLAYER_COUNT),
                                         std::to_string(d.Control(Res::IDC_PROGRESS).GetPos())};
            for (Tavex::CTableCtrl* table : {&d.ServerTable(), &d.AllPlayersTable()})
                for (int row = 0; row < table->GetRowCount(); ++row)
                    end.push_back(table->GetCellText(row, 0) + "|" + table->GetCellText(row, 2));
            ends.push_back(end);
        });
    }
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0], ends[1]);
    EXPECT_EQ(ends[0], ends[2]);
    EXPECT_EQ(ends[0][0], "0");
    EXPECT_EQ(ends[0][1], "30"); // empty servers are left out by default
}

TEST_F(MainDialogTest, SelectingAServerFillsItsPlayersAndNoneEmptiesThem) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        CServerList& list = d.Engine().GetServerList();
        AddServer(list, 1, 3, 16, "Three");
        AddServer(list, 2, 1, 16, "One");
        StartByHand(d);
        for (auto& [address, record] : list)
            d.OnServerDone(0, &record);
        // The server table selects several rows, so its notification names none: the chosen
        // row is the current one.
        Tavex::CTableCtrl& servers = d.ServerTable();
        const int row = servers.FindRowByPrefix(ServerColumn::kServer, "Three", -1);
        const int y = servers.RowToY(row) + servers.GetRowHeight() / 2;
        m_platform.Click(servers.GetBody(), Point{20, y});
        EXPECT_EQ(d.PlayersOnServerTable().GetRowCount(), 3);
        m_platform.SetKeyDown(VK_CONTROL, true);
        m_platform.Click(servers.GetBody(), Point{20, y});
        m_platform.SetKeyDown(VK_CONTROL, false);
        EXPECT_EQ(d.PlayersOnServerTable().GetRowCount(), 0);
    });
}

TEST_F(MainDialogTest, ServerMenuItemsAreDisabledOffTheRowsAndWorkOnARow) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        m_platform.ContextMenu(d.ServerTable().GetBody(), Point{40, 100});
        ASSERT_FALSE(m_platform.menus.tracked.empty());
        auto items = m_platform.menus.tracked.back().items;
        ASSERT_GE(items.size(), 4u);
        EXPECT_EQ(items[0].caption, "Add to favorites");
        EXPECT_EQ(items[0].id, 57341u);
        EXPECT_NE(items[0].flags & MF_GRAYED, 0u);
        EXPECT_EQ(items[2].caption, "Show server info");
        EXPECT_EQ(items[2].id, 57343u);
        EXPECT_NE(items[2].flags & MF_GRAYED, 0u);

        CServerList& list = d.Engine().GetServerList();
        CServerRecord& record = AddServer(list, 1, 2, 16, "Fav");
        record.m_variables = {
            {"sv_hostname", "Fav"}, {"g_gametype", "0"}, {"fraglimit", "20"}, {"fraglimit", "30"}};
        StartByHand(d);
        d.OnServerDone(0, &record);
        m_platform.menus.chooser = [](const auto&) { return 57341u; };
        m_platform.ContextMenu(d.ServerTable().GetBody(),
                               Point{40, d.ServerTable().GetRowHeight() / 2});
        EXPECT_EQ(m_platform.menus.tracked.back().items[0].flags & MF_GRAYED, 0u);
        EXPECT_EQ(CTempWorkDir::ReadFile("favorites.dat"), "127.0.0.1:1\tFav\t\r\n");

        std::vector<std::string> variables;
        std::string title;
        m_nested = [&](CWnd& shown) {
            auto& info = dynamic_cast<CServerInfoDialog&>(shown);
            title = info.GetWindowText();
            for (int row = 0; row < info.Table().GetRowCount(); ++row)
                variables.push_back(info.Table().GetCellText(row, 0));
        };
        m_platform.menus.chooser = [](const auto&) { return 57343u; };
        m_platform.ContextMenu(d.ServerTable().GetBody(),
                               Point{40, d.ServerTable().GetRowHeight() / 2});
        EXPECT_EQ(title, "Fav");
        EXPECT_EQ(variables, (std::vector<std::string>{"fraglimit", "fraglimit", "g_gametype",
                                                       "sv_hostname"}));
    });
}

TEST_F(MainDialogTest, FavouritesOpenFromTheirButtonAndAnUnwritableListIsReported) {
    CTempWorkDir::WriteFile("favorites.dat", "127.0.0.1:1\tFav\t\n");
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        std::vector<std::string> names;
        m_nested = [&](CWnd& shown) {
            auto& favorites = dynamic_cast<CFavoritesDialog&>(shown);
            EXPECT_EQ(favorites.GetWindowText(), "Favorites ...");
            for (int row = 0; row < favorites.Table().GetRowCount(); ++row)
                names.push_back(favorites.Table().GetCellText(row, 0));
        };
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_FAVORITES_DIALOG));
        EXPECT_EQ(names, std::vector<std::string>{"Fav"});

        // Already listed: nothing is written, nothing said.
        CServerRecord& record = AddServer(d.Engine().GetServerList(), 1, 2, 16, "Fav");
        StartByHand(d);
        d.OnServerDone(0, &record);
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        m_platform.menus.chooser = [](const auto&) { return 57341u; };
        const Point onRow{40, d.ServerTable().GetRowHeight() / 2};
        m_platform.ContextMenu(d.ServerTable().GetBody(), onRow);
        EXPECT_EQ(CTempWorkDir::ReadFile("favorites.dat"), "127.0.0.1:1\tFav\t\n");
        EXPECT_TRUE(m_platform.messageBoxes.empty());

        std::filesystem::remove("favorites.dat");
        std::filesystem::create_directory("favorites.dat");
        m_platform.ContextMenu(d.ServerTable().GetBody(), onRow);
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].text.rfind("Cannot write the favorites file", 0), 0u)
            << m_platform.messageBoxes[0].text;
        EXPECT_EQ(m_platform.messageBoxes[0].type, MB_OK | MB_ICONSTOP);
    });
}

TEST_F(MainDialogTest, OptionsWriteOnOkOnlyAndTheWindowRereadsItsFlagsEitherWay) {
    Key().WriteNumber(kStartupQueryValue, 7);
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        // Nothing checked for an unknown value; "OK" then writes 0.
        m_nested = [&](CWnd& shown) {
            auto& options = dynamic_cast<COptionsDialog&>(shown);
            for (unsigned id :
                 {Res::IDC_STARTUP_NOTHING, Res::IDC_STARTUP_FAVORITES, Res::IDC_STARTUP_MASTER})
                EXPECT_EQ(options.IsDlgButtonChecked(id), BST_UNCHECKED);
            EXPECT_EQ(options.IsDlgButtonChecked(Res::IDC_AUTO_CLOSE), BST_CHECKED);
            // The background requery works now, every 60 s unless told otherwise.
            EXPECT_TRUE(options.GetDlgItem(Res::IDC_AUTO_REQUERY)->IsWindowEnabled());
            EXPECT_EQ(options.GetDlgItemText(Res::IDC_REQUERY_SECONDS), "60");
            m_platform.ClickButton(*options.GetDlgItem(IDOK));
        };
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_OPTIONS));
        EXPECT_EQ(Key().ReadNumber(kStartupQueryValue, 9), 0u);

        // The choices exclude each other; "OK" writes the box and the choice.
        m_nested = [&](CWnd& shown) {
            auto& options = dynamic_cast<COptionsDialog&>(shown);
            EXPECT_EQ(options.IsDlgButtonChecked(Res::IDC_STARTUP_NOTHING), BST_CHECKED);
            m_platform.ClickButton(*options.GetDlgItem(Res::IDC_STARTUP_MASTER));
            EXPECT_EQ(options.IsDlgButtonChecked(Res::IDC_STARTUP_NOTHING), BST_UNCHECKED);
            m_platform.ClickButton(*options.GetDlgItem(Res::IDC_AUTO_CLOSE));
            m_platform.ClickButton(*options.GetDlgItem(Res::IDC_AUTO_REQUERY));
            // Too short an interval is taken as the shortest allowed.
            m_platform.TypeText(*options.GetDlgItem(Res::IDC_REQUERY_SECONDS), "5");
            m_platform.ClickButton(*options.GetDlgItem(IDOK));
        };
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_OPTIONS));
        EXPECT_EQ(Key().ReadNumber(kStartupQueryValue, 9), 2u);
        EXPECT_EQ(Key().ReadNumber(kAutoCloseValue, 9), 0u);
        EXPECT_EQ(Key().ReadNumber(kAutoRequeryValue, 9), 1u);
        EXPECT_EQ(Key().ReadNumber(kRequerySecondsValue, 9), 15u);
        EXPECT_FALSE(d.GetAutoClose());
        EXPECT_TRUE(d.GetAutoRequery());

        // "Cancel" writes nothing, but the flags are read again from the store.
        m_nested = [&](CWnd& shown) {
            auto& options = dynamic_cast<COptionsDialog&>(shown);
            m_platform.ClickButton(*options.GetDlgItem(Res::IDC_STARTUP_FAVORITES));
            Key().WriteNumber(kAutoCloseValue, 1);
            m_platform.ClickButton(*options.GetDlgItem(IDCANCEL));
        };
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_OPTIONS));
        EXPECT_EQ(Key().ReadNumber(kStartupQueryValue, 9), 2u);
        EXPECT_TRUE(d.GetAutoClose());
    });
}

TEST_F(MainDialogTest, LayoutFollowsTheWindowAndRestoresExactlyAndTheSplitterKeepsItsLimits) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        auto rectOf = [&](CWnd& wnd) { return d.ScreenToClientRect(wnd.GetWindowRect()); };
        CWnd& search = *d.GetDlgItem(Res::IDC_SEARCH);
        CWnd& tabs = *d.GetDlgItem(Res::IDC_VIEW_TABS);
        const Rect window = d.GetWindowRect();
        const Rect searchBefore = rectOf(search);
        const Rect tabsBefore = rectOf(tabs);
        const Rect tableBefore = rectOf(d.AllPlayersTable());

        d.MoveWindow({window.left, window.top, window.right + 50, window.bottom + 50});
        EXPECT_EQ(rectOf(search).left, searchBefore.left + 50);
        EXPECT_EQ(rectOf(search).top, searchBefore.top + 50);
        EXPECT_EQ(rectOf(search).Width(), searchBefore.Width());
        EXPECT_EQ(rectOf(tabs).Width(), tabsBefore.Width() + 50);
        EXPECT_EQ(rectOf(d.AllPlayersTable()).Width(), tableBefore.Width() + 50);
        EXPECT_EQ(rectOf(d.AllPlayersTable()).Height(), tableBefore.Height() + 50);

        d.MoveWindow(window);
        EXPECT_EQ(rectOf(search), searchBefore);
        EXPECT_EQ(rectOf(tabs), tabsBefore);
        EXPECT_EQ(rectOf(d.AllPlayersTable()), tableBefore);

        EXPECT_EQ(d.Splitter().SetPos(10), 15);
        EXPECT_EQ(d.Splitter().SetPos(90), 65);
        EXPECT_EQ(d.Splitter().SetPos(40), 40);
        // The tables beside the splitter keep their gaps to it.
        EXPECT_LT(rectOf(d.ServerTable()).right, rectOf(d.Splitter()).left + 1);
        EXPECT_GT(rectOf(d.PlayersOnServerTable()).left, rectOf(d.Splitter()).right - 1);
    });
}

TEST_F(MainDialogTest, StartupQueryRunsOnceTheWindowIsUpAndClosingStopsIt) {
    CTempWorkDir::WriteFile("favorites.dat", "127.0.0.1:9\tNobody\t\n127.0.0.1:7\tEcho\t\n");
    Key().WriteNumber(kStartupQueryValue, 1);
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        EXPECT_TRUE(d.Engine().IsRunning());
        EXPECT_EQ(d.Engine().GetServerList().Size(), 2u);
        EXPECT_EQ(Text(d, Res::IDC_SERVERS_TO_QUERY), "2");
    });
    EXPECT_FALSE(dialog.Engine().IsRunning());

    // 3 is no query at all.
    Key().WriteNumber(kStartupQueryValue, 3);
    CMainDialog idle;
    OpenMain(idle, [&](CMainDialog& d) {
        EXPECT_FALSE(d.Engine().IsRunning());
        EXPECT_EQ(Text(d, Res::IDC_SERVERS_TO_QUERY), "0");
    });
}

TEST_F(MainDialogTest, DoubleClickJoinsThePlayersServerAskingOnAmbiguousPasswordsAndCloses) {
    const auto game = m_dir.Path() / "jk2mp";
    const auto started = m_dir.Path() / "started";
    WriteStandInGame(game, started);
    {
        CRegistryKey key = Key();
        SaveGamePath(key, game.string());
    }
    CMainDialog dialog;
    m_platform.onModal = [&](CWnd& shown) {
        if (&shown != &dialog)
            return;
        QCoreApplication::sendPostedEvents();
        CServerList& list = dialog.Engine().GetServerList();
        AddServer(list, 1, 0, 16, "Empty");
        CServerRecord& record = AddServer(list, 2, 1, 16, "Fav");
        record.m_password = "fav";
        StartByHand(dialog);
        for (auto& [address, listed] : list)
            dialog.OnServerDone(0, &listed);
        dialog.SetDlgItemText(Res::IDC_PASSWORD, " typed\t");
        Tavex::CTableCtrl& players = dialog.AllPlayersTable();
        ASSERT_EQ(players.GetRowCount(), 1);
        players.SetCurrentRow(0);

        // Cancel starts nothing and keeps the window.
        m_platform.messageBoxAnswer = IDCANCEL;
        m_platform.DoubleClick(players.GetBody(), Point{40, players.GetRowHeight() / 2});
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].text,
                  "Ambiguous passwords! Use the favorite one (fav)?");
        EXPECT_EQ(m_platform.messageBoxes[0].type, MB_YESNOCANCEL);
        EXPECT_TRUE(dialog.IsWindow());

        m_platform.messageBoxAnswer = IDYES;
        m_platform.DoubleClick(players.GetBody(), Point{40, players.GetRowHeight() / 2});
    };
    dialog.DoModal(m_platform, nullptr);
    EXPECT_EQ(AwaitStandInRecord(started), m_dir.Path().string() +
                                               "\nconnect \"127.0.0.1:2\"; password \"fav\"" +
                                               std::string(1, '\0'));
    EXPECT_TRUE(m_platform.openFileRequests.empty());
    // The join closed the window as "Close" does, which writes the settings.
    EXPECT_EQ(LoadMainSettings(Key()).m_password, " typed\t");
}

TEST_F(MainDialogTest, JoinButtonAsksForTheGameUntilItStartsAndTheChooserOnlyStoresIt) {
    const auto game = m_dir.Path() / "game" / "jk2mp";
    const auto started = m_dir.Path() / "started";
    std::filesystem::create_directory(m_dir.Path() / "game");
    WriteStandInGame(game, started);
    {
        CRegistryKey key = Key();
        COptions options;
        options.m_autoClose = false;
        options.m_startupQuery = 0;
        SaveOptions(key, options);
    }
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        CServerList& list = d.Engine().GetServerList();
        AddServer(list, 7, 2, 16, "Open").m_password = "fav";
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);

        // No current row: nothing is asked or started.
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_JOIN));
        EXPECT_TRUE(m_platform.openFileRequests.empty());

        // Nothing stored and the typed password empty: the favourite's is not used, no
        // question; the dialog comes back while the start fails.
        d.ServerTable().SetCurrentRow(0);
        m_platform.openFileAnswers = {(m_dir.Path() / "missing").string(), game.string()};
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_JOIN));
        EXPECT_EQ(AwaitStandInRecord(started), (m_dir.Path() / "game").string() +
                                                   "\nconnect 127.0.0.1:7" + std::string(1, '\0'));
        // The chosen file that could not start was named, with why, before the chooser came
        // back.
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].text, "Cannot start the game \"" +
                                                       (m_dir.Path() / "missing").string() +
                                                       "\": not found.");
        ASSERT_EQ(m_platform.openFileRequests.size(), 2u);
        EXPECT_EQ(m_platform.openFileRequests[0].fileName, "jk2mp.exe");
        EXPECT_EQ(m_platform.openFileRequests[0].filter, "Game (*.exe)|*.exe|All files (*)|*||");
        EXPECT_EQ(m_platform.openFileRequests[0].flags, OFN_HIDEREADONLY);
        EXPECT_EQ(LoadGamePath(d.SettingsKey()), game.string());
        EXPECT_TRUE(d.IsWindow());
        EXPECT_EQ(std::filesystem::current_path(), m_dir.Path());

        // Cancelling the dialog ends the join; the stored path stays.
        CRegistryKey& key = d.SettingsKey();
        SaveGamePath(key, (m_dir.Path() / "gone").string());
        m_platform.openFileAnswers = {std::nullopt};
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_JOIN));
        EXPECT_EQ(m_platform.openFileRequests.size(), 3u);
        EXPECT_EQ(LoadGamePath(key), (m_dir.Path() / "gone").string());

        // "..." stores a choice and starts nothing; cancelling it changes nothing. A file
        // that is not there is named and not stored.
        std::filesystem::remove(started);
        const std::string windowsGame = (m_dir.Path() / "game/jk2mp.exe").string();
        CTempWorkDir::WriteFile(windowsGame, "MZ");
        m_platform.openFileAnswers = {"/opt/game/jk2mp.exe", windowsGame, std::nullopt};
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_CHOOSE_GAME));
        EXPECT_EQ(m_platform.messageBoxes.back().text,
                  "Cannot start the game \"/opt/game/jk2mp.exe\": not found.");
        EXPECT_EQ(LoadGamePath(key), windowsGame);
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_CHOOSE_GAME));
        EXPECT_EQ(LoadGamePath(key), windowsGame);
        EXPECT_EQ(m_platform.openFileRequests.size(), 6u);
        EXPECT_FALSE(std::filesystem::exists(started));
        EXPECT_TRUE(d.IsWindow());
    });
}

TEST_F(MainDialogTest, SearchMovesMatchesUpSelectsTheFirstWithItsServerAndKeepsAHistory) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        CServerList& list = d.Engine().GetServerList();
        CServerRecord& first = AddServer(list, 1, 0, 16, "First");
        first.m_players = {{"Bob", 1, 1}, {"Tabby", 2, 2}};
        CServerRecord& second = AddServer(list, 2, 0, 16, "Second");
        second.m_players = {{"Abe", 3, 3}};
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);
        CControl& history = d.Control(Res::IDC_SEARCH_FIELD);
        const int known = history.GetCount();
        Tavex::CTableCtrl& players = d.AllPlayersTable();
        auto search = [&](const std::string& text) {
            d.SetDlgItemText(Res::IDC_SEARCH_FIELD, text);
            m_platform.ClickButton(*d.GetDlgItem(Res::IDC_SEARCH));
        };

        search("  ab ");
        EXPECT_EQ(players.GetCellText(0, AllPlayersColumn::kPlayer), "Abe");
        EXPECT_EQ(players.GetCellText(1, AllPlayersColumn::kPlayer), "Bob");
        EXPECT_EQ(players.GetCurrentRow(), 0);
        ASSERT_GE(d.ServerTable().GetCurrentRow(), 0);
        EXPECT_EQ(
            d.ServerTable().GetCellText(d.ServerTable().GetCurrentRow(), ServerColumn::kServer),
            "Second");
        ASSERT_EQ(d.PlayersOnServerTable().GetCurrentRow(), 0);
        EXPECT_EQ(d.PlayersOnServerTable().GetCellText(0, PlayerOnServerColumn::kPlayer), "Abe");
        ASSERT_EQ(history.GetCount(), known + 1);
        EXPECT_EQ(history.GetLBText(history.GetCurSel()), "ab");

        // The history ignores case; contains mode leaves the last match of the pass on top.
        search("AB");
        EXPECT_EQ(history.GetCount(), known + 1);
        search("*ab");
        EXPECT_EQ(players.GetCellText(0, AllPlayersColumn::kPlayer), "Tabby");
        EXPECT_EQ(players.GetCellText(1, AllPlayersColumn::kPlayer), "Abe");
        EXPECT_EQ(
            d.ServerTable().GetCellText(d.ServerTable().GetCurrentRow(), ServerColumn::kServer),
            "First");
        EXPECT_EQ(d.PlayersOnServerTable().GetCellText(d.PlayersOnServerTable().GetCurrentRow(),
                                                       PlayerOnServerColumn::kPlayer),
                  "Tabby");

        // No match: nothing stays selected; blanks only search nothing and add nothing.
        search("zz");
        EXPECT_EQ(players.GetCurrentRow(), -1);
        EXPECT_EQ(d.ServerTable().GetCurrentRow(), -1);
        const int withZz = history.GetCount();
        search("   ");
        EXPECT_EQ(history.GetCount(), withZz);

        // Walking the list only moves the selection; choosing a history item searches for it.
        m_platform.SelectItem(history, history.FindString(-1, "ab"));
        EXPECT_EQ(players.GetCurrentRow(), -1);
        m_platform.ChooseItem(history, history.FindString(-1, "ab"));
        EXPECT_EQ(players.GetCellText(0, AllPlayersColumn::kPlayer), "Abe");
        EXPECT_EQ(players.GetCurrentRow(), 0);
        for (int i = 0; i < history.GetCount(); ++i)
            EXPECT_EQ(history.GetItemData(i), CSearchHistory::kItemData) << history.GetLBText(i);
    });
}

TEST_F(MainDialogTest, DoubleClickInTheHistorySearchesOnlyWhenItIsNotTheTailOfAChoice) {
    Key().WriteString(kLastPlayersValue, "Tabby\nabe\n");
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        CServerList& list = d.Engine().GetServerList();
        AddServer(list, 1, 0, 16, "First").m_players = {{"Abe", 1, 1}, {"Tabby", 2, 2}};
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);
        CControl& history = d.Control(Res::IDC_SEARCH_FIELD);
        ASSERT_EQ(history.GetCount(), 2);
        EXPECT_EQ(history.GetItemData(0), CSearchHistory::kItemData);
        EXPECT_EQ(history.GetItemData(1), CSearchHistory::kItemData);
        Tavex::CTableCtrl& players = d.AllPlayersTable();
        // Each search selects its first match; clearing the row shows whether one ran.
        auto searched = [&] {
            const bool ran = players.GetCurrentRow() >= 0;
            players.SetCurrentRow(-1);
            return ran;
        };

        m_platform.ChooseItem(history, 1);
        EXPECT_TRUE(searched());
        EXPECT_EQ(players.GetCellText(0, AllPlayersColumn::kPlayer), "Tabby");
        m_platform.Advance(100);
        m_platform.DoubleClickItem(history, 1);
        EXPECT_FALSE(searched());

        // Later than the mark, the double-click searches for the field's text.
        m_platform.ChooseItem(history, 0);
        EXPECT_TRUE(searched());
        m_platform.Advance(101);
        d.SetDlgItemText(Res::IDC_SEARCH_FIELD, "tab");
        m_platform.DoubleClickItem(history, 0);
        EXPECT_TRUE(searched());
        EXPECT_EQ(players.GetCellText(0, AllPlayersColumn::kPlayer), "Tabby");
        ASSERT_EQ(history.GetCount(), 3); // the field's text joined the history
        EXPECT_EQ(history.GetItemData(history.FindString(-1, "tab")), CSearchHistory::kItemData);
    });
}

TEST_F(MainDialogTest, DelRemovesTheSelectedHistoryItemOnlyWhenConfirmed) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        CControl& history = d.Control(Res::IDC_SEARCH_FIELD);
        history.ResetContent();
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_DELETE_HISTORY));
        EXPECT_TRUE(m_platform.messageBoxes.empty());

        for (const char* item : {"carl", "abe", "bob"})
            history.AddString(item);
        history.SetCurSel(1);
        m_platform.messageBoxAnswer = IDNO;
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_DELETE_HISTORY));
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].text, "Are you sure to delete 'bob'?");
        EXPECT_EQ(m_platform.messageBoxes[0].type, MB_YESNO | MB_ICONQUESTION);
        EXPECT_EQ(history.GetCount(), 3);

        // Only the one item goes: the others keep their data.
        history.SetItemData(2, 7);
        m_platform.messageBoxAnswer = IDYES;
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_DELETE_HISTORY));
        ASSERT_EQ(history.GetCount(), 2);
        EXPECT_EQ(history.GetLBText(0), "abe");
        EXPECT_EQ(history.GetLBText(1), "carl");
        EXPECT_EQ(history.GetItemData(1), 7);
        EXPECT_EQ(history.GetCurSel(), -1);
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_DELETE_HISTORY)); // nothing selected now
        EXPECT_EQ(m_platform.messageBoxes.size(), 2u);
    });
    // The history as it stood at closing is what is kept.
    EXPECT_EQ(LoadMainSettings(Key()).m_lastPlayers, "carl\nabe\n");
}

TEST_F(MainDialogTest, AWorkersMessageOpensOnTheWindowsThreadAndTheWindowsOwnAtOnce) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        // As a worker that fails reports it.
        std::thread([&] { d.ShowMessage("Worker failed", false); }).join();
        EXPECT_TRUE(m_platform.messageBoxes.empty());
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].owner, &d);
        EXPECT_EQ(m_platform.messageBoxes[0].text, "Worker failed");
        EXPECT_EQ(m_platform.messageBoxes[0].type, MB_OK);

        // The master exchange reports on the window's thread, while the user waits for it.
        d.ShowMessage("No response", true);
        ASSERT_EQ(m_platform.messageBoxes.size(), 2u);
        EXPECT_EQ(m_platform.messageBoxes[1].type, MB_OK | MB_ICONSTOP);
    });
}

TEST_F(MainDialogTest, MasterDialogShowsTheTypedMastersAndOnlyOkTakesTheNewOnes) {
    Key().WriteString(kMasterValue, "localhost:29000");
    Key().WriteString(kMoreMastersValue, "no-such-host:28060 127.0.0.2:28061");
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        m_nested = [&](CWnd& shown) {
            auto& master = dynamic_cast<CMasterServerDialog&>(shown);
            EXPECT_EQ(master.GetWindowText(), "Master Server ...");
            // As typed, not resolved: a name that moves to a new address is still found.
            EXPECT_EQ(master.GetDlgItemText(Res::IDC_MASTER_ADDRESS), "localhost:29000");
            EXPECT_EQ(master.GetDlgItemText(Res::IDC_MORE_MASTERS),
                      "no-such-host:28060 127.0.0.2:28061");
            m_platform.TypeText(*master.GetDlgItem(Res::IDC_MASTER_ADDRESS), "127.0.0.1:29500");
            m_platform.ClickButton(*master.GetDlgItem(IDCANCEL));
        };
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_MASTER_DIALOG));
        EXPECT_EQ(d.Engine().GetMasters().front(), "localhost:29000");

        m_nested = [&](CWnd& shown) {
            auto& master = dynamic_cast<CMasterServerDialog&>(shown);
            m_platform.TypeText(*master.GetDlgItem(Res::IDC_MASTER_ADDRESS), "127.0.0.1:29500");
            m_platform.TypeText(*master.GetDlgItem(Res::IDC_MORE_MASTERS),
                                " 127.0.0.3:1,127.0.0.4:2 ");
            m_platform.ClickButton(*master.GetDlgItem(IDOK));
        };
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_MASTER_DIALOG));
        EXPECT_EQ(d.Engine().GetMasters(),
                  (std::vector<std::string>{"127.0.0.1:29500", "127.0.0.3:1", "127.0.0.4:2"}));
        // Kept for the next run only when the window closes.
        EXPECT_EQ(Key().ReadString(kMasterValue, ""), "localhost:29000");
    });
    EXPECT_EQ(Key().ReadString(kMasterValue, ""), "127.0.0.1:29500");
    EXPECT_EQ(Key().ReadString(kMoreMastersValue, ""), "127.0.0.3:1 127.0.0.4:2");
}

TEST_F(MainDialogTest, EnterInTheSearchFieldSearchesAndEscapeClosesWritingTheSettings) {
    CMainDialog dialog;
    m_platform.onModal = [&](CWnd& shown) {
        if (&shown != &dialog)
            return;
        QCoreApplication::sendPostedEvents();
        dialog.GetDlgItem(Res::IDC_SEARCH_FIELD)->SetFocus();
        dialog.SetDlgItemText(Res::IDC_SEARCH_FIELD, "abe");
        m_platform.KeyDown(VK_RETURN);
        EXPECT_EQ(dialog.Control(Res::IDC_SEARCH_FIELD).GetCount(), 1);
        m_platform.SelectItem(*dialog.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        m_platform.KeyDown(VK_ESCAPE);
        // Closed: the settings are written at once.
        EXPECT_EQ(Key().ReadNumber(kLastViewValue, 9), 1u);
    };
    dialog.DoModal(m_platform, nullptr);
    EXPECT_EQ(Key().ReadString(kLastPlayersValue, ""), "abe\n");
}

TEST_F(MainDialogTest, AMasterQueryThatFailsBeforeTheListIsEmptiedKeepsTheTables) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        CServerRecord& record = AddServer(d.Engine().GetServerList(), 1, 2, 16, "Old");
        StartByHand(d);
        d.OnServerDone(0, &record);

        // Port 0 cannot be sent to: the exchange fails at its first probe.
        d.Engine().SetMasterAddress(CSockAddr("127.0.0.1:0"));
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_QUERY_MASTER));
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].type, MB_OK | MB_ICONSTOP);
        EXPECT_EQ(m_platform.messageBoxes[0].waitCursorDepth, 0); // back before the box

        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(d.ServerTable().GetRowCount(), 1);
        EXPECT_EQ(d.AllPlayersTable().GetRowCount(), 2);
        EXPECT_EQ(Text(d, Res::IDC_SERVER_COUNT), "1");
    });
}

TEST_F(MainDialogTest, AMasterThatDoesNotAnswerIsReportedWithoutTheWaitCursor) {
    CSockUDP silent; // a master that hears the probes and never answers
    silent.Open(CSockAddr("127.0.0.1:0"));
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        d.Engine().SetMasterAddress(silent.GetLocalAddress());
        d.Engine().SetMasterWaits(50, 25);
        m_platform.ClickButton(*d.GetDlgItem(Res::IDC_QUERY_MASTER));
        ASSERT_EQ(m_platform.messageBoxes.size(), 1u);
        EXPECT_EQ(m_platform.messageBoxes[0].text, "No response from master server.");
        EXPECT_EQ(m_platform.messageBoxes[0].waitCursorDepth, 0);
        EXPECT_GT(m_platform.waitCursors, 0);
        EXPECT_TRUE(d.GetDlgItem(Res::IDC_QUERY_MASTER)->IsWindowEnabled());
    });
}

TEST_F(MainDialogTest, ResultsStillOnTheirWayWhenTheWindowClosesAreDropped) {
    CMainDialog dialog;
    m_platform.onModal = [&](CWnd& shown) {
        if (&shown != &dialog)
            return;
        QCoreApplication::sendPostedEvents();
        CServerRecord& record = AddServer(dialog.Engine().GetServerList(), 1, 2, 16, "Late");
        StartByHand(dialog);
        dialog.PostServerDone(0, &record);
        // Closing frees the records; the queued result must not be read after that.
        m_platform.ClickButton(*dialog.GetDlgItem(IDCANCEL));
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(dialog.ServerTable().GetRowCount(), 0);
    };
    dialog.DoModal(m_platform, nullptr);
}

TEST_F(MainDialogTest, AServerLayoutStoredBeforeTheVersionColumnKeepsTheUsersWidthsAndOrder) {
    // Given a server layout written by the window before "Version" was appended: "Server"
    // widened to 222 and "Map" moved to the front
    std::vector<Tavex::CLayoutColumn> before;
    for (std::size_t i = 0; i < static_cast<std::size_t>(ServerColumn::kVersion); ++i)
        before.push_back(
            {kServerColumns[i].m_title, kServerColumns[i].m_width, !kServerColumns[i].m_hidden});
    before[ServerColumn::kServer].m_width = 222;
    std::vector<int> order{ServerColumn::kMap, 0, 1, 2, 3, 4, 5, 7, 8};
    Tavex::CWordArray words;
    Tavex::SaveLayout(words, before, order);
    CRegistryKey key = Key();
    WriteTableLayout(key, kServerLayoutValue, words);

    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        // Then the old columns are as the user left them, and "Version" follows them, shown at
        // its default width
        Tavex::CTableCtrl& servers = d.ServerTable();
        EXPECT_EQ(servers.GetColumnWidth(ServerColumn::kServer), 222);
        EXPECT_EQ(servers.GetColumnAt(0), ServerColumn::kMap);
        EXPECT_EQ(servers.GetColumnAt(9), ServerColumn::kVersion);
        EXPECT_TRUE(servers.IsColumnVisible(ServerColumn::kVersion));
        EXPECT_GT(servers.GetColumnWidth(ServerColumn::kVersion), 0);
        // The columns appended after it as well, in their own order.
        EXPECT_EQ(servers.GetColumnAt(10), ServerColumn::kHumans);
        EXPECT_EQ(servers.GetColumnAt(13), ServerColumn::kCountry);
        EXPECT_EQ(servers.GetColumnAt(14), ServerColumn::kFriends);
        EXPECT_TRUE(servers.IsColumnVisible(ServerColumn::kLocked));
        EXPECT_TRUE(servers.IsColumnVisible(ServerColumn::kFriends));
    });
    // And the layout is stored for every column from now on.
    std::vector<std::uint8_t> stored(2 * (3 + 4 * kServerColumns.size()));
    EXPECT_TRUE(Key().ReadBinary(kServerLayoutValue, stored.data(), stored.size()));
    EXPECT_EQ(stored[4], kServerColumns.size());
}

namespace {

// A fresh result for a listed server, as a refresh's worker hands it over.
CServerRecord Fresh(const CServerRecord& listed, int players, int maxClients,
                    const std::string& map) {
    CServerRecord fresh(listed.m_address, listed.m_name, listed.m_password);
    fresh.m_map = map;
    fresh.m_maxClients = maxClients;
    fresh.m_ping = 7;
    fresh.m_state = CServerRecord::kStateAnswered;
    for (int i = 0; i < players; ++i)
        fresh.m_players.push_back(
            {"P" + std::to_string(listed.m_address.GetPort()) + "_" + std::to_string(i), i, i});
    return fresh;
}

// Starts a refresh of nothing, so the window's next results count as that refresh's.
unsigned BeginRefresh(CMainDialog& d, std::size_t servers) {
    EXPECT_TRUE(d.Engine().StopQuery(5000)); // the slot wait's own refresh, say
    EXPECT_TRUE(d.Engine().StartRefresh({}));
    EXPECT_TRUE(d.Engine().StopQuery(5000));
    const unsigned refresh = d.Engine().GetCurrentRefresh();
    d.OnRefreshStarted(refresh, servers);
    return refresh;
}

int RowOfName(Tavex::CTableCtrl& table, int column, const std::string& name) {
    for (int row = 0; row < table.GetRowCount(); ++row)
        if (table.GetCellText(row, column) == name)
            return row;
    return -1;
}

} // namespace

TEST_F(MainDialogTest, ARefreshUpdatesRowsInPlaceKeepingSelectionCurrentRowAndScroll) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        // Given forty servers with two players each, and one empty (filtered out) server
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        CServerList& list = d.Engine().GetServerList();
        for (int port = 1; port <= 40; ++port)
            AddServer(list, port, 2, 16, "S" + std::to_string(port));
        AddServer(list, 41, 0, 16, "Empty");
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);
        Tavex::CTableCtrl& servers = d.ServerTable();
        ASSERT_EQ(servers.GetRowCount(), 40);
        // and the user on S20 with S21 selected too, scrolled down a little
        const int s20 = RowOfName(servers, ServerColumn::kServer, "S20");
        servers.SetCurrentRow(s20);
        servers.SelectRow(RowOfName(servers, ServerColumn::kServer, "S21"), true);
        servers.SetVertPos(3 * servers.GetRowHeight());
        const int scrolled = servers.GetVertPos();
        ASSERT_GT(scrolled, 0);
        d.ShowPlayersOfServerRow(s20);
        Tavex::CTableCtrl& players = d.AllPlayersTable();
        players.GetCurrentCell().Set(RowOfName(players, AllPlayersColumn::kPlayer, "P20_1"), 0);

        // When a refresh finds S20 on a new map with three players, S21 empty, and the empty
        // server now played on
        const unsigned refresh = BeginRefresh(d, 3);
        CServerRecord* s20Record = list.Find(CSockAddr("127.0.0.1:20"));
        const CServerRecord freshS20 = Fresh(*s20Record, 3, 16, "ffa_new");
        const CServerRecord freshS21 = Fresh(*list.Find(CSockAddr("127.0.0.1:21")), 0, 16, "m");
        const CServerRecord freshEmpty = Fresh(*list.Find(CSockAddr("127.0.0.1:41")), 1, 16, "m");
        d.OnRefreshDone(refresh, const_cast<CServerRecord*>(&freshS20));
        // Then S20's row changed in place, before the refresh ended, and is still current,
        // as are the scroll position and the players-on-server table for it
        const int row = RowOfName(servers, ServerColumn::kServer, "S20");
        EXPECT_EQ(servers.GetCellText(row, ServerColumn::kMap), "ffa_new");
        EXPECT_EQ(servers.GetCurrentCell().GetRow(), row);
        EXPECT_EQ(servers.GetVertPos(), scrolled);
        EXPECT_EQ(d.PlayersOnServerTable().GetRowCount(), 3);
        // The player's row was made anew for the new status, and is still the current one.
        EXPECT_EQ(players.GetCellText(players.GetCurrentCell().GetRow(), AllPlayersColumn::kPlayer),
                  "P20_1");
        EXPECT_EQ(s20Record->m_map, "ffa_new");
        d.OnRefreshDone(refresh, const_cast<CServerRecord*>(&freshS21));
        d.OnRefreshDone(refresh, const_cast<CServerRecord*>(&freshEmpty));

        // And at its end S21 has left the tables (the filter drops empty servers), the former
        // empty server joined them, every other row is as it was, and the tables were sorted
        EXPECT_EQ(servers.GetRowCount(), 40);
        EXPECT_LT(RowOfName(servers, ServerColumn::kServer, "S21"), 0);
        EXPECT_GE(RowOfName(servers, ServerColumn::kServer, "Empty"), 0);
        EXPECT_EQ(d.AllPlayersTable().GetRowCount(), 38 * 2 + 3 + 1);
        EXPECT_EQ(servers.GetCellText(0, ServerColumn::kPing), "7"); // sorted by ping
        const int current = servers.GetCurrentCell().GetRow();
        EXPECT_EQ(servers.GetCellText(current, ServerColumn::kServer), "S20");
        EXPECT_TRUE(servers.GetTable()->IsRowSelected(current));
        EXPECT_EQ(servers.GetVertPos(), scrolled);
        EXPECT_EQ(d.GetDlgItemText(Res::IDC_SERVER_COUNT), "40");

        // A refresh that is no longer current changes nothing.
        const CServerRecord stale = Fresh(*s20Record, 0, 16, "stale");
        d.OnRefreshDone(refresh - 1, const_cast<CServerRecord*>(&stale));
        EXPECT_EQ(s20Record->m_map, "ffa_new");
    });
}

TEST_F(MainDialogTest, ARefreshUnderTheLiveFilterFindsHiddenRowsAndJudgesServersAnew) {
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        // Given four servers of two players each, and the filter on "bespin"
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        CServerList& list = d.Engine().GetServerList();
        for (int port = 1; port <= 4; ++port)
            AddServer(list, port, 2, 16, "S" + std::to_string(port)).m_map =
                port == 1 ? "ffa_bespin" : "ctf_yavin";
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);
        d.SetDlgItemText(Res::IDC_LIVE_FILTER, "bespin");
        d.OnCommand(Res::IDC_LIVE_FILTER, EN_CHANGE, d.GetDlgItem(Res::IDC_LIVE_FILTER));
        Tavex::CTableCtrl& servers = d.ServerTable();
        ASSERT_EQ(servers.GetRowCount(), 1);

        // When a refresh finds S3, hidden, now on bespin, and S1 moved away from it
        const unsigned refresh = BeginRefresh(d, 2);
        const CServerRecord s3 = Fresh(*list.Find(CSockAddr("127.0.0.1:3")), 3, 16, "ffa_bespin");
        const CServerRecord s1 = Fresh(*list.Find(CSockAddr("127.0.0.1:1")), 2, 16, "ctf_yavin");
        d.OnRefreshDone(refresh, const_cast<CServerRecord*>(&s3));
        d.OnRefreshDone(refresh, const_cast<CServerRecord*>(&s1));

        // Then the filter shows S3 with its three players and no longer S1
        EXPECT_EQ(servers.GetRowCount(), 1);
        EXPECT_EQ(servers.GetCellText(0, ServerColumn::kServer), "S3");
        EXPECT_EQ(d.AllPlayersTable().GetRowCount(), 3);
        EXPECT_EQ(d.GetDlgItemText(Res::IDC_SERVER_COUNT), "1");
        // And with the filter cleared every server is there once, with its players once
        d.SetDlgItemText(Res::IDC_LIVE_FILTER, "");
        d.OnCommand(Res::IDC_LIVE_FILTER, EN_CHANGE, d.GetDlgItem(Res::IDC_LIVE_FILTER));
        EXPECT_EQ(servers.GetRowCount(), 4);
        EXPECT_EQ(d.AllPlayersTable().GetRowCount(), 2 + 2 + 3 + 2);
    });
}

TEST_F(MainDialogTest, WaitingForASlotJoinsOnceWhenOneFreesAndEscapeStopsIt) {
    const std::filesystem::path game = m_dir.Path() / "game";
    const std::filesystem::path started = m_dir.Path() / "started";
    WriteStandInGame(game, started);
    {
        CRegistryKey key = Key();
        SaveGamePath(key, game.string());
        COptions options;
        options.m_autoClose = false;
        options.m_startupQuery = 0;
        SaveOptions(key, options);
    }
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        m_platform.SelectItem(*d.GetDlgItem(Res::IDC_VIEW_TABS), 1);
        CServerList& list = d.Engine().GetServerList();
        CServerRecord& full = AddServer(list, 9, 4, 4, "Full");
        AddServer(list, 10, 1, 4, "Open");
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);
        const int fullRow = RowOfName(d.ServerTable(), ServerColumn::kServer, "Full");
        const int openRow = RowOfName(d.ServerTable(), ServerColumn::kServer, "Open");
        const Point onFull{40, fullRow * d.ServerTable().GetRowHeight() + 3};
        const Point onOpen{40, openRow * d.ServerTable().GetRowHeight() + 3};

        // The new items sit below the old ones; the wait is offered on a full server only.
        m_platform.ContextMenu(d.ServerTable().GetBody(), onOpen);
        auto items = m_platform.menus.tracked.back().items;
        ASSERT_GE(items.size(), 6u);
        EXPECT_EQ(items[4].caption, "Refresh server");
        EXPECT_EQ(items[4].flags & MF_GRAYED, 0u);
        EXPECT_EQ(items[5].caption, "Join when a slot is free");
        EXPECT_NE(items[5].flags & MF_GRAYED, 0u);
        m_platform.menus.chooser = [](const auto&) { return 1105u; };
        m_platform.ContextMenu(d.ServerTable().GetBody(), onFull);
        EXPECT_EQ(m_platform.menus.tracked.back().items[5].flags & MF_GRAYED, 0u);
        ASSERT_TRUE(d.IsWaitingForSlot());
        EXPECT_EQ(d.GetDlgItemText(Res::IDC_MASTER_STATUS),
                  "Waiting for a free slot on Full \x85 (Esc to stop)");

        // Escape stops the wait and leaves the window open.
        m_platform.SetFocus(d.GetDlgItem(Res::IDC_PASSWORD));
        m_platform.KeyDown(VK_ESCAPE);
        EXPECT_FALSE(d.IsWaitingForSlot());
        EXPECT_TRUE(d.IsWindow());
        EXPECT_EQ(d.GetDlgItemText(Res::IDC_MASTER_STATUS), "Browse, find, join.");

        // Waiting again: a status still full keeps it, the first with a free slot joins, once.
        m_platform.ContextMenu(d.ServerTable().GetBody(), onFull);
        ASSERT_TRUE(d.IsWaitingForSlot());
        unsigned refresh = BeginRefresh(d, 1);
        CServerRecord stillFull = Fresh(full, 4, 4, "m");
        d.OnRefreshDone(refresh, &stillFull);
        EXPECT_TRUE(d.IsWaitingForSlot());
        EXPECT_FALSE(std::filesystem::exists(started));
        refresh = BeginRefresh(d, 2);
        CServerRecord freed = Fresh(full, 3, 4, "m");
        CServerRecord again = Fresh(full, 2, 4, "m");
        d.OnRefreshDone(refresh, &freed);
        d.OnRefreshDone(refresh, &again);
        EXPECT_EQ(AwaitStandInRecord(started),
                  m_dir.Path().string() + "\nconnect 127.0.0.1:9" + std::string(1, '\0'));
        EXPECT_FALSE(d.IsWaitingForSlot());
        EXPECT_EQ(d.GetDlgItemText(Res::IDC_MASTER_STATUS), "Browse, find, join.");
    });
}

TEST_F(MainDialogTest, TheBackgroundRequeryRefreshesAtItsIntervalOnlyWhileIdle) {
    {
        CRegistryKey key = Key();
        COptions options;
        options.m_autoRequery = true;
        options.m_requerySeconds = 20;
        options.m_startupQuery = 0;
        SaveOptions(key, options);
    }
    CMainDialog dialog;
    OpenMain(dialog, [&](CMainDialog& d) {
        CServerList& list = d.Engine().GetServerList();
        AddServer(list, 1, 1, 16);
        StartByHand(d);
        for (auto& [address, listed] : list)
            d.OnServerDone(0, &listed);
        const unsigned before = d.Engine().GetCurrentRefresh();
        // Not before the interval has passed.
        m_platform.Advance(19'000);
        EXPECT_EQ(d.Engine().GetCurrentRefresh(), before);
        // Not while a worker runs (a silent server keeps this one going for seconds): the
        // refresh waits until it has ended.
        ASSERT_TRUE(d.Engine().StartRefresh({CSockAddr("127.0.0.1:1")}));
        const unsigned busy = d.Engine().GetCurrentRefresh();
        m_platform.Advance(1'000);
        EXPECT_TRUE(d.Engine().StopQuery(5000));
        EXPECT_EQ(d.Engine().GetCurrentRefresh(), busy);
        // Then at the next tick of the clock; and the next one an interval later.
        m_platform.Advance(1'000);
        EXPECT_EQ(d.Engine().GetCurrentRefresh(), busy + 1);
        EXPECT_TRUE(d.Engine().StopQuery(5000));
        m_platform.Advance(19'000);
        EXPECT_EQ(d.Engine().GetCurrentRefresh(), busy + 1);
        m_platform.Advance(1'000);
        EXPECT_EQ(d.Engine().GetCurrentRefresh(), busy + 2);
        EXPECT_TRUE(d.Engine().StopQuery(5000));
    });
}
