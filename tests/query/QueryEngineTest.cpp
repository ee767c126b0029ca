#include "query/QueryEngine.h"

#include "query/QueryWindow.h"
#include "tools/TestNet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

using namespace std::chrono_literals;
using EBehaviour = CTestServer::EBehaviour;

class CFakeWindow : public CQueryWindowInterface {
public:
    int speed = 5;
    int version = 1;
    bool includeEmpty = false;
    bool includeFull = true;

    int GetVersionIndex() override { return version; }
    int GetSpeedIndex() override { return speed; }
    bool GetIncludeEmpty() override { return includeEmpty; }
    bool GetIncludeFull() override { return includeFull; }
    void SetWaitCursor(bool wait) override { cursorDepth += wait ? 1 : -1; }
    void ShowMessage(const std::string& text, bool) override {
        std::lock_guard lock(m_mutex);
        messages.push_back(text);
    }
    void OnQueryStarted(unsigned run, std::size_t servers) override {
        started.push_back({run, servers});
    }
    void PostServerDone(unsigned run, CServerRecord* record) override {
        std::lock_guard lock(m_mutex);
        posted.push_back({run, record});
        m_changed.notify_all();
    }

    // Waits until `count` records are posted; false after the time-out.
    bool WaitForPosts(std::size_t count, std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return posted.size() >= count; });
    }
    std::vector<std::pair<unsigned, CServerRecord*>> Posted() {
        std::lock_guard lock(m_mutex);
        return posted;
    }

    int cursorDepth = 0;
    std::vector<std::pair<unsigned, std::size_t>> started;
    std::vector<std::string> messages;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::pair<unsigned, CServerRecord*>> posted;
};

CTestServer Server(std::string name, EBehaviour behaviour = EBehaviour::Answer, int delayMs = 0) {
    CTestServer server;
    server.name = std::move(name);
    server.behaviour = behaviour;
    server.delayMs = delayMs;
    server.players = {{"^1\"Luke\"", 12, 87}, {"Obi", -3, 0}};
    return server;
}

CSockAddr AddressOf(std::uint16_t port) {
    return CSockAddr("127.0.0.1:" + std::to_string(port));
}

// Lists every server of the network in the engine, as the favourites would.
void ListAll(CQueryEngine& engine, const CTestNet& net) {
    for (std::size_t i = 0; i < net.GetConfig().servers.size(); ++i) {
        CSockAddr address = AddressOf(net.GetServerPort(static_cast<int>(i)));
        engine.GetServerList().FindOrInsert(address) = CServerRecord(address);
    }
}

bool WaitUntilStopped(CQueryEngine& engine) {
    for (int i = 0; i < 500 && engine.IsRunning(); ++i)
        std::this_thread::sleep_for(10ms);
    return !engine.IsRunning();
}

std::vector<int> RequestCounts(const CTestNet& net) {
    std::vector<int> counts(net.GetConfig().servers.size());
    for (const auto& request : net.GetRequests())
        ++counts[static_cast<std::size_t>(request.server)];
    return counts;
}

} // namespace

TEST(QueryEngineTest, EmptyListEndsAtOnceWithoutPosts) {
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.StartQuery();
    ASSERT_EQ(window.started.size(), 1u);
    EXPECT_EQ(window.started[0].second, 0u);
    EXPECT_TRUE(WaitUntilStopped(engine));
    EXPECT_TRUE(window.Posted().empty());
    EXPECT_TRUE(window.messages.empty());
}

