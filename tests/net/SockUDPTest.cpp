#include "net/SockUDP.h"

#include "net/SockErr.h"
#include "tests/support/ArrivalStamps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

// A pair of loopback sockets; datagrams go from sender to receiver.
struct Loopback {
    Loopback() {
        receiver.Open(CSockAddr("127.0.0.1:0"));
        sender.Open(CSockAddr("127.0.0.1:0"));
        to = receiver.GetLocalAddress();
    }
    void Send(const std::string& bytes) {
        int length = static_cast<int>(bytes.size());
        ASSERT_EQ(sender.Send(bytes.data(), length, to), 0);
        ASSERT_EQ(length, static_cast<int>(bytes.size()));
        ASSERT_EQ(WaitForSingleObject(receiver.GetEvent(), 5000), WAIT_OBJECT_0);
    }
    CSockUDP receiver;
    CSockUDP sender;
    CSockAddr to;
};

} // namespace

TEST(SockUDPTest, TextFormsCarryWholeDatagramsUnchanged) {
    Loopback net;
    const std::string bytes("\xFF\xFF\xFF\xFFstatusResponse\n\0\x80\xE9 end", 25);
    net.Send(bytes);
    std::string text;
    CSockAddr from;
    EXPECT_EQ(net.receiver.Receive(text, from), 0);
    EXPECT_EQ(text, bytes);
    EXPECT_EQ(from, net.sender.GetLocalAddress());

    // The text send adds the terminating zero byte.
    ASSERT_EQ(net.sender.Send(std::string("getstatus"), net.to), 0);
    ASSERT_EQ(WaitForSingleObject(net.receiver.GetEvent(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(net.receiver.Receive(text), 0);
    EXPECT_EQ(text, std::string("getstatus", 10));

    // One read takes one datagram, however large.
    net.Send(std::string(40000, 'a'));
    net.Send("b");
    EXPECT_EQ(net.receiver.Receive(text), 0);
    EXPECT_EQ(text.size(), 40000u);
    EXPECT_EQ(net.receiver.Receive(text), 0);
    EXPECT_EQ(text, "b");
}

TEST(SockUDPTest, OversizedDatagramReportsMessageTooLongAndKeepsSize) {
    Loopback net;
    net.Send("0123456789abcdef");
    char buffer[8] = {};
    int size = sizeof buffer;
    CSockAddr from;
    EXPECT_EQ(net.receiver.Receive(buffer, size, from), WSAEMSGSIZE);
    EXPECT_EQ(size, 8);
    EXPECT_EQ(std::memcmp(buffer, "01234567", 8), 0);

    net.Send("0123456789");
    size = 4;
    EXPECT_EQ(net.receiver.Receive(buffer, size), WSAEMSGSIZE);
    EXPECT_EQ(size, 4);

    // The rest of a cut datagram is gone: nothing is pending any more.
    size = sizeof buffer;
    EXPECT_EQ(net.receiver.Receive(buffer, size), WSAEWOULDBLOCK);
    EXPECT_EQ(size, 0);

    net.Send("abc");
    size = sizeof buffer;
    EXPECT_EQ(net.receiver.Receive(buffer, size, from), 0);
    EXPECT_EQ(size, 3);
}

TEST(SockUDPTest, ReadinessIsReportedOnlyForPendingData) {
    Loopback net;
    // An idle socket is writable, yet must never wake a waiter.
    EXPECT_EQ(WaitForSingleObject(net.receiver.GetEvent(), 50), WAIT_TIMEOUT);
    EXPECT_FALSE(CSockUDP::HasEvent(net.receiver.GetNetworkEvents(), FD_READ | FD_WRITE));

    net.Send("x");
    const WSANETWORKEVENTS events = net.receiver.GetNetworkEvents();
    EXPECT_TRUE(CSockUDP::HasEvent(events, FD_READ));
    EXPECT_FALSE(CSockUDP::HasEvent(events, FD_WRITE));

    std::string text;
    EXPECT_EQ(net.receiver.Receive(text), 0);
    EXPECT_FALSE(CSockUDP::HasEvent(net.receiver.GetNetworkEvents(), FD_READ));
    EXPECT_EQ(WaitForSingleObject(net.receiver.GetEvent(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(net.receiver.Receive(text), WSAEWOULDBLOCK);
    EXPECT_TRUE(text.empty());
}

TEST(SockUDPTest, MisuseFailsWithNumbersNotCrashes) {
    CSockUDP socket;
    socket.Close(); // never opened: nothing to do
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(WaitForSingleObject(socket.GetEvent(), 0), WAIT_TIMEOUT);
    try {
        socket.GetNetworkEvents();
        FAIL() << "no exception";
    } catch (const CSockErr& error) {
        EXPECT_EQ(error.GetCode(), WSAENOTSOCK);
    }
    int length = 3;
    EXPECT_EQ(socket.Send("abc", length, CSockAddr("127.0.0.1:9")), WSAENOTSOCK);
    EXPECT_EQ(length, 0);
    std::string text = "old";
    EXPECT_EQ(socket.Receive(text), WSAENOTSOCK);
    EXPECT_TRUE(text.empty());

    socket.Open();
    EXPECT_TRUE(socket.IsOpen());
    length = -1;
    EXPECT_EQ(socket.Send("abc", length, CSockAddr("127.0.0.1:9")), WSAEFAULT);
    EXPECT_EQ(length, 0);
    EXPECT_NE(socket.GetLocalAddress().GetPort(), 0); // an ephemeral port was chosen
    socket.Close();
    socket.Close();
    EXPECT_FALSE(socket.IsOpen());
}

TEST(SockUDPTest, OpenFailuresThrowTheirSocketError) {
    Loopback net;
    CSockUDP second;
    try {
        second.Open(net.to);
        FAIL() << "no exception";
    } catch (const CSockErr& error) {
        EXPECT_EQ(error.GetMessage(), "Socket Error 10048 : Address already in use");
    }
    // The failed open is undone by Close; the object stays usable.
    second.Close();
    EXPECT_NO_THROW(second.Open(CSockAddr("127.0.0.1:0")));
}

TEST(SockUDPTest, ArrivalTimeIsTheSystemsStampOrTheTimeOfReading) {
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    Loopback stamped;
    stamped.receiver.EnableArrivalTimes();
    Loopback plain;
    ASSERT_TRUE(TestSupport::AwaitArrivalStamps(stamped.receiver));

    const Clock::time_point sent = Clock::now();
    stamped.Send("a");
    plain.Send("b");
    std::this_thread::sleep_for(50ms); // both datagrams wait to be read

    std::string text;
    CSockAddr from;
    Clock::time_point arrived;

    ASSERT_EQ(stamped.receiver.Receive(text, from, arrived), 0);
    EXPECT_EQ(text, "a");
    EXPECT_EQ(from, stamped.sender.GetLocalAddress());
    EXPECT_GE(arrived, sent - 1ms);
    EXPECT_LT(arrived - sent, 20ms);
    EXPECT_GE(Clock::now() - arrived, 50ms);

    // Without stamps the datagram counts as arriving when it is read.
    ASSERT_EQ(plain.receiver.Receive(text, from, arrived), 0);
    EXPECT_EQ(text, "b");
    EXPECT_GE(arrived - sent, 50ms);
    EXPECT_LT(Clock::now() - arrived, 20ms);

    // Nothing to read: an error, and the time of the attempt.
    EXPECT_EQ(plain.receiver.Receive(text, from, arrived), WSAEWOULDBLOCK);
    EXPECT_LT(Clock::now() - arrived, 20ms);
    CSockUDP closed;
    EXPECT_THROW(closed.EnableArrivalTimes(), CSockErr);
}
