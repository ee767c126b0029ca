#include "query/MasterChannel.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace {

using namespace std::chrono_literals;
using EState = CMasterChannel::EState;
using Clock = CMasterChannel::Clock;

// A master datagram listing servers 10.0.0.n:27960 for each n, with or without the end marker.
std::string Reply(std::vector<int> servers, bool endMarker) {
    std::string reply = "\xFF\xFF\xFF\xFFgetserversResponse";
    for (int n : servers) {
        const std::uint32_t address = htonl(0x0A000000u + static_cast<std::uint32_t>(n));
        const std::uint16_t port = htons(27960);
        reply += '\\';
        reply.append(reinterpret_cast<const char*>(&address), 4);
        reply.append(reinterpret_cast<const char*>(&port), 2);
    }
    return endMarker ? reply + std::string("\\EOT\0\0\0", 7) : reply;
}

} // namespace

TEST(MasterChannelTest, ThreeProbesWithGrowingWaitsThenSilent) {
    const Clock::time_point t0{};
    CMasterChannel channel(0, 16, 1000, 500);
    channel.OnSent(t0);
    EXPECT_EQ(channel.Due(), t0 + 1000ms);
    EXPECT_FALSE(channel.OnDue(t0 + 999ms)); // not due yet: nothing changes
    EXPECT_EQ(channel.State(), EState::Probing);
    EXPECT_TRUE(channel.OnDue(t0 + 1000ms));
    channel.OnSent(t0 + 1000ms);
    EXPECT_EQ(channel.Due(), t0 + 2500ms);
    EXPECT_TRUE(channel.OnDue(t0 + 2500ms));
    channel.OnSent(t0 + 2500ms);
    EXPECT_EQ(channel.Due(), t0 + 4500ms);
    EXPECT_FALSE(channel.OnDue(t0 + 4500ms));
    EXPECT_EQ(channel.State(), EState::Silent);
    // A datagram after giving up changes nothing.
    EXPECT_FALSE(channel.OnDatagram(Reply({1}, true), t0 + 5s, 100));
    EXPECT_TRUE(channel.Servers().empty());
}

TEST(MasterChannelTest, TheEndMarkerEndsTheListSoonAndItsAbsenceKeepsTheQuietPeriod) {
    const Clock::time_point t0{};
    // Marked in the last datagram only: done 300 ms after it.
    CMasterChannel last(0, 15, 1000, 500);
    last.OnSent(t0);
    EXPECT_TRUE(last.OnDatagram(Reply({1, 2}, false), t0 + 5ms, 100)); // first answer
    EXPECT_EQ(last.Due(), t0 + 5ms + 2000ms);
    EXPECT_FALSE(last.OnDatagram(Reply({3}, true), t0 + 6ms, 100));
    EXPECT_EQ(last.Due(), t0 + 306ms);
    last.OnDue(last.Due());
    EXPECT_EQ(last.State(), EState::Done);
    EXPECT_EQ(last.Servers().size(), 3u);

    // The marked datagram first (reordered): the later, unmarked ones still end 300 ms on.
    CMasterChannel reordered(0, 15, 1000, 500);
    reordered.OnSent(t0);
    reordered.OnDatagram(Reply({3}, true), t0 + 5ms, 100);
    reordered.OnDatagram(Reply({1, 2}, false), t0 + 7ms, 100);
    EXPECT_EQ(reordered.Due(), t0 + 307ms);

    // Never marked: twice the wait of the probe that was answered, after each datagram.
    CMasterChannel never(0, 15, 1000, 500);
    never.OnSent(t0);
    never.OnDue(t0 + 1000ms);
    never.OnSent(t0 + 1000ms);
    never.OnDatagram(Reply({1}, false), t0 + 1100ms, 100);
    EXPECT_EQ(never.Due(), t0 + 1100ms + 3000ms);
}

TEST(MasterChannelTest, ServersAreKeptOnceInTheirOrderUpToTheLimit) {
    CMasterChannel channel(2, 16, 1000, 500);
    channel.OnSent({});
    channel.OnDatagram(Reply({5, 1, 5}, false), {}, 3);
    channel.OnDatagram(Reply({1, 7, 8, 9}, true), {}, 3);
    ASSERT_EQ(channel.Servers().size(), 3u);
    EXPECT_EQ(channel.Servers()[0], CSockAddr("10.0.0.5:27960"));
    EXPECT_EQ(channel.Servers()[1], CSockAddr("10.0.0.1:27960"));
    EXPECT_EQ(channel.Servers()[2], CSockAddr("10.0.0.7:27960"));
    EXPECT_EQ(channel.Master(), 2u);
    EXPECT_EQ(channel.Protocol(), 16);
    // The exchange's bound ends reading, and a giving-up leaves an answered channel alone.
    channel.GiveUp();
    EXPECT_EQ(channel.State(), EState::Reading);
    channel.Finish();
    EXPECT_EQ(channel.State(), EState::Done);
}