TEST(QueryEngineTest, EachServerIsPostedOnceWithItsOutcome) {
    CTestNetConfig config;
    config.servers = {
        Server("^1Red ^7Server", EBehaviour::Answer, 30), Server("silent", EBehaviour::Silent),
        Server("second", EBehaviour::ResendOnly), Server("elsewhere", EBehaviour::WrongPort),
        Server("broken", EBehaviour::Malformed)};
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);

    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(5));
    EXPECT_TRUE(WaitUntilStopped(engine));
    auto posted = window.Posted();
    ASSERT_EQ(posted.size(), 5u);
    std::vector<CServerRecord*> records;
    for (auto [run, record] : posted) {
        EXPECT_TRUE(engine.IsCurrentRun(run));
        records.push_back(record);
    }
    std::sort(records.begin(), records.end());
    EXPECT_EQ(std::unique(records.begin(), records.end()), records.end());

    auto record = [&](int server) {
        return engine.GetServerList().Find(AddressOf(net.GetServerPort(server)));
    };
    const CServerRecord* answered = record(0);
    EXPECT_EQ(answered->m_state, 999);
    EXPECT_EQ(answered->m_name, "Red Server");
    EXPECT_GE(answered->m_ping, 30);
    EXPECT_LT(answered->m_ping, 1200); // answered the first request
    ASSERT_EQ(answered->m_players.size(), 2u);
    EXPECT_EQ(answered->m_players[0].name, "Luke");

    EXPECT_EQ(record(1)->m_state, 3);
    EXPECT_EQ(record(1)->m_ping, 9999);
    EXPECT_EQ(record(2)->m_state, 999); // answered its resend
    EXPECT_EQ(record(2)->m_name, "second");
    // A reply from the right address but another port belongs to no record.
    EXPECT_EQ(record(3)->m_state, 3);
    EXPECT_EQ(record(3)->m_name, record(3)->m_address.Format());
    EXPECT_EQ(record(4)->m_state, 999); // whatever the right sender says counts as an answer

    std::vector<int> counts = RequestCounts(net);
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 2, 2, 1}));
}

TEST(QueryEngineTest, ModemResendTakesANewServersPlace) {
    // Given ten silent servers queried at one request per tick
    CTestNetConfig config;
    for (int i = 0; i < 10; ++i)
        config.servers.push_back(Server("silent", EBehaviour::Silent));
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    window.speed = 0;
    CQueryEngine engine(window);
    ListAll(engine, net);

    engine.StartQuery();
    for (int i = 0; i < 600 && net.GetRequests().size() < 16; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(engine.StopQuery(5000));

    // Then one new server goes out per tick until the first resend, after more than 1200 ms
    auto requests = net.GetRequests();
    ASSERT_GE(requests.size(), 16u);
    std::vector<bool> seen(10);
    std::vector<bool> isResend;
    for (const auto& request : requests) {
        isResend.push_back(seen[static_cast<std::size_t>(request.server)]);
        seen[static_cast<std::size_t>(request.server)] = true;
    }
    std::size_t firstResend = 0;
    while (!isResend[firstResend])
        ++firstResend;
    EXPECT_GE(firstResend, 6u);
    EXPECT_GT(requests[firstResend].at - requests[0].at, 1200ms);
    // Ticks keep their phase, so a late tick may be followed closely by the next one; what
    // never happens is the i-th new server going out before the i-th tick.
    for (std::size_t i = 1; i < firstResend; ++i)
        EXPECT_GE(requests[i].at - requests[0].at, i * 200ms - 20ms) << "more than one per tick";

    // And a new server is dispatched only in a tick without resends (they may pile up in one
    // tick, never held back by the limit)
    std::size_t newAfterResends = 0;
    for (std::size_t i = firstResend; i < requests.size(); ++i) {
        if (isResend[i])
            continue;
        ++newAfterResends;
        for (std::size_t j = 0; j < requests.size(); ++j) {
            auto apart = requests[i].at - requests[j].at;
            // One tick's requests leave within microseconds; 5 ms apart are different ticks
            // even when a late tick is followed closely by the next.
            if (j != i && isResend[j] && apart < 5ms && apart > -5ms)
                ADD_FAILURE() << "request " << i << " went out with resend " << j;
        }
    }
    EXPECT_GT(newAfterResends, 0u);
    EXPECT_TRUE(window.Posted().size() < 10u);
}

TEST(QueryEngineTest, ReplyToTheFirstRequestAfterTheResendIsTimedFromTheResend) {
    CTestNetConfig config;
    config.servers = {Server("slow", EBehaviour::Answer, 1800)};
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);

    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(1));
    const CServerRecord* record = window.Posted()[0].second;
    EXPECT_EQ(record->m_state, 999);
    // Resend at the first tick after 1200 ms, reply at 1800 ms: about 400 to 600 ms.
    EXPECT_GE(record->m_ping, 200);
    EXPECT_LT(record->m_ping, 700);
    EXPECT_EQ(RequestCounts(net), std::vector<int>{2});
}

