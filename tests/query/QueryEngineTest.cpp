#include "query/QueryEngine.h"

#include "query/Protocol.h"
#include "query/QueryWindow.h"
#include "tools/TestNet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>

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
        cursorAtMessages.push_back(cursorDepth);
    }
    std::uint32_t WaitDuringMasterExchange(std::initializer_list<CWaitable*> objects,
                                           std::uint32_t timeoutMs) override {
        ++exchangeWaits;
        if (onExchangeWait)
            onExchangeWait();
        return WaitForMultipleObjects(objects, timeoutMs);
    }
    void OnQueryStarted(unsigned run, std::size_t servers) override {
        started.push_back({run, servers});
    }
    void OnQueryGrown(unsigned run, const std::vector<CServerRecord*>& added) override {
        if (onGrown)
            onGrown(added);
        grown.push_back({run, added.size()});
    }
    void OnListingComplete(unsigned run) override { listingComplete.push_back(run); }
    void OnRefreshStarted(unsigned refresh, std::size_t servers) override {
        refreshes.push_back({refresh, servers});
    }
    void PostRefreshDone(unsigned refresh, CServerRecord* fresh) override {
        std::lock_guard lock(m_mutex);
        refreshed.push_back({refresh, fresh});
        m_changed.notify_all();
    }
    std::size_t RefreshedCount() {
        std::lock_guard lock(m_mutex);
        return refreshed.size();
    }
    void PostServerDone(unsigned run, CServerRecord* record) override {
        if (onPost) // on the worker's thread, which waits meanwhile
            onPost(record);
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
    std::vector<std::pair<unsigned, std::size_t>> grown;
    std::vector<unsigned> listingComplete;
    std::vector<std::pair<unsigned, std::size_t>> refreshes;
    std::vector<std::pair<unsigned, CServerRecord*>> refreshed; // under the mutex
    std::function<void(const std::vector<CServerRecord*>&)> onGrown;
    std::vector<std::string> messages;
    std::vector<int> cursorAtMessages;
    int exchangeWaits = 0;
    std::function<void()> onExchangeWait;
    std::function<void(CServerRecord*)> onPost;

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
    // The reply waited 30 ms; the send is stamped only once sendto returned, a moment after
    // the request left, and the ping is truncated to whole milliseconds.
    EXPECT_GE(answered->m_ping, 29);
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
    EXPECT_EQ(window.cursorAtMessages, std::vector<int>{0}); // restored before the box
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
    int ReceiveMasterReply(CSockUDP& socket, std::string& datagram, CSockAddr& sender) override {
        if (++m_reads >= failAt)
            return 10054;
        return CQueryEngine::ReceiveMasterReply(socket, datagram, sender);
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
    EXPECT_EQ(window.cursorAtMessages, std::vector<int>{0});
    EXPECT_EQ(window.cursorDepth, 0);
    EXPECT_EQ(engine.GetServerList().Size(), 2u);
    EXPECT_NE(engine.GetServerList().Find(AddressOf(net.GetServerPort(0))), nullptr);
    EXPECT_NE(engine.GetServerList().Find(AddressOf(net.GetServerPort(1))), nullptr);
    EXPECT_EQ(window.started.size(), 1u);
    EXPECT_FALSE(engine.IsRunning());
    EXPECT_FALSE(engine.IsCurrentRun(oldRun));
}

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

std::size_t Dispatched(const CServerList& list) {
    return static_cast<std::size_t>(std::count_if(
        list.begin(), list.end(), [](const auto& entry) { return entry.second.m_state != 0; }));
}

} // namespace

