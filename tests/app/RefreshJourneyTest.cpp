// Fresh results as a person asks for them on the real window: the server menu's "Refresh
// server", F5 and the "Refresh" button query the listed servers again without emptying the
// tables, and "Join when a slot is free" waits on a full server until Escape.
#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "resources/ResourceIds.h"
#include "tests/app/Journey.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/app/StandInGame.h"
#include "tools/TestNet.h"

#include <QMenu>

#include <filesystem>

using namespace Journey;

namespace {

class RefreshJourneyTest : public CMainWindowJourney {
protected:
    // Status requests each server got so far, by name.
    std::map<std::string, int> Asked() {
        std::map<std::string, int> asked;
        for (const auto& request : m_net->GetRequests())
            ++asked[m_net->GetConfig().servers[static_cast<std::size_t>(request.server)].name];
        return asked;
    }
};

} // namespace

TEST_F(RefreshJourneyTest, RefreshServerF5AndTheButtonQueryAgainInPlace) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        CTableUser servers(m_platform, m_dialog->ServerTable());
        const int beta = ServerRow("Beta");
        servers.ClickCell(beta, ServerColumn::kServer);
        const std::map<std::string, int> before = Asked();

        // The menu's new items come below the old ones; "Refresh server" asks Beta alone.
        std::string texts;
        {
            CExpectWindow menu([&](QWidget& shown) {
                texts = MenuTexts(shown);
                ChooseMenuItem(shown, "Refresh server");
            });
            servers.RightClickCell(beta, ServerColumn::kMap);
        }
        EXPECT_EQ(texts.rfind("Add to favorites;-;Show server info;-;Refresh server;"
                              "~Join when a slot is free;-;",
                              0),
                  0u)
            << texts;
        ASSERT_TRUE(AwaitTrue([&] { return Asked()["Beta"] == before.at("Beta") + 1; }));
        ASSERT_TRUE(AwaitTrue([&] { return !m_dialog->Engine().IsRunning(); }));
        EXPECT_EQ(Asked()["Alpha"], before.at("Alpha"));
        // The rows stayed, and so did the user's choice.
        EXPECT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        EXPECT_EQ(m_dialog->ServerTable().GetCurrentRow(), ServerRow("Beta"));
        EXPECT_EQ(PlayersShown().size(), 2u);

        // F5 in the table and the "Refresh" button ask every listed server again.
        servers.Key(Qt::Key_F5);
        ASSERT_TRUE(AwaitTrue([&] { return Asked()["Gamma"] == before.at("Gamma") + 1; }));
        ASSERT_TRUE(AwaitTrue([&] { return !m_dialog->Engine().IsRunning(); }));
        EXPECT_EQ(m_dialog->ServerTable().GetRowCount(), 3);
        Click(W(Res::IDC_REFRESH));
        ASSERT_TRUE(AwaitTrue([&] { return Asked()["Alpha"] == before.at("Alpha") + 2; }));
        ASSERT_TRUE(AwaitTrue([&] { return !m_dialog->Engine().IsRunning(); }));
        EXPECT_EQ(m_dialog->ServerTable().GetCurrentRow(), ServerRow("Beta"));
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "3");
        EXPECT_EQ(Text(Res::IDC_PLAYER_COUNT), "6");
        Click(FindButton(window, "Close"));
    });
}

TEST_F(RefreshJourneyTest, JoinWhenASlotIsFreeWaitsUntilEscapeOrJoinsWhenOneFrees) {
    // A network of its own with one full server (two players of two).
    CTestNetConfig config;
    CTestServer full;
    full.name = "Packed";
    full.maxClients = 2;
    full.players = {{"Ann", 1, 30}, {"Ben", 2, 0}};
    config.servers = {full};
    CTestNet net(config);
    net.Start();
    const std::filesystem::path game = m_dir.Path() / "game.sh";
    const std::filesystem::path record = m_dir.Path() / "game-args";
    WriteStandInGame(game, record);
    Key().WriteString(kGamePathValue, game.string());
    Key().WriteNumber(kAutoCloseValue, 0);
    Open([&](QWidget& window) {
        m_dialog->Engine().SetMasterAddress(
            CSockAddr("127.0.0.1:" + std::to_string(net.GetMasterPort())));
        ClickTab(1);
        QueryMaster();
        CTableUser servers(m_platform, m_dialog->ServerTable());
        ASSERT_EQ(m_dialog->ServerTable().GetRowCount(), 1);
        {
            CExpectWindow menu(
                [&](QWidget& shown) { ChooseMenuItem(shown, "Join when a slot is free"); });
            servers.RightClickCell(0, ServerColumn::kServer);
        }
        EXPECT_TRUE(m_dialog->IsWaitingForSlot());
        EXPECT_EQ(Text(Res::IDC_MASTER_STATUS),
                  "Waiting for a free slot on Packed \x85 (Esc to stop)");
        // It asks the server again while it waits.
        const std::size_t asked = net.GetRequests().size();
        ASSERT_TRUE(AwaitTrue([&] { return net.GetRequests().size() > asked; }, 3000));

        // Escape ends the wait, not the window.
        servers.Key(Qt::Key_Escape);
        EXPECT_FALSE(m_dialog->IsWaitingForSlot());
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(Text(Res::IDC_MASTER_STATUS), "Browse, find, join.");
        EXPECT_FALSE(std::filesystem::exists(record));

        // Waiting again, a player leaves: the next status with a free slot joins the game.
        {
            CExpectWindow menu(
                [&](QWidget& shown) { ChooseMenuItem(shown, "Join when a slot is free"); });
            servers.RightClickCell(0, ServerColumn::kServer);
        }
        ASSERT_TRUE(m_dialog->IsWaitingForSlot());
        ASSERT_TRUE(net.FreeSlot(0));
        // The window keeps its events going while the slot is waited for.
        ASSERT_TRUE(AwaitTrue([&] { return std::filesystem::exists(record); }, 12000));
        EXPECT_EQ(AwaitStandInRecord(record), m_dir.Path().string() + "\nconnect 127.0.0.1:" +
                                                  std::to_string(net.GetServerPort(0)) +
                                                  std::string(1, '\0'));
        EXPECT_FALSE(m_dialog->IsWaitingForSlot());
        EXPECT_EQ(Text(Res::IDC_MASTER_STATUS), "Browse, find, join.");
        Click(FindButton(window, "Close"));
    });
}
