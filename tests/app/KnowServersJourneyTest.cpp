// Knowing a server before joining it, as a person meets it in the main window: humans and bots,
// locked servers and their password, names in their colours and the live filter.
#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "resources/ResourceIds.h"
#include "tests/app/Journey.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/app/StandInGame.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPalette>

#include <filesystem>

using namespace Journey;

namespace {

class KnowServersJourneyTest : public CMainWindowJourney {
protected:
    KnowServersJourneyTest() {
        // Red: a person and a bot, locked. Bots: two bots. Duel: a person on another map.
        CTestServer red = Server("^1Red^7Server", {{"^2Luke", 3, 40}, {"^9Bot1", 1, 0}}, 0);
        red.variables = {{"g_needpass", "1"}};
        CTestServer bots = Server("Bots Only", {{"Bot2", 1, 0}, {"Bot3", 2, 0}}, 40);
        CTestServer duel = Server("Open Duel", {{"Kyle", 5, 30}}, 80);
        duel.map = "ctf_yavin";
        CTestNetConfig config;
        config.servers = {red, bots, duel};
        m_net = std::make_unique<CTestNet>(config);
        m_net->Start();
        Key().WriteString(kMasterValue, Master());
    }

    QLineEdit* Line(unsigned id) {
        QWidget* widget = W(id);
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            return line;
        return widget->findChild<QLineEdit*>();
    }
    std::vector<std::string> Servers() { return Column(m_dialog->ServerTable(), 0); }
    std::vector<std::string> Players() { return Column(m_dialog->AllPlayersTable(), 0); }

    // Without the table's bands, rows take the palette's own base colour.
    static void BandsOff() {
        CRegistryKey look;
        ASSERT_TRUE(look.SetRoot(HKEY_CURRENT_USER) &&
                    look.SetPath("Software\\Belvorn\\Tavex", true));
        look.WriteNumber("Leparello", 0);
    }

    // Pixels of the name cell of a server row that are dark (below `level` in every channel).
    int DarkPixelsInName(int row, int level = 80) {
        return PixelsInName(row, [level](const QColor& c) {
            return c.red() < level && c.green() < level && c.blue() < level;
        });
    }
    // Red pixels in the name cell of a server row: clearly red, little green and blue.
    int RedPixelsInName(int row) {
        return PixelsInName(
            row, [](const QColor& c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; });
    }
    int PixelsInName(int row, const std::function<bool(const QColor&)>& counts) {
        Tavex::CTableCtrl& table = m_dialog->ServerTable();
        CTableUser user(m_platform, table);
        QWidget* body = user.Body();
        body->repaint();
        const QImage image = body->grab().toImage();
        const QPoint centre = user.CellPoint(row, ServerColumn::kServer);
        const int width = table.GetColumnWidth(ServerColumn::kServer);
        const int height = table.GetRowHeight();
        int found = 0;
        for (int y = centre.y() - height / 2; y < centre.y() + height / 2; ++y)
            for (int x = centre.x() - width / 2; x < centre.x() + width / 2; ++x) {
                const QColor c = image.pixelColor(x * image.width() / body->width(),
                                                  y * image.height() / body->height());
                if (counts(c))
                    ++found;
            }
        return found;
    }
};

} // namespace

