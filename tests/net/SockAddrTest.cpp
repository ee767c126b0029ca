#include "net/SockAddr.h"

#include <gtest/gtest.h>

#include "tests/support/resolver/HostsFileResolver.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <map>
#include <string>
#include <vector>

namespace {

CSockAddr At(const std::string& text) {
    return CSockAddr(text);
}

} // namespace

TEST(SockAddrTest, DefaultIsAnyAddressPortZero) {
    const CSockAddr addr;
    EXPECT_EQ(addr.sin_family, AF_INET);
    EXPECT_EQ(addr.Format(), "0.0.0.0:0");
}

TEST(SockAddrTest, ParsesAndFormatsAddressAndPort) {
    const CSockAddr addr("1.2.3.4:27960");
    EXPECT_EQ(addr.GetPort(), 27960);
    EXPECT_EQ(addr.AddressBytes()[0], 1);
    EXPECT_EQ(addr.AddressBytes()[3], 4);
    EXPECT_EQ(addr.PortBytes()[0], 27960 >> 8); // network order in memory
    EXPECT_EQ(addr.Format(), "1.2.3.4:27960");
    EXPECT_EQ(At("192.168.0.5:27960").Format(), "192.168.0.5:27960");
    EXPECT_EQ(At("localhost:28060").Format(), "127.0.0.1:28060");
}

TEST(SockAddrTest, MissingSeparatorKeepsThePreviousPort) {
    EXPECT_EQ(At("1.2.3.4").Format(), "1.2.3.4:0");

    CSockAddr addr("9.9.9.9:500");
    addr.Parse("1.2.3.4");
    EXPECT_EQ(addr.Format(), "1.2.3.4:500");
    addr.Parse("5.6.7.8:");
    EXPECT_EQ(addr.Format(), "5.6.7.8:0");
}

TEST(SockAddrTest, BracketWinsOverColon) {
    EXPECT_EQ(At("127.0.0.1[28060").Format(), "127.0.0.1:28060");
    // With ":" taken first the port would be 5 and the host "x".
    EXPECT_EQ(At("x:5.invalid[7").Format(), "255.255.255.255:7");
    EXPECT_EQ(At("1.2.3.4[").Format(), "1.2.3.4:0");
}

TEST(SockAddrTest, PortTextReadsLikeAtoiModulo65536) {
    EXPECT_EQ(At("1.2.3.4:x").GetPort(), 0);
    EXPECT_EQ(At("1.2.3.4:70000").GetPort(), 4464);
    EXPECT_EQ(At("1.2.3.4:65536").GetPort(), 0);
    EXPECT_EQ(At("1.2.3.4:  12abc").GetPort(), 12);
    EXPECT_EQ(At("1.2.3.4:+80").GetPort(), 80);
    EXPECT_EQ(At("1.2.3.4:-1").GetPort(), 65535);
    // Far beyond int: saturates like the platform's atoi instead of wrapping at random.
    EXPECT_EQ(At("1.2.3.4:99999999999999999999").GetPort(), 65535);

    CSockAddr addr;
    addr.SetPort(65536 + 27960);
    EXPECT_EQ(addr.GetPort(), 27960);
}

TEST(SockAddrTest, UnusableTextGivesTheNoneAddress) {
    EXPECT_EQ(At("nosuchhost.invalid:5").Format(), "255.255.255.255:5");
    EXPECT_EQ(At("255.255.255.255:5").Format(), "255.255.255.255:5");
    EXPECT_EQ(At(":27960").Format(), "255.255.255.255:27960");
    EXPECT_EQ(At("").Format(), "255.255.255.255:0");

    // A failed parse does not keep the old address.
    CSockAddr addr("10.0.0.1:1");
    addr.Parse("still-nothing.invalid");
    EXPECT_EQ(addr.Format(), "255.255.255.255:1");
}

TEST(SockAddrTest, NamesGoThroughTheInstalledResolverAndDottedAddressesNever) {
    static int asked = 0;
    asked = 0;
    const HostResolver previous = SetHostResolver([](const std::string& name, in_addr& address) {
        ++asked;
        return name == "master.example" && inet_pton(AF_INET, "10.9.8.7", &address) == 1;
    });
    EXPECT_EQ(At("master.example:28060").Format(), "10.9.8.7:28060");
    EXPECT_EQ(At("other.example[5").Format(), "255.255.255.255:5");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(At("10.1.1.1:2").Format(), "10.1.1.1:2");
    EXPECT_EQ(asked, 2);
    SetHostResolver(previous);
}

TEST(SockAddrTest, TestsResolveFromTheHostsFileAlone) {
    // Every test program has this stand-in in place of the name servers.
    const HostResolver standIn = SetHostResolver(nullptr);
    SetHostResolver(standIn);
    EXPECT_EQ(standIn, &TestSupport::ResolveFromHostsFile);
    in_addr address{};
    ASSERT_TRUE(TestSupport::ResolveFromHostsFile("LocalHost", address));
    EXPECT_EQ(address.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_FALSE(TestSupport::ResolveFromHostsFile("nosuchhost.invalid", address));
    EXPECT_FALSE(TestSupport::ResolveFromHostsFile("", address));
}

TEST(SockAddrTest, BytesWrittenDirectlyAreTheAddress) {
    CSockAddr addr;
    const std::uint8_t reply[6] = {10, 1, 2, 3, 0x6D, 0x38};
    std::copy(reply, reply + 4, addr.AddressBytes());
    std::copy(reply + 4, reply + 6, addr.PortBytes());
    EXPECT_EQ(addr.Format(), "10.1.2.3:27960");
}

TEST(SockAddrTest, OrderingTakesFourthOctetThenPortLowByteFirst) {
    EXPECT_LT(At("10.0.0.2:1"), At("9.0.0.3:1"));
    EXPECT_LT(At("9.9.9.1:5"), At("1.1.1.2:5"));
    EXPECT_LT(At("1.0.0.9:5"), At("2.0.0.9:5"));
    EXPECT_LT(At("1.2.3.4:256"), At("1.2.3.4:1"));
    EXPECT_LT(At("1.2.3.4:65535"), At("1.2.3.5:0")); // address before port
    EXPECT_FALSE(At("1.2.3.4:1") < At("1.2.3.4:1"));
    EXPECT_EQ(At("1.2.3.4:1"), At("1.2.3.4:1"));
    EXPECT_FALSE(At("1.2.3.4:1") == At("1.2.3.4:2"));

    std::map<CSockAddr, int> list;
    for (const char* text : {"1.1.1.2:5", "9.9.9.1:5", "2.0.0.9:5", "1.0.0.9:5", "9.9.9.1:5"}) {
        list[At(text)] += 1;
    }
    std::vector<std::string> order;
    for (const auto& [addr, count] : list) {
        order.push_back(addr.Format() + "x" + std::to_string(count));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"9.9.9.1:5x2", "1.1.1.2:5x1", "1.0.0.9:5x1",
                                               "2.0.0.9:5x1"}));
}