TEST(QueryEngineTest, ThirdPartyFloodingTheMasterSocketAddsNothingAndHoldsNothingUp) {
    // Given a master of three servers and a third party flooding whoever asks it with lists of
    // servers that do not exist
    CTestNetConfig config;
    for (int i = 0; i < 3; ++i)
        config.servers.push_back(Server("m" + std::to_string(i)));
    config.floodPps = 20000;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(200, 100, 3000);

    // When the master is queried
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);

    // Then only the master's servers are listed, and the read ended once the master was quiet
    // for twice the wait, not at the read limit the flood would otherwise keep it going to
    EXPECT_LT(Since(start), 2000ms);
    EXPECT_GT(window.exchangeWaits, 1);
    ASSERT_EQ(engine.GetServerList().Size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(engine.GetServerList().Find(AddressOf(net.GetServerPort(i))), nullptr);
    ASSERT_TRUE(window.WaitForPosts(3));
    EXPECT_TRUE(WaitUntilStopped(engine));
}

TEST(QueryEngineTest, MasterReadWaitsTwiceTheProbesWaitAndEndsAtItsLimit) {
    // Given a master that never marks the end of its list and, after its answer, sends one
    // more list every 400 ms for ever
    CTestNetConfig config;
    config.servers = {Server("real")};
    config.masterStreamMs = 400;
    config.masterEndMarker = EEndMarker::Never;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(300, 100, 1500);

    const Clock::time_point start = Clock::now();
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    const auto took = Since(start);
    EXPECT_TRUE(engine.StopQuery(5000));

    // Then each list came within the 600 ms allowed after the first probe's 300 ms wait, so
    // the read went on until its limit, and took the master's further lists
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 2500ms);
    EXPECT_GE(engine.GetServerList().Size(), 1u + 3 * 200);
    EXPECT_NE(engine.GetServerList().Find(AddressOf(net.GetServerPort(0))), nullptr);
}

TEST(QueryEngineTest, MasterListEndsAtFiftyThousandServers) {
    CTestNetConfig config;
    config.masterStreamMs = 1; // 200 servers a millisecond
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(300, 100);

    const Clock::time_point start = Clock::now();
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    EXPECT_LT(Since(start), 10s); // well before the 15 s read limit
    EXPECT_TRUE(engine.StopQuery(5000));
    EXPECT_EQ(engine.GetServerList().Size(), kMaxListedServers);
}

TEST(QueryEngineTest, CancelEndsTheExchangeWithoutAQueryAndRefusesReentry) {
    CTestNetConfig config;
    config.servers = {Server("s")};
    config.masterAnswerProbe = 3; // the exchange is in its probes for a while
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(300, 100);
    std::vector<CQueryEngine::EMasterResult> nested;
    bool prepared = true;
    window.onExchangeWait = [&] {
        if (window.exchangeWaits != 1)
            return;
        // The window's events run during the waits: a second query is refused, then "Close"
        nested.push_back(engine.QueryMaster());
        prepared = engine.PrepareQuery();
        engine.CancelMasterQuery();
    };

    const Clock::time_point start = Clock::now();
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Cancelled);
    EXPECT_LT(Since(start), 250ms);
    EXPECT_EQ(nested, std::vector{CQueryEngine::EMasterResult::Busy});
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(engine.IsMasterExchange());
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(window.started.empty());
    EXPECT_EQ(window.cursorDepth, 0);
    // A cancel outside an exchange does not end the next one.
    engine.CancelMasterQuery();
    window.onExchangeWait = nullptr;
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    EXPECT_TRUE(engine.StopQuery(5000));
}

TEST(QueryEngineTest, SpeedGivesTwoToItsIndexRequestsPerTickAndIsdnOutOfRange) {
    for (auto [speed, limit] :
         {std::pair{0, 1}, {1, 2}, {2, 4}, {3, 8}, {4, 16}, {5, 32}, {-1, 2}, {6, 2}, {1000, 2}})
        EXPECT_EQ(CQueryEngine::LimitOfSpeed(speed), limit) << speed;

    // And the worker keeps to it: the first tick sends exactly that many requests.
    for (auto [speed, limit] : {std::pair{3, 8u}, {5, 32u}, {7, 2u}}) {
        CTestNetConfig config;
        for (int i = 0; i < 40; ++i)
            config.servers.push_back(Server("silent", EBehaviour::Silent));
        CTestNet net(config);
        net.Start();
        CFakeWindow window;
        window.speed = speed;
        CQueryEngine engine(window);
        ListAll(engine, net);
        engine.StartQuery();
        for (int i = 0; i < 200 && net.GetRequests().size() <= limit; ++i)
            std::this_thread::sleep_for(5ms);
        EXPECT_TRUE(engine.StopQuery(5000));
        auto requests = net.GetRequests();
        ASSERT_GT(requests.size(), limit) << speed;
        std::size_t firstTick = 0;
        while (firstTick < requests.size() && requests[firstTick].at - requests[0].at < 100ms)
            ++firstTick;
        EXPECT_EQ(firstTick, limit) << speed;
    }
}

