// Desktop notifications against a stand-in notification service on a private session bus: the
// program runs itself under dbus-run-session, so it never reaches the user's own desktop.
#include "app/DesktopNotifier.h"

#include "tests/app/MainWindowFixture.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <unistd.h>
#include <vector>

using namespace Journey;

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

// Answers Notify as a desktop's service does and keeps the arguments of each call.
class CFakeNotifications : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kService || message.member() != "Notify")
            return false;
        std::lock_guard lock(m_mutex);
        m_calls.push_back(message.arguments());
        connection.send(message.createReply(QVariant::fromValue(uint(m_calls.size()))));
        return true;
    }
    std::vector<QList<QVariant>> Calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<QList<QVariant>> m_calls;
};

// The stand-in service on a connection of its own, so calls to it go through the bus.
class CServiceOnBus {
public:
    CServiceOnBus()
        : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-notifications")) {
        m_ok = m_bus.isConnected() && m_bus.registerService(kService) &&
               m_bus.registerVirtualObject(kPath, &m_fake);
    }
    ~CServiceOnBus() {
        m_bus.unregisterObject(kPath);
        m_bus.unregisterService(kService);
        QDBusConnection::disconnectFromBus("fake-notifications");
    }
    bool Ok() const { return m_ok; }
    std::vector<QList<QVariant>> Calls() const { return m_fake.Calls(); }
    std::vector<QString> Summaries() const {
        std::vector<QString> summaries;
        for (const QList<QVariant>& call : Calls())
            summaries.push_back(call.value(3).toString());
        return summaries;
    }

private:
    CFakeNotifications m_fake;
    QDBusConnection m_bus;
    bool m_ok = false;
};

class DesktopNotifierTest : public CMainWindowJourney {};

} // namespace

TEST_F(DesktopNotifierTest, ANotificationReachesTheServiceWithTheTextInUnicode) {
    CServiceOnBus service;
    ASSERT_TRUE(service.Ok());
    CDesktopNotifier notifier;
    notifier.Notify("J\xE4n is playing on ^1Beta");
    ASSERT_TRUE(AwaitTrue([&] { return service.Calls().size() == 1; }));
    const QList<QVariant> call = service.Calls().front();
    ASSERT_EQ(call.size(), 8);
    EXPECT_EQ(call[0].toString(), "Vantrel");
    EXPECT_EQ(call[1].toUInt(), 0u);
    EXPECT_EQ(call[3].toString(), QString::fromUtf8("J\u00e4n is playing on ^1Beta"));
    EXPECT_EQ(call[4].toString(), "");
    EXPECT_EQ(call[7].toInt(), -1);
}

TEST_F(DesktopNotifierTest, WithoutAServiceOrABusNothingIsShownAndNothingFails) {
    CDesktopNotifier notifier;
    QElapsedTimer timer;
    timer.start();
    notifier.Notify("Kyle is playing on Alpha");
    CDesktopNotifier nowhere("unix:path=/nonexistent/vantrel-bus");
    nowhere.Notify("Kyle is playing on Alpha");
    EXPECT_LT(timer.elapsed(), 1000) << "nobody is waited for";
    TestSupport::ProcessEventsFor(200);
    // A service that comes later gets only what is sent from then on.
    CServiceOnBus service;
    ASSERT_TRUE(service.Ok());
    notifier.Notify("Jan is playing on Beta");
    ASSERT_TRUE(AwaitTrue([&] { return !service.Calls().empty(); }));
    TestSupport::ProcessEventsFor(200);
    EXPECT_EQ(service.Summaries(), std::vector<QString>{"Jan is playing on Beta"});
}

TEST_F(DesktopNotifierTest, TheWindowAnnouncesAFriendWhoJoinedAServerOnce) {
    CServiceOnBus service;
    ASSERT_TRUE(service.Ok());
    CTempWorkDir::WriteFile(m_dir.Path() / "friends.dat", "kyle\n");
    Open([&](QWidget& window) {
        QueryMaster();
        ASSERT_EQ(m_net->RunCommand("join 1 ^5Kyle"), "ok");
        QueryMaster();
        EXPECT_TRUE(AwaitTrue([&] { return !service.Calls().empty(); }));
        QueryMaster();
        TestSupport::ProcessEventsFor(200);
        Click(FindButton(window, "Close"));
    });
    EXPECT_EQ(service.Summaries(), std::vector<QString>{"Kyle is playing on Beta"});
}

// Under a private session bus of its own, whoever starts it.
int main(int argc, char** argv) {
    if (std::getenv("VANTREL_PRIVATE_BUS") == nullptr) {
        setenv("VANTREL_PRIVATE_BUS", "1", 1);
        std::vector<char*> command{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i)
            command.push_back(argv[i]);
        command.push_back(nullptr);
        execvp(command[0], command.data());
        std::perror("dbus-run-session");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