TEST_F(KnowServersJourneyTest, HumansBotsLocksAndTheLiveFilter) {
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        Tavex::CTableCtrl& servers = m_dialog->ServerTable();
        ASSERT_EQ(servers.GetRowCount(), 3);
        const int red = ServerRow("RedServer");
        ASSERT_GE(red, 0);
        EXPECT_EQ(servers.GetCellText(red, ServerColumn::kHumans), "1");
        EXPECT_EQ(servers.GetCellText(red, ServerColumn::kBots), "1");
        EXPECT_EQ(servers.GetCellText(red, ServerColumn::kLocked), "yes");
        EXPECT_EQ(servers.GetCellText(red, ServerColumn::kPlayers), "2/16");
        EXPECT_EQ(servers.GetCellText(ServerRow("Bots"), ServerColumn::kHumans), "0");
        EXPECT_EQ(servers.GetCellText(ServerRow("Bots"), ServerColumn::kLocked), "");

        // Ctrl+F from the table puts the keys into the filter field; it filters as one types.
        CTableUser(m_platform, servers).ClickCell(red, ServerColumn::kPing);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QLineEdit* filter = Line(Res::IDC_LIVE_FILTER);
        ASSERT_NE(filter, nullptr);
        EXPECT_TRUE(filter->hasFocus());
        QTest::keyClicks(filter, "YAV");
        EXPECT_EQ(Servers(), (std::vector<std::string>{"Open Duel"}));
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "1");
        EXPECT_EQ(Text(Res::IDC_PLAYER_COUNT), "1");
        EXPECT_EQ(Players(), (std::vector<std::string>{"Kyle"}));
        QTest::keyClicks(filter, " x");
        EXPECT_TRUE(Servers().empty());
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "0");
        // A player's name finds the server, and in the player list only that player.
        QTest::keyClick(filter, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(filter, "luke");
        EXPECT_EQ(Servers(), (std::vector<std::string>{"RedServer"}));
        EXPECT_EQ(Players(), (std::vector<std::string>{"Luke"}));
        // Cleared, every row is back in its sorted order (by ping).
        QTest::keyClick(filter, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(filter, Qt::Key_Backspace);
        EXPECT_EQ(Servers(), (std::vector<std::string>{"RedServer", "Bots Only", "Open Duel"}));
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "3");
        EXPECT_EQ(Text(Res::IDC_PLAYER_COUNT), "5");

        // "Only servers with humans" takes the bots' server out at once.
        Click(FindButton(window, "Only servers with humans"));
        EXPECT_EQ(Servers(), (std::vector<std::string>{"RedServer", "Open Duel"}));
        EXPECT_EQ(Text(Res::IDC_PLAYER_COUNT), "3");
        Click(FindButton(window, "Close"));
    });
    // Both are kept for the next start, and apply to its results.
    EXPECT_EQ(Key().ReadString(kLiveFilterValue, "?"), "");
    EXPECT_EQ(Key().ReadNumber(kOnlyHumansValue, 0), 1u);
    Open([&](QWidget& window) {
        ClickTab(1);
        EXPECT_EQ(
            qobject_cast<QCheckBox*>(FindButton(window, "Only servers with humans"))->isChecked(),
            true);
        QueryMaster();
        EXPECT_EQ(Servers(), (std::vector<std::string>{"RedServer", "Open Duel"}));
        EXPECT_EQ(Text(Res::IDC_SERVER_COUNT), "2");
        Click(FindButton(window, "Only servers with humans"));
        EXPECT_EQ(Servers().size(), 3u);
        Click(FindButton(window, "Close"));
    });
}

TEST_F(KnowServersJourneyTest, ALockedServerAsksForItsPasswordUnlessOneIsTyped) {
    const std::filesystem::path game = m_dir.Path() / "game.sh";
    const std::filesystem::path record = m_dir.Path() / "game-args";
    WriteStandInGame(game, record);
    Key().WriteString(kGamePathValue, game.string());
    Key().WriteNumber(kAutoCloseValue, 0);
    const std::string address = "127.0.0.1:" + std::to_string(m_net->GetServerPort(0));
    Open([&](QWidget& window) {
        ClickTab(1);
        QueryMaster();
        CTableUser servers(m_platform, m_dialog->ServerTable());
        // Nothing typed: the dialog asks; Enter takes what was typed into it.
        {
            CExpectWindow dialog(
                [&](QWidget& shown) {
                    QLineEdit* edit = shown.findChild<QLineEdit*>();
                    ASSERT_NE(edit, nullptr);
                    EXPECT_TRUE(edit->hasFocus());
                    QTest::keyClicks(edit, "open sesame");
                    QTest::keyClick(edit, Qt::Key_Return);
                },
                "the password dialog");
            servers.DoubleClickCell(ServerRow("RedServer"), ServerColumn::kServer);
        }
        EXPECT_EQ(AwaitStandInRecord(record).substr(AwaitStandInRecord(record).find('\n') + 1),
                  "connect \"" + address + "\"; password \"open sesame\"" + '\0');
        std::filesystem::remove(record);

        // Escape cancels the join: no game starts.
        {
            CExpectWindow dialog(
                [&](QWidget& shown) {
                    QTest::keyClick(shown.findChild<QLineEdit*>(), Qt::Key_Escape);
                },
                "the password dialog");
            Click(FindButton(window, "Join"));
        }
        QTest::qWait(300);
        EXPECT_FALSE(std::filesystem::exists(record));

        // A typed password is used as it stands, without asking.
        Click(Line(Res::IDC_PASSWORD));
        QTest::keyClicks(Line(Res::IDC_PASSWORD), "typed");
        Click(FindButton(window, "Join"));
        const std::string args = AwaitStandInRecord(record);
        EXPECT_NE(args.find("connect \"" + address + "\"; password \"typed\""), std::string::npos)
            << args;
        std::filesystem::remove(record);

        // An open server joins without a password and without asking.
        QTest::keyClick(Line(Res::IDC_PASSWORD), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Line(Res::IDC_PASSWORD), Qt::Key_Backspace);
        servers.DoubleClickCell(ServerRow("Open Duel"), ServerColumn::kServer);
        EXPECT_NE(AwaitStandInRecord(record).find(
                      "connect 127.0.0.1:" + std::to_string(m_net->GetServerPort(2)) + '\0'),
                  std::string::npos);
        Click(FindButton(window, "Close"));
    });
}

