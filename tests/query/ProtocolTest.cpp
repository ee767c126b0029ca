#include "query/Protocol.h"
#include "query/ServerRecord.h"

#include <gtest/gtest.h>

namespace {

std::string Entry(unsigned char a, unsigned char b, unsigned char c, unsigned char d,
                  unsigned char portHigh, unsigned char portLow) {
    return std::string{'\\',
                       static_cast<char>(a),
                       static_cast<char>(b),
                       static_cast<char>(c),
                       static_cast<char>(d),
                       static_cast<char>(portHigh),
                       static_cast<char>(portLow)};
}

const std::string kHeader = "\xFF\xFF\xFF\xFFgetserversResponse";

} // namespace

TEST(ProtocolTest, RequestsAreByteExact) {
    std::string master = BuildMasterRequest(16);
    EXPECT_EQ(master, std::string("\xFF\xFF\xFF\xFFgetservers 16 full empty"));
    EXPECT_EQ(master.size() + 1, 29u); // the send adds the terminating zero
    EXPECT_EQ(BuildMasterRequest(15).substr(4), "getservers 15 full empty");

    ASSERT_EQ(kStatusRequest.size(), 15u);
    EXPECT_EQ(kStatusRequest.substr(0, 4), "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(kStatusRequest.substr(4, 9), "getstatus");
    EXPECT_EQ(kStatusRequest[13], '\n');
    EXPECT_EQ(kStatusRequest[14], '\0');
}

TEST(ProtocolTest, MasterReplyListsEachServerOnce) {
    CServerList list;
    EXPECT_EQ(ParseMasterReply(kHeader + Entry(192, 168, 0, 1, 0x6D, 0x38) + "\\EOT", list), 1);
    ASSERT_EQ(list.Size(), 1u);
    const CServerRecord& record = list.begin()->second;
    EXPECT_EQ(record.m_address.Format(), "192.168.0.1:27960");
    EXPECT_EQ(record.m_name, "192.168.0.1:27960");
    EXPECT_EQ(record.m_ping, 9999);

    // Listed again in the same datagram and in another one: still one record, replaced by a
    // fresh one; zero bytes inside an entry are data, not an end.
    CServerRecord* kept = list.Find(record.m_address);
    kept->m_name = "old";
    std::string twice = kHeader + Entry(192, 168, 0, 1, 0x6D, 0x38) + Entry(10, 0, 0, 0, 0, 80) +
                        Entry(192, 168, 0, 1, 0x6D, 0x38) + "\\EOT";
    EXPECT_EQ(ParseMasterReply(twice, list), 3);
    EXPECT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Find(record.m_address), kept);
    EXPECT_EQ(kept->m_name, "192.168.0.1:27960");
    EXPECT_NE(list.Find(CSockAddr("10.0.0.0:80")), nullptr);
}

TEST(ProtocolTest, MasterReplyStopsAtTheListLimitButStillRefreshesListedServers) {
    CServerList list;
    std::string three = kHeader + Entry(10, 0, 0, 1, 0, 1) + Entry(10, 0, 0, 2, 0, 1) +
                        Entry(10, 0, 0, 3, 0, 1) + "\\EOT";
    EXPECT_EQ(ParseMasterReply(three, list, 2), 2);
    EXPECT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Find(CSockAddr("10.0.0.3:1")), nullptr);

    // A full list still takes servers it already holds, up to the first new one.
    list.Find(CSockAddr("10.0.0.2:1"))->m_name = "old";
    std::string again = kHeader + Entry(10, 0, 0, 2, 0, 1) + Entry(10, 0, 0, 4, 0, 1) +
                        Entry(10, 0, 0, 1, 0, 1) + "\\EOT";
    EXPECT_EQ(ParseMasterReply(again, list, 2), 1);
    EXPECT_EQ(list.Find(CSockAddr("10.0.0.2:1"))->m_name, "10.0.0.2:1");
    EXPECT_EQ(list.Size(), 2u);
    EXPECT_EQ(kMaxListedServers, 50000u);
}

TEST(ProtocolTest, MasterReplyEndsAtMarkerZeroOrCutEntry) {
    CServerList list;
    // No backslash, or the end marker right after the header: nothing.
    EXPECT_EQ(ParseMasterReply(kHeader, list), 0);
    EXPECT_EQ(ParseMasterReply(kHeader + "\\EOT" + Entry(1, 2, 3, 4, 0, 1), list), 0);
    // A backslash behind a zero byte in the header is not found.
    EXPECT_EQ(ParseMasterReply(std::string("hd\0", 3) + Entry(1, 2, 3, 4, 0, 1), list), 0);
    EXPECT_TRUE(list.Empty());

    // An entry cut short is dropped; bytes after the marker are ignored.
    std::string cut = kHeader + Entry(1, 2, 3, 4, 0, 1) + Entry(5, 6, 7, 8, 0, 1).substr(0, 5);
    EXPECT_EQ(ParseMasterReply(cut, list), 1);
    EXPECT_EQ(list.Size(), 1u);

    // An address starting with E, O, T reads as the end marker.
    std::string eot = kHeader + Entry(9, 9, 9, 9, 0, 1) + Entry(69, 79, 84, 7, 0, 1) +
                      Entry(8, 8, 8, 8, 0, 1) + "\\EOT";
    EXPECT_EQ(ParseMasterReply(eot, list), 1);
    EXPECT_EQ(list.Find(CSockAddr("8.8.8.8:1")), nullptr);

    // Entries are taken every 7 bytes, whatever byte starts them; a zero byte there stops.
    std::string loose = kHeader + Entry(3, 3, 3, 3, 0, 1) + "x" + Entry(4, 4, 4, 4, 0, 1).substr(1);
    EXPECT_EQ(ParseMasterReply(loose, list), 2);
    EXPECT_NE(list.Find(CSockAddr("4.4.4.4:1")), nullptr);
    std::string zero = kHeader + Entry(5, 5, 5, 5, 0, 1) + std::string(1, '\0') +
                       Entry(6, 6, 6, 6, 0, 1).substr(1);
    EXPECT_EQ(ParseMasterReply(zero, list), 1);
    EXPECT_EQ(list.Find(CSockAddr("6.6.6.6:1")), nullptr);
}