TEST(QueryEngineTest, StopLeavesOutstandingServersUnpostedAndANewRunStartsClean) {
    CTestNetConfig config;
    for (int i = 0; i < 5; ++i)
        config.servers.push_back(Server("silent", EBehaviour::Silent));
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);

    engine.StartQuery();
    for (int i = 0; i < 200 && net.GetRequests().size() < 5; ++i)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(net.GetRequests().size(), 5u);
    EXPECT_TRUE(engine.StopQuery(5000));
    EXPECT_FALSE(engine.IsRunning());
    EXPECT_TRUE(window.Posted().empty());
    unsigned stoppedRun = window.started.back().first;

    // A stop asked for while nothing runs does not stop the next run.
    engine.RequestStop();
    CTestNetConfig answering;
    answering.servers = {Server("up")};
    CTestNet other(answering);
    other.Start();
    engine.GetServerList().Clear();
    ListAll(engine, other);
    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(1));
    auto [run, record] = window.Posted()[0];
    EXPECT_NE(run, stoppedRun);
    EXPECT_FALSE(engine.IsCurrentRun(stoppedRun));
    EXPECT_TRUE(engine.IsCurrentRun(run));
    EXPECT_EQ(record->m_name, "up");
}

TEST(QueryEngineTest, MasterListsEveryServerOnceOverSeveralDatagrams) {
    CTestNetConfig config;
    for (int i = 0; i < 6; ++i)
        config.servers.push_back(Server("m" + std::to_string(i)));
    config.servers[2].listTwice = true;
    config.masterDatagrams = 3;
    config.masterAnswerProbe = 3;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    window.includeEmpty = true;
    window.includeFull = false;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(100, 50);

    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    EXPECT_EQ(window.cursorDepth, 0);
    EXPECT_TRUE(engine.GetIncludeEmpty());
    EXPECT_FALSE(engine.GetIncludeFull());
    EXPECT_EQ(net.GetMasterRequests(), 4); // three probes, the last answered, and the request
    EXPECT_EQ(engine.GetServerList().Size(), 6u);
    ASSERT_TRUE(window.WaitForPosts(6));
    ASSERT_TRUE(WaitUntilStopped(engine));
    EXPECT_EQ(RequestCounts(net), std::vector<int>(6, 1));
}

TEST(QueryEngineTest, SilentMasterKeepsTheOldList) {
    CTestNetConfig config;
    config.masterSilent = true;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(50, 25);
    engine.GetServerList().FindOrInsert(AddressOf(9));

    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::NoResponse);
    EXPECT_EQ(net.GetMasterRequests(), 3);
    EXPECT_EQ(window.messages, std::vector<std::string>{"No response from master server."});
    EXPECT_EQ(window.cursorDepth, 0);
    EXPECT_EQ(engine.GetServerList().Size(), 1u);
    EXPECT_TRUE(window.started.empty());
    EXPECT_FALSE(engine.IsRunning());
}

namespace {

// Reads the master's answer as usual until the read numbered failAt, which fails.
class CFailingReadEngine : public CQueryEngine {
public:
    using CQueryEngine::CQueryEngine;
    int failAt = 2;

protected:
    int ReceiveMasterReply(CSockUDP& socket, std::string& datagram) override {
        if (++m_reads >= failAt)
            return 10054;
        return CQueryEngine::ReceiveMasterReply(socket, datagram);
    }

private:
    int m_reads = 0;
};

} // namespace

TEST(QueryEngineTest, MasterReadFailureKeepsWhatWasReadAndEndsTheOldRun) {
    // Given a finished run over four servers whose master splits them over two datagrams
    CTestNetConfig config;
    for (int i = 0; i < 4; ++i)
        config.servers.push_back(Server("s" + std::to_string(i)));
    config.masterDatagrams = 2;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CFailingReadEngine engine(window);
    ListAll(engine, net);
    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(4));
    ASSERT_TRUE(WaitUntilStopped(engine));
    const unsigned oldRun = window.started.back().first;
    ASSERT_TRUE(engine.IsCurrentRun(oldRun));

    // When the master's second datagram cannot be read
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(100, 50);
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Failed);

    // Then the error is shown, the list holds the first datagram's servers, no run starts,
    // and results of the old run, whose records are gone, are no longer current
    EXPECT_EQ(window.messages,
              std::vector<std::string>{"Socket Error 10054 : Connection reset by peer"});
    EXPECT_EQ(window.cursorDepth, 0);
    EXPECT_EQ(engine.GetServerList().Size(), 2u);
    EXPECT_NE(engine.GetServerList().Find(AddressOf(net.GetServerPort(0))), nullptr);
    EXPECT_NE(engine.GetServerList().Find(AddressOf(net.GetServerPort(1))), nullptr);
    EXPECT_EQ(window.started.size(), 1u);
    EXPECT_FALSE(engine.IsRunning());
    EXPECT_FALSE(engine.IsCurrentRun(oldRun));
}
