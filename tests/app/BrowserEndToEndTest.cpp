// The browser as a user drives it on the Qt platform (offscreen): favourites edited in their
// dialog, queried on the loopback test network, a player found by name, and its server joined
// with a stand-in game that records what it was started with.
#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "platform/qt/QtPlatform.h"
#include "resources/ResourceIds.h"
#include "tests/app/LoopbackMaster.h"
#include "tests/app/StandInGame.h"
#include "tests/app/TempWorkDir.h"
#include "tests/support/TestNetProcess.h"
#include "tests/support/qt/QtTestApp.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace Platform;
using TestSupport::AwaitTrue;

namespace {

std::string Address(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

QAbstractButton* FindButton(QWidget& window, const QString& text) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->text() == text && button->isVisible())
            return button;
    return nullptr;
}

// The shown top-level window with this caption, once it is there.
QWidget* AwaitWindow(const QString& caption) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->windowTitle() == caption)
                return widget;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return nullptr;
}

} // namespace

TEST(BrowserEndToEndTest, FavouritesAreQueriedAPlayerIsFoundAndItsServerJoined) {
    TestSupport::TestApp();
    CTempWorkDir dir;
    // Two networks of one server each: Alpha with Abe and Bob, Beta with Tabby and Zed.
    const int base = TestSupport::FreePorts(4);
    ASSERT_NE(base, 0);
    TestSupport::CTestNetProcess alpha(VANTREL_TESTNET,
                                       {"--master-port", std::to_string(base), "--servers", "1",
                                        "--name", "Alpha", "--player", "Abe,3,40", "--player",
                                        "Bob,1,60", "--seconds", "120"});
    TestSupport::CTestNetProcess beta(VANTREL_TESTNET,
                                      {"--master-port", std::to_string(base + 2), "--servers", "1",
                                       "--name", "Beta", "--player", "Tabby,5,30", "--player",
                                       "Zed,0,50", "--seconds", "120"});
    ASSERT_TRUE(alpha.Ready());
    ASSERT_TRUE(beta.Ready());
    const std::string alphaServer = Address(base + 1);
    const std::string betaServer = Address(base + 3);
    // Written by hand: line feeds only, and a name with blanks around it.
    CTempWorkDir::WriteFile("favorites.dat", betaServer + "\t Beta fav \t\n" + alphaServer +
                                                 "\tAlpha fav\tsecret\n");

    const std::filesystem::path gameDir = dir.Path() / "game dir";
    std::filesystem::create_directory(gameDir);
    WriteStandInGame(gameDir / "jk2mp", dir.Path() / "record");
    CRegistryKey key;
    ASSERT_TRUE(OpenSettingsKey(key));
    SaveGamePath(key, (gameDir / "jk2mp").string());
    // The default master is a host name, and resolving it would leave this machine.
    StoreLoopbackMaster(key, Address(base));

    PlatformQt::QtPlatform platform;
    CMainDialog dialog;
    auto click = [&](unsigned id) {
        auto* button = qobject_cast<QAbstractButton*>(platform.Widget(*dialog.GetDlgItem(id)));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    };
    bool played = false;
    QTimer::singleShot(0, [&] {
        // The favourites dialog: "OK" cleans the list and writes it back with CR LF.
        QTimer::singleShot(0, [&] {
            QWidget* favorites = AwaitWindow("Favorites ...");
            ASSERT_NE(favorites, nullptr);
            QAbstractButton* ok = FindButton(*favorites, "OK");
            ASSERT_NE(ok, nullptr);
            ok->click();
        });
        click(Res::IDC_FAVORITES_DIALOG);
        EXPECT_EQ(CTempWorkDir::ReadFile("favorites.dat"),
                  betaServer + "\tBeta fav\t\r\n" + alphaServer + "\tAlpha fav\tsecret\r\n");

        click(Res::IDC_QUERY_FAVORITES);
        Tavex::CTableCtrl& servers = dialog.ServerTable();
        ASSERT_TRUE(AwaitTrue(
            [&] { return !dialog.Engine().IsRunning() && servers.GetRowCount() == 2; }, 20000))
            << servers.GetRowCount() << " servers";
        EXPECT_EQ(dialog.AllPlayersTable().GetRowCount(), 4);

        dialog.SetDlgItemText(Res::IDC_SEARCH_FIELD, "*abb");
        click(Res::IDC_SEARCH);
        Tavex::CTableCtrl& players = dialog.AllPlayersTable();
        ASSERT_EQ(players.GetCurrentRow(), 0);
        EXPECT_EQ(players.GetCellText(0, AllPlayersColumn::kPlayer), "Tabby");
        ASSERT_GE(servers.GetCurrentRow(), 0);
        EXPECT_EQ(servers.GetCellText(servers.GetCurrentRow(), ServerColumn::kIp), betaServer);
        Tavex::CTableCtrl& onServer = dialog.PlayersOnServerTable();
        ASSERT_GE(onServer.GetCurrentRow(), 0);
        EXPECT_EQ(onServer.GetCellText(onServer.GetCurrentRow(), PlayerOnServerColumn::kPlayer),
                  "Tabby");

        // Beta's favourite has no password, so the typed one goes along without a question.
        dialog.SetDlgItemText(Res::IDC_PASSWORD, "  pw ");
        played = true;
        click(Res::IDC_JOIN);
        // "Close after joining" is on by default; should the window still be open, close it.
        if (dialog.IsWindow())
            dialog.OnCancel();
    });
    dialog.DoModal(platform, nullptr);
    ASSERT_TRUE(played);

    const std::string record = AwaitStandInRecord(dir.Path() / "record");
    EXPECT_EQ(record, (gameDir.string() + "\n" + "connect \"" + betaServer + "\"; password \"pw\"" +
                       std::string(1, '\0')));
    EXPECT_EQ(std::filesystem::current_path(), dir.Path());
    // The search went into the history that is stored on closing.
    CRegistryKey stored;
    ASSERT_TRUE(OpenSettingsKey(stored));
    EXPECT_EQ(stored.ReadString(kLastPlayersValue, ""), "*abb\n");
}
