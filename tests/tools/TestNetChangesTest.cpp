// The test network's servers changed from one thread while its own thread answers from them.
#include "tools/TestNet.h"

#include "net/SockUDP.h"
#include "query/Protocol.h"
#include "query/ServerRecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

TEST(TestNetChangesTest, RepliesAreWholeWhileAnotherThreadChangesTheServer) {
    CTestNetConfig config;
    config.servers.resize(1);
    config.servers[0].maxClients = 4;
    config.servers[0].players = {{"Abe", 0, 10}, {"Bob", 0, 10}, {"Cy", 0, 10}};
    CTestNet net(config);
    net.Start();

    std::atomic<bool> stop{false};
    std::thread changer([&] {
        for (int i = 0; !stop.load(); ++i) {
            net.Join(0, {"Kyle", 1, 50});
            net.SetMap(0, i % 2 ? "ffa_yavin" : "ffa_bespin");
            net.FreeSlot(0);
        }
    });
    CSockUDP socket;
    socket.Open(CSockAddr("127.0.0.1:0"));
    const CSockAddr server("127.0.0.1:" + std::to_string(net.GetServerPort(0)));
    int answers = 0;
    for (int i = 0; i < 200; ++i) {
        int length = static_cast<int>(kStatusRequest.size());
        socket.Send(kStatusRequest.data(), length, server);
        if (WaitForSingleObject(socket.GetEvent(), 2000) != WAIT_OBJECT_0)
            continue;
        std::string reply;
        CSockAddr from;
        while (socket.Receive(reply, from) == 0 && !reply.empty()) {
            CServerRecord record;
            record.ParseStatus(reply.substr(std::min(reply.find('\n'), reply.size())));
            // Either before Kyle joined or after the slot was freed: never half of a change.
            ASSERT_TRUE(record.m_players.size() == 3 || record.m_players.size() == 4)
                << record.m_players.size();
            ASSERT_TRUE(record.m_map == "ffa_yavin" || record.m_map == "ffa_bespin");
            ++answers;
            reply.clear();
        }
    }
    stop = true;
    changer.join();
    EXPECT_GT(answers, 150);
    EXPECT_EQ(net.GetServer(0).players.size(), 3u);
}
