#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "platform/qt/QtPlatform.h"
#include "resources/ResourceIds.h"
#include "tests/app/LoopbackMaster.h"
#include "tests/app/TempWorkDir.h"
#include "tests/support/qt/QtTestApp.h"
#include "tools/TestNet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using TestSupport::AwaitTrue;

namespace {

// Counts the paint events a window gets while the master exchange runs.
class CPaintsDuringExchange : public QObject {
public:
    explicit CPaintsDuringExchange(CQueryEngine& engine) : m_engine(engine) {}
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_engine.IsMasterExchange())
            ++count;
        return false;
    }

private:
    CQueryEngine& m_engine;
};

CTestServer Server(const std::string& name) {
    CTestServer server;
    server.name = name;
    server.players = {{"Abe", 1, 40}};
    return server;
}

class MasterExchangeQtTest : public testing::Test {
protected:
    void SetUp() override { TestSupport::TestApp(); }

    void UseMaster(const CTestNet& net) {
        CRegistryKey key;
        ASSERT_TRUE(OpenSettingsKey(key));
        StoreLoopbackMaster(key, "127.0.0.1:" + std::to_string(net.GetMasterPort()));
    }

    QWidget& Widget(unsigned id) { return *m_platform.Widget(*m_dialog.GetDlgItem(id)); }
    void Click(unsigned id) { qobject_cast<QAbstractButton*>(&Widget(id))->click(); }

    CTempWorkDir m_dir;
    PlatformQt::QtPlatform m_platform;
    CMainDialog m_dialog;
};

} // namespace

TEST_F(MasterExchangeQtTest, FloodedExchangeKeepsTheWindowPaintingAndListsOnlyTheMasters) {
    // Given a master of three servers and a third party flooding whoever asks it
    CTestNetConfig config;
    config.servers = {Server("one"), Server("two"), Server("three")};
    config.floodPps = 20000;
    config.masterEndMarker = EEndMarker::Never; // so the read waits for the master's quiet
    CTestNet net(config);
    net.Start();
    UseMaster(net);

    bool played = false;
    QTimer::singleShot(0, [&] {
        QWidget& window = *m_platform.Widget(m_dialog);
        CPaintsDuringExchange paints(m_dialog.Engine());
        window.installEventFilter(&paints);
        bool during = false, queryEnabled = true, closeEnabled = false, waitCursor = false;
        // The master answers at once, and the read then goes on for 2 s of quiet from it.
        QTimer::singleShot(300, [&] {
            during = m_dialog.Engine().IsMasterExchange();
            queryEnabled = Widget(Res::IDC_QUERY_MASTER).isEnabled();
            closeEnabled = Widget(Platform::IDCANCEL).isEnabled();
            waitCursor = QApplication::overrideCursor() != nullptr;
            window.resize(window.width() + 40, window.height() + 30);
            window.update();
        });
        QElapsedTimer exchange;
        exchange.start();
        Click(Res::IDC_QUERY_MASTER); // returns when the exchange is over
        const qint64 took = exchange.elapsed();
        window.removeEventFilter(&paints);

        // Then the window painted during the exchange with only "Close" taking input, the
        // exchange ended 2 s after the master's answer, and it listed the master's servers
        EXPECT_TRUE(during);
        EXPECT_GT(paints.count, 0);
        EXPECT_FALSE(queryEnabled);
        EXPECT_TRUE(closeEnabled);
        EXPECT_TRUE(waitCursor);
        EXPECT_GE(took, 1900);
        EXPECT_LT(took, 5000);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(Widget(Res::IDC_QUERY_MASTER).isEnabled());
        EXPECT_EQ(m_dialog.Engine().GetServerList().Size(), 3u);
        EXPECT_TRUE(AwaitTrue(
            [&] {
                return !m_dialog.Engine().IsRunning() && m_dialog.ServerTable().GetRowCount() == 3;
            },
            10000));
        played = true;
        m_dialog.OnCancel();
    });
    m_dialog.DoModal(m_platform, nullptr);
    EXPECT_TRUE(played);
}

