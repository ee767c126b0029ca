// Test helper: the main window opened on the offscreen Qt platform against a loopback test
// network in this process (three servers, Alpha, Beta and Gamma, in that order of ping), in a
// fresh working directory and settings store.
#pragma once

#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "resources/ResourceIds.h"
#include "tests/app/Journey.h"
#include "tests/app/LoopbackMaster.h"
#include "tests/app/TempWorkDir.h"
#include "tools/TestNet.h"

#include <QTabBar>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Journey {

// Qt's file chooser keeps its history in the user's configuration folder; the journeys give it
// a folder of their own for the whole run, removed at its end.
inline void ConfineQtSettings() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantrel-journey-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
        return std::filesystem::path(pattern);
    }();
    static const struct CRemover {
        ~CRemover() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } remover;
}

inline CTestServer Server(const std::string& name, std::vector<CTestPlayer> players,
                          int delayMs = 0) {
    CTestServer server;
    server.name = name;
    server.players = std::move(players);
    server.delayMs = delayMs;
    return server;
}

class CMainWindowJourney : public testing::Test {
protected:
    CMainWindowJourney() {
        ConfineQtSettings();
        TestSupport::TestApp();
        CTestNetConfig config;
        // Pings follow the delays, so the server table's ping order is Alpha, Beta, Gamma.
        config.servers = {Server("Alpha", {{"Abe", 3, 40}, {"Bob", 9, 60}, {"Cy", 1, 50}}, 0),
                          Server("Beta", {{"Dee", 5, 30}, {"Eve", 2, 20}}, 40),
                          Server("Gamma", {{"Fay", 0, 10}}, 80)};
        m_net = std::make_unique<CTestNet>(config);
        m_net->Start();
        CRegistryKey key = Key();
        StoreLoopbackMaster(key, Master());
    }

    std::string Master() const { return "127.0.0.1:" + std::to_string(m_net->GetMasterPort()); }

    static CRegistryKey Key() {
        CRegistryKey key;
        OpenSettingsKey(key);
        return key;
    }

    QWidget* W(unsigned id) { return m_platform.Widget(*m_dialog->GetDlgItem(id)); }
    std::string Text(unsigned id) { return m_dialog->GetDlgItemText(id); }

    void ClickTab(int index) {
        QTabBar* bar = W(Res::IDC_VIEW_TABS)->findChild<QTabBar*>();
        ASSERT_NE(bar, nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    }

    // "Query Master", then wait for every server's answer.
    void QueryMaster() {
        m_dialog->Engine().SetMasterWaits(300, 100);
        Click(W(Res::IDC_QUERY_MASTER));
        ASSERT_TRUE(AwaitTrue([&] { return Text(Res::IDC_SERVERS_TO_QUERY) == "0"; }));
    }

    int ServerRow(const std::string& name) {
        return m_dialog->ServerTable().FindRowByPrefix(ServerColumn::kServer, name, -1);
    }

    std::vector<std::string> Column(Tavex::CTableCtrl& table, int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < table.GetRowCount(); ++row)
            texts.push_back(table.GetCellText(row, column));
        return texts;
    }
    std::vector<std::string> PlayersShown() {
        return Column(m_dialog->PlayersOnServerTable(), PlayerOnServerColumn::kPlayer);
    }

    void Open(const std::function<void(QWidget&)>& user) {
        CMainDialog dialog;
        m_dialog = &dialog;
        Play(m_platform, dialog, user);
        m_dialog = nullptr;
    }

    CTempWorkDir m_dir;
    std::unique_ptr<CTestNet> m_net;
    PlatformQt::QtPlatform m_platform;
    CMainDialog* m_dialog = nullptr;
};

} // namespace Journey