TEST_F(KnowServersJourneyTest, NamesAreDrawnInTheirColoursOnLightAndDarkRows) {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    for (const bool isDark : {false, true}) {
        QApplication::setPalette(isDark ? dark : light);
        if (isDark)
            BandsOff();
        Open([&](QWidget& window) {
            ClickTab(1);
            QueryMaster();
            const int red = ServerRow("RedServer");
            const int plain = ServerRow("Open Duel");
            ASSERT_GE(red, 0);
            // The row is dark indeed on the dark palette, light on the light one.
            const int cell = m_dialog->ServerTable().GetColumnWidth(ServerColumn::kServer) *
                             m_dialog->ServerTable().GetRowHeight();
            if (isDark)
                EXPECT_GT(DarkPixelsInName(plain), cell / 2);
            else
                EXPECT_LT(DarkPixelsInName(plain), cell / 4);
            EXPECT_GT(RedPixelsInName(red), 10);
            EXPECT_EQ(RedPixelsInName(plain), 0);
            // With "Show colours in names" off, no red.
            {
                CExpectWindow options(
                    [&](QWidget& shown) {
                        Click(FindButton(shown, "Show colours in names"));
                        Click(FindButton(shown, "OK"));
                    },
                    "options");
                Click(W(Res::IDC_OPTIONS));
            }
            EXPECT_EQ(RedPixelsInName(red), 0);
            Key().WriteNumber(kShowColoursValue, 1);
            Click(FindButton(window, "Close"));
        });
    }
    QApplication::setPalette(light);
}

TEST_F(KnowServersJourneyTest, CountriesComeFromTheLookUpWithTheirFlags) {
    // Loopback has no country in any real database; a made-up one stands in.
    struct CMadeUp : ICountryLookup {
        std::string CountryOf(const CSockAddr&) override { return "DE"; }
    };
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(35, 38, 41));
    dark.setColor(QPalette::Window, QColor(49, 54, 59));
    dark.setColor(QPalette::Text, QColor(239, 240, 241));
    dark.setColor(QPalette::WindowText, QColor(239, 240, 241));
    int shot = 0;
    for (const bool isDark : {false, true}) {
        QApplication::setPalette(isDark ? dark : light);
        if (isDark)
            BandsOff();
        CMainDialog dialog;
        dialog.UseCountryLookup(std::make_unique<CMadeUp>());
        m_dialog = &dialog;
        Play(m_platform, dialog, [&](QWidget& window) {
            ClickTab(1);
            QueryMaster();
            Tavex::CTableCtrl& servers = m_dialog->ServerTable();
            EXPECT_EQ(servers.GetCellText(ServerRow("RedServer"), ServerColumn::kCountry), "DE");
            // One address, one answer: the servers all live on 127.0.0.1.
            EXPECT_EQ(servers.GetCellText(ServerRow("Open Duel"), ServerColumn::kCountry), "DE");
            CTableUser(m_platform, servers).ClickCell(ServerRow("Bots"), ServerColumn::kServer);
            if (const char* folder = std::getenv("VANTREL_JOURNEY_SHOTS")) {
                window.resize(1100, 560);
                QTest::qWait(50);
                window.grab().save(QString::fromLocal8Bit(folder) + "/servers-" +
                                   QString::number(shot) + ".png");
                servers.EnsureVisible(0, ServerColumn::kCountry);
                servers.Redraw(true);
                QTest::qWait(50);
                window.grab().save(QString::fromLocal8Bit(folder) + "/servers-" +
                                   QString::number(shot) + "-right.png");
            }
            Click(FindButton(window, "Close"));
        });
        m_dialog = nullptr;
        ++shot;
    }
    QApplication::setPalette(light);
}
