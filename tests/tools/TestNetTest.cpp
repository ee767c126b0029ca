#include "tools/TestNet.h"

#include "query/Protocol.h"
#include "query/ServerRecord.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint16_t> Ports(std::size_t count) {
    std::vector<std::uint16_t> ports;
    for (std::size_t i = 0; i < count; ++i)
        ports.push_back(static_cast<std::uint16_t>(1000 + i));
    return ports;
}

} // namespace

TEST(TestNetTest, MasterListOfThousandsIsSplitIntoDatagramsUdpCanCarry) {
    CTestNetConfig config;
    config.servers.resize(10000);
    config.servers[3].listTwice = true;

    std::vector<std::string> replies = CTestNet::BuildMasterReplies(config, Ports(10000));

    CServerList list;
    int entries = 0;
    for (const std::string& reply : replies) {
        EXPECT_LE(reply.size(), 65507u); // the most one IPv4 UDP datagram holds
        entries += ParseMasterReply(reply, list);
    }
    EXPECT_EQ(entries, 10001);
    EXPECT_EQ(list.Size(), 10000u);
    CServerList last;
    ParseMasterReply(replies.back(), last);
    EXPECT_NE(last.Find(CSockAddr("127.0.0.1:1003")), nullptr);
}

TEST(TestNetTest, MasterListIsSpreadOverTheDatagramsAskedFor) {
    CTestNetConfig config;
    config.servers.resize(6);
    config.servers[2].listTwice = true;
    config.masterDatagrams = 3;

    std::vector<std::string> replies = CTestNet::BuildMasterReplies(config, Ports(6));

    ASSERT_EQ(replies.size(), 3u);
    CServerList first;
    CServerList last;
    EXPECT_EQ(ParseMasterReply(replies[0], first), 3);
    EXPECT_EQ(ParseMasterReply(replies[2], last), 1);
    EXPECT_NE(first.Find(CSockAddr("127.0.0.1:1002")), nullptr);
    EXPECT_NE(last.Find(CSockAddr("127.0.0.1:1002")), nullptr);
}