namespace {

// Servers for watching the worker's wait order: A answers at once, B after 300 ms, the rest
// never. At two requests a tick A and B go out in the first tick and A is posted in the second,
// whose post the window holds up for 450 ms: meanwhile B's reply arrives and the next tick
// falls due. The servers take ports whose low bytes count up from 1, so that the list, which
// the port's low byte orders first, holds them in this order.
std::unique_ptr<CTestNet> HeldUpPostNet() {
    CTestNetConfig config;
    config.servers = {Server("A"), Server("B", EBehaviour::Answer, 300)};
    for (int i = 0; i < 6; ++i)
        config.servers.push_back(Server("silent", EBehaviour::Silent));
    for (int high = 150; high < 250; ++high) {
        config.masterPort = static_cast<std::uint16_t>(high * 256);
        auto net = std::make_unique<CTestNet>(config);
        try {
            net->Start();
            return net;
        } catch (const std::runtime_error&) {
            // one of these ports is taken: the next block
        }
    }
    throw std::runtime_error("no free block of ports");
}

} // namespace

TEST(QueryEngineTest, StopWinsOverAWaitingReplyAndADueTick) {
    std::unique_ptr<CTestNet> held = HeldUpPostNet();
    CTestNet& net = *held;
    CFakeWindow window;
    window.speed = 1;
    CQueryEngine engine(window);
    ListAll(engine, net);
    window.onPost = [&](CServerRecord*) {
        std::this_thread::sleep_for(450ms);
        engine.RequestStop();
    };

    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(1));
    EXPECT_TRUE(engine.StopQuery(5000));

    // A was posted as soon as its reply was read; then the stop came first: B's reply was not
    // taken, and no tick dispatched further servers.
    ASSERT_EQ(window.Posted().size(), 1u);
    EXPECT_EQ(window.Posted()[0].second->m_name, "A");
    EXPECT_EQ(engine.GetServerList().Find(AddressOf(net.GetServerPort(1)))->m_state, 1);
    EXPECT_EQ(Dispatched(engine.GetServerList()), 2u);
}

TEST(QueryEngineTest, AWaitingReplyIsTakenBeforeTheDueTickThatPostsIt) {
    std::unique_ptr<CTestNet> held = HeldUpPostNet();
    CTestNet& net = *held;
    CFakeWindow window;
    window.speed = 1;
    CQueryEngine engine(window);
    ListAll(engine, net);
    std::size_t dispatchedWhenBWasPosted = 0;
    window.onPost = [&](CServerRecord* record) {
        if (record->m_name == "A")
            std::this_thread::sleep_for(450ms);
        else if (record->m_name == "B") // the worker's own thread: the list is its to read
            dispatchedWhenBWasPosted = Dispatched(engine.GetServerList());
    };

    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(2));
    EXPECT_TRUE(engine.StopQuery(5000));

    // B's waiting reply is read before the tick that was due meanwhile, and B is posted at
    // once, before that tick dispatches the next two servers, with the ping of its reply's
    // arrival: the 350 ms it waited for the worker are not B's.
    const CServerRecord* b = window.Posted()[1].second;
    EXPECT_EQ(b->m_name, "B");
    EXPECT_EQ(dispatchedWhenBWasPosted, 2u);
    EXPECT_GE(b->m_ping, 300);
    EXPECT_LT(b->m_ping, 340);
}