TEST_F(MasterExchangeQtTest, ANewcomersFirstStartAsksEveryMasterForBothVersions) {
    // Given three masters, the third silent, listing servers of both protocols, one of them
    // twice, and settings that name the masters but nothing else
    CTestNetConfig config;
    config.servers = {Server("new"), Server("old"), Server("older")};
    config.servers[0].protocol = 16;
    config.servers[1].protocol = 15;
    config.servers[1].variables = {{"version", "JK2MP: v1.03 linux-i386"}};
    config.servers[2].protocol = 15;
    config.masterByProtocol = true;
    config.masterServers = {0, 1};
    config.moreMasters = {{{1, 2}}, {{0}}};
    config.moreMasters[1].silent = true;
    CTestNet net(config);
    net.Start();
    auto text = [&](std::uint16_t port) { return "127.0.0.1:" + std::to_string(port); };
    CRegistryKey key;
    ASSERT_TRUE(OpenSettingsKey(key));
    key.WriteString(kMasterValue, text(net.GetMasterPort()));
    key.WriteString(kMoreMastersValue,
                    text(net.GetMoreMasterPort(0)) + " " + text(net.GetMoreMasterPort(1)));

    bool played = false;
    QTimer::singleShot(0, [&] {
        // Then the window asks at once, for "All", and lists each server once with its
        // version, while the line under the buttons names the master that did not answer
        EXPECT_EQ(m_dialog.Control(Res::IDC_VERSION)
                      .GetLBText(m_dialog.Control(Res::IDC_VERSION).GetCurSel()),
                  "All");
        EXPECT_TRUE(AwaitTrue(
            [&] {
                return !m_dialog.Engine().IsMasterExchange() && !m_dialog.Engine().IsRunning() &&
                       m_dialog.ServerTable().GetRowCount() == 3;
            },
            10000));
        std::map<std::string, std::string> versions;
        for (int row = 0; row < m_dialog.ServerTable().GetRowCount(); ++row)
            versions[m_dialog.ServerTable().GetCellText(row, ServerColumn::kServer)] =
                m_dialog.ServerTable().GetCellText(row, ServerColumn::kVersion);
        EXPECT_EQ(versions, (std::map<std::string, std::string>{
                                {"new", "1.04"}, {"old", "1.03"}, {"older", "1.02"}}));
        EXPECT_EQ(m_dialog.GetDlgItemText(Res::IDC_MASTER_STATUS),
                  "2 of 3 masters answered. Silent: " + text(net.GetMoreMasterPort(1)) + ".");
        EXPECT_EQ(m_dialog.GetDlgItemText(Res::IDC_SERVERS_TO_QUERY), "0");
        played = true;
        m_dialog.OnCancel();
    });
    m_dialog.DoModal(m_platform, nullptr);
    EXPECT_TRUE(played);
}

TEST_F(MasterExchangeQtTest, CloseDuringTheExchangeEndsItAndClosesTheWindow) {
    CTestNetConfig config;
    config.masterSilent = true; // the probes alone would take 4.5 s
    CTestNet net(config);
    net.Start();
    UseMaster(net);

    QElapsedTimer closing;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(300, [&] {
            ASSERT_TRUE(m_dialog.Engine().IsMasterExchange());
            closing.start();
            Click(Platform::IDCANCEL);
        });
        Click(Res::IDC_QUERY_MASTER);
    });
    m_dialog.DoModal(m_platform, nullptr);

    ASSERT_TRUE(closing.isValid());
    EXPECT_LT(closing.elapsed(), 1000);
    EXPECT_FALSE(m_dialog.IsWindow());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Closed as usual: the settings were written.
    CRegistryKey key;
    ASSERT_TRUE(OpenSettingsKey(key));
    EXPECT_TRUE(ReadWindowRect(key, kLastPosValue).has_value());
}