TEST(QueryEngineTest, MalformedFloodsAreCutAtTheCapsAndStillAnswered) {
    CTestNetConfig config;
    for (int i = 0; i < 8; ++i)
        config.servers.push_back(Server("broken", EBehaviour::Malformed));
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);

    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(8));
    EXPECT_TRUE(WaitUntilStopped(engine));
    for (auto [run, record] : window.Posted())
        EXPECT_EQ(record->m_state, 999);
    const CServerRecord* lines = engine.GetServerList().Find(AddressOf(net.GetServerPort(6)));
    EXPECT_EQ(lines->m_name, "line flood");
    EXPECT_EQ(lines->m_players.size(), CServerRecord::kMaxPlayers);
    const CServerRecord* pairs = engine.GetServerList().Find(AddressOf(net.GetServerPort(7)));
    EXPECT_EQ(pairs->m_variables.size(), CServerRecord::kMaxVariables);
    EXPECT_TRUE(pairs->m_players.empty());
}

// Under ThreadSanitizer every datagram costs the worker many times its usual time, and a flood
// of the normal build's rate would take most of a core from it; a lighter one still tests the
// same path.
#if defined(__SANITIZE_THREAD__)
constexpr int kWorkerFloodPps = 5000;
#else
constexpr int kWorkerFloodPps = 20000;
#endif

TEST(QueryEngineTest, FloodAtTheWorkersSocketDoesNotSlowTheRun) {
    // Given 1,000 servers at 32 a tick: 32 ticks dispatch them all, the 33rd posts the last
    // answers and the 34th, at 6.6 s, finds the run complete
    CTestNetConfig config;
    config.servers.resize(1000);
    config.floodPps = kWorkerFloodPps;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);

    const Clock::time_point start = Clock::now();
    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(1000, 20s));

    ASSERT_TRUE(WaitUntilStopped(engine));
    const auto took = Since(start);

    // Then the run keeps to its pacing within 5 %, every server answered
    EXPECT_LT(took, 6930ms);
    for (auto [run, record] : window.Posted())
        EXPECT_EQ(record->m_state, 999);
}

TEST(QueryEngineTest, TicksKeepTheirTimeWhileTheWorkersSocketIsFlooded) {
    // Given 160 silent servers at 32 a tick, and a third party sending tiny datagrams to the
    // worker's socket as fast as it can
    CTestNetConfig config;
    for (int i = 0; i < 160; ++i)
        config.servers.push_back(Server("silent", EBehaviour::Silent));
    config.floodPps = 2000000;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);

    const std::int64_t start =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count();
    engine.StartQuery();
    std::this_thread::sleep_for(1100ms); // before the first resend falls due
    EXPECT_TRUE(engine.StopQuery(5000));

    // Then the five ticks at 0 to 800 ms dispatched them all in list order, none of them more
    // than 40 ms late. A worker that read the flood without pause until the socket ran dry
    // would hold a tick up for as long as the flood outpaced it, as it does in the sanitizer
    // builds.
    std::int64_t latest = 0;
    int index = 0;
    for (const auto& [address, record] : engine.GetServerList()) {
        EXPECT_EQ(record.m_state, 1);
        const std::int64_t due = std::int64_t{index++ / 32} * 200'000'000;
        latest = std::max(latest, record.m_sentAt - start - due);
    }
    EXPECT_LT(latest, 40'000'000);
}

namespace {

std::string Text(std::uint16_t port) {
    return "127.0.0.1:" + std::to_string(port);
}

std::vector<std::string> Names(const std::vector<std::pair<unsigned, CServerRecord*>>& posted) {
    std::vector<std::string> names;
    for (const auto& [run, record] : posted)
        names.push_back(record->m_name);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(QueryEngineTest, EveryEndMarkerModeListsAllAndOnlyAnUnmarkedListWaitsForQuiet) {
    using EMarker = EEndMarker;
    for (EMarker marker : {EMarker::Every, EMarker::Last, EMarker::LastFirst, EMarker::Never}) {
        // Given a master whose 450 servers come in three datagrams, marked as the mode says
        CTestNetConfig config;
        for (int i = 0; i < 450; ++i)
            config.servers.push_back(Server("s" + std::to_string(i)));
        config.masterDatagrams = 3;
        config.masterEndMarker = marker;
        CTestNet net(config);
        net.Start();
        CFakeWindow window;
        CQueryEngine engine(window);
        engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
        engine.SetMasterWaits(400, 100);

        const Clock::time_point start = Clock::now();
        EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
        const auto took = Since(start);
        EXPECT_TRUE(engine.StopQuery(5000));

        // Then every server is listed once; a marked list is complete 300 ms after its last
        // datagram, an unmarked one after twice the probe's wait of quiet
        const int mode = static_cast<int>(marker);
        EXPECT_EQ(engine.GetServerList().Size(), 450u) << mode;
        if (marker == EMarker::Never) {
            EXPECT_GE(took, 800ms) << mode;
        } else {
            EXPECT_GE(took, 300ms) << mode;
            EXPECT_LT(took, 700ms) << mode;
        }
        EXPECT_EQ(engine.GetMasterReport().m_answered,
                  std::vector<std::string>{Text(net.GetMasterPort())});
    }
}

TEST(QueryEngineTest, EveryMasterForBothVersionsMergedAndASilentOneHoldsNobodyBack) {
    // Given three masters, the third silent: the first lists 0 and 1, the second 1 and 2 (so 1
    // is listed twice), and servers 1 and 2 speak 1.02, server 0 1.04
    CTestNetConfig config;
    for (int i = 0; i < 3; ++i)
        config.servers.push_back(Server("s" + std::to_string(i)));
    config.servers[1].protocol = 15;
    config.servers[2].protocol = 15;
    config.masterByProtocol = true;
    config.masterServers = {0, 1};
    config.moreMasters = {{{1, 2}}, {{0, 1, 2}}};
    config.moreMasters[1].silent = true;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    window.version = 2; // "All"
    CQueryEngine engine(window);
    engine.SetMasters({Text(net.GetMasterPort()), Text(net.GetMoreMasterPort(0)),
                       Text(net.GetMoreMasterPort(1)), "no-such-master.invalid:28060"});

    // When the masters are asked
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    const auto took = Since(start);
    ASSERT_TRUE(window.WaitForPosts(3));
    EXPECT_TRUE(WaitUntilStopped(engine));

    // Then the silent master (whose probes alone take 4.5 s) held nothing up, the unknown
    // name was skipped, and each server was queried once under the protocol that listed it,
    // with every master that listed it
    EXPECT_LT(took, 1500ms);
    const CMasterReport& report = engine.GetMasterReport();
    EXPECT_EQ(report.m_answered, (std::vector<std::string>{Text(net.GetMasterPort()),
                                                           Text(net.GetMoreMasterPort(0))}));
    EXPECT_EQ(report.m_silent, std::vector<std::string>{Text(net.GetMoreMasterPort(1))});
    EXPECT_EQ(report.m_unresolved, std::vector<std::string>{"no-such-master.invalid:28060"});
    EXPECT_EQ(Names(window.Posted()), (std::vector<std::string>{"s0", "s1", "s2"}));
    EXPECT_EQ(RequestCounts(net), (std::vector<int>{1, 1, 1}));
    CServerList& list = engine.GetServerList();
    const CServerRecord* s0 = list.Find(AddressOf(net.GetServerPort(0)));
    const CServerRecord* s1 = list.Find(AddressOf(net.GetServerPort(1)));
    const CServerRecord* s2 = list.Find(AddressOf(net.GetServerPort(2)));
    ASSERT_TRUE(s0 && s1 && s2);
    EXPECT_EQ(s0->m_protocol, 16);
    EXPECT_EQ(s1->m_protocol, 15);
    EXPECT_EQ(s2->m_protocol, 15);
    EXPECT_EQ(s0->m_masters, std::vector<CSockAddr>{AddressOf(net.GetMasterPort())});
    EXPECT_EQ(s1->m_masters, (std::vector<CSockAddr>{AddressOf(net.GetMasterPort()),
                                                     AddressOf(net.GetMoreMasterPort(0))}));
    // One run, whatever order the masters' lists came in, and it was told when no more came.
    ASSERT_EQ(window.started.size(), 1u);
    std::size_t total = window.started[0].second;
    for (const auto& [run, added] : window.grown) {
        EXPECT_EQ(run, window.started[0].first);
        total += added;
    }
    EXPECT_EQ(total, 3u);
    EXPECT_EQ(window.listingComplete, std::vector<unsigned>{window.started[0].first});
}

TEST(QueryEngineTest, ALaterMastersServersJoinTheRunAlreadyGoing) {
    // Given a master that answers at once and one that answers only its second probe, 600 ms
    // later, each listing servers of their own that answer after 400 ms, so the first
    // master's run is still going when the second's list comes
    CTestNetConfig config;
    for (int i = 0; i < 6; ++i)
        config.servers.push_back(Server("s" + std::to_string(i), EBehaviour::Answer, 400));
    config.masterServers = {0, 1, 2};
    config.moreMasters = {{{3, 4, 5}}};
    config.moreMasters[0].answerProbe = 2;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    engine.SetMasters({Text(net.GetMasterPort()), Text(net.GetMoreMasterPort(0))});
    engine.SetMasterWaits(600, 100);
    // The window's thread reads what the worker posted while the exchange goes on, as the
    // window does; the thread checker sees every read beside the worker's writes.
    std::size_t postedBeforeGrowth = 0;
    bool runningAtGrowth = false;
    window.onExchangeWait = [&] {
        for (const auto& [run, record] : window.Posted()) {
            const CServerRecord copy = *record; // every field, as the window's tables read them
            EXPECT_EQ(copy.m_players.size(), 2u);
        }
    };
    window.onGrown = [&](const std::vector<CServerRecord*>& added) {
        postedBeforeGrowth = window.Posted().size();
        runningAtGrowth = engine.IsRunning();
        for (CServerRecord* record : added)
            EXPECT_EQ(record->m_masters.size(), 1u);
    };

    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    ASSERT_TRUE(window.WaitForPosts(6));
    EXPECT_TRUE(WaitUntilStopped(engine));

    // Then the second master's three joined the first's run while it was going, and all six
    // were posted under that one run
    ASSERT_EQ(window.started.size(), 1u);
    EXPECT_EQ(window.started[0].second, 3u);
    ASSERT_EQ(window.grown.size(), 1u);
    EXPECT_EQ(window.grown[0], std::make_pair(window.started[0].first, std::size_t{3}));
    EXPECT_TRUE(runningAtGrowth);
    EXPECT_EQ(postedBeforeGrowth, 3u);
    for (const auto& [run, record] : window.Posted())
        EXPECT_EQ(run, window.started[0].first);
    EXPECT_EQ(Names(window.Posted()),
              (std::vector<std::string>{"s0", "s1", "s2", "s3", "s4", "s5"}));
    EXPECT_TRUE(engine.GetMasterReport().m_silent.empty());
}

TEST(QueryEngineTest, AServerListedForBothProtocolsIsQueriedOnceUnderTheFirst) {
    // A master that lists every server whatever protocol is asked.
    CTestNetConfig config;
    config.servers = {Server("a"), Server("b")};
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    window.version = 2;
    CQueryEngine engine(window);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    ASSERT_TRUE(window.WaitForPosts(2));
    EXPECT_TRUE(WaitUntilStopped(engine));
    EXPECT_EQ(window.Posted().size(), 2u);
    EXPECT_EQ(RequestCounts(net), (std::vector<int>{1, 1}));
    for (auto& [address, record] : engine.GetServerList()) {
        EXPECT_TRUE(record.m_protocol == 15 || record.m_protocol == 16);
        EXPECT_EQ(record.m_masters.size(), 1u);
    }
}

TEST(QueryEngineTest, MastersThatListNothingGiveARunOfNoneAndNoneAnsweringKeepsTheList) {
    CTestNetConfig config;
    config.servers = {Server("only 1.04")};
    config.masterByProtocol = true;
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    window.version = 0; // "1.0": this master has nothing for it
    CQueryEngine engine(window);
    ListAll(engine, net);
    engine.SetMasterAddress(AddressOf(net.GetMasterPort()));
    engine.SetMasterWaits(200, 100);
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::Started);
    ASSERT_EQ(window.started.size(), 1u);
    EXPECT_EQ(window.started[0].second, 0u);
    EXPECT_TRUE(engine.GetServerList().Empty());
    EXPECT_TRUE(WaitUntilStopped(engine));

    // Names that do not resolve are not asked at all: nobody answered.
    ListAll(engine, net);
    engine.SetMasters({"no-such-master.invalid:28060"});
    EXPECT_EQ(engine.QueryMaster(), CQueryEngine::EMasterResult::NoResponse);
    EXPECT_EQ(engine.GetServerList().Size(), 1u);
    EXPECT_EQ(window.messages, std::vector<std::string>{"No response from master server."});
    EXPECT_EQ(net.GetMasterRequests(), 2);
}

TEST(QueryEngineTest, ARefreshWritesFreshRecordsOnlyWhileTheWindowReadsTheListedOnes) {
    // Given a finished run over servers that answer after 30 ms
    CTestNetConfig config;
    for (int i = 0; i < 8; ++i)
        config.servers.push_back(Server("s" + std::to_string(i), EBehaviour::Answer, 30));
    CTestNet net(config);
    net.Start();
    CFakeWindow window;
    CQueryEngine engine(window);
    ListAll(engine, net);
    engine.StartQuery();
    ASSERT_TRUE(window.WaitForPosts(8));
    ASSERT_TRUE(WaitUntilStopped(engine));

    // When they are refreshed, the window's thread reads every listed record all the while
    // (as selection, server info and search do), and the thread checker watches both
    std::vector<CSockAddr> addresses;
    for (auto& [address, record] : engine.GetServerList())
        addresses.push_back(address);
    ASSERT_TRUE(engine.StartRefresh(addresses));
    EXPECT_FALSE(engine.StartRefresh(addresses)); // one at a time
    std::size_t reads = 0;
    const Clock::time_point end = Clock::now() + 10s;
    while (window.RefreshedCount() < 8 && Clock::now() < end) {
        for (auto& [address, record] : engine.GetServerList()) {
            const CServerRecord copy = record;
            reads += copy.m_players.size();
        }
    }
    ASSERT_EQ(window.RefreshedCount(), 8u);
    EXPECT_TRUE(WaitUntilStopped(engine));
    EXPECT_GT(reads, 0u);

    // Then the results came as fresh records, never as the listed ones, which take them over
    // on the window's thread
    ASSERT_EQ(window.refreshes.size(), 1u);
    EXPECT_EQ(window.refreshes[0].second, 8u);
    for (const auto& [refresh, fresh] : window.refreshed) {
        EXPECT_TRUE(engine.IsCurrentRefresh(refresh));
        CServerRecord* listed = engine.GetServerList().Find(fresh->m_address);
        ASSERT_NE(listed, nullptr);
        EXPECT_NE(listed, fresh);
        EXPECT_EQ(fresh->m_players.size(), 2u);
        listed->TakeQueryResult(*fresh);
        EXPECT_EQ(listed->m_ping, fresh->m_ping);
    }
    EXPECT_EQ(window.Posted().size(), 8u); // the refresh posted nothing as a run's result
    // A new run makes results of the refresh stale.
    engine.StartQuery();
    EXPECT_FALSE(engine.IsCurrentRefresh(window.refreshed[0].first));
    EXPECT_TRUE(engine.StopQuery(5000));
}
