#include "query/ServerRecord.h"

#include "net/SockUDP.h"
#include "query/Protocol.h"
#include "tests/support/ArrivalStamps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

CServerRecord MakeRecord() {
    return CServerRecord(CSockAddr("10.1.2.3:27960"));
}

CServerRecord Parsed(std::string_view reply) {
    CServerRecord record = MakeRecord();
    record.ParseStatus(reply);
    return record;
}

// Pretends the last request went out `ms` milliseconds ago.
void SentAgo(CServerRecord& record, int ms) {
    record.m_sentAt = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count() -
                      std::int64_t{ms} * 1000000;
}

} // namespace

TEST(ServerRecordTest, ConstructionAndResetKeepNameMapAndPassword) {
    CServerRecord plain = MakeRecord();
    EXPECT_EQ(plain.m_name, "10.1.2.3:27960");
    EXPECT_EQ(plain.m_ping, 9999);
    EXPECT_EQ(plain.m_state, 0);
    EXPECT_EQ(plain.m_timeoutMs, 1200u);

    CServerRecord favourite(CSockAddr("10.1.2.3:27960"), "", "secret");
    EXPECT_EQ(favourite.m_name, "");
    EXPECT_EQ(favourite.m_password, "secret");

    plain.ParseStatus("\xFF\xFF\xFF\xFFstatusResponse\n\\sv_hostname\\A\\mapname\\m1\\sv_maxclients"
                      "\\8\\g_gametype\\3\n1 2 \"p\"\n");
    plain.m_state = 999;
    plain.m_ping = 50;
    plain.Reset();
    EXPECT_EQ(plain.m_name, "A");
    EXPECT_EQ(plain.m_map, "m1");
    EXPECT_EQ(plain.m_ping, 9999);
    EXPECT_EQ(plain.m_gameType, 0);
    EXPECT_EQ(plain.m_maxClients, 0);
    EXPECT_EQ(plain.m_state, 0);
    EXPECT_TRUE(plain.m_players.empty());
    EXPECT_TRUE(plain.m_variables.empty());
}

TEST(ServerRecordTest, VariablesSetTheFourFieldsWithoutColourCodes) {
    CServerRecord r = Parsed("\xFF\xFF\xFF\xFFstatusResponse\n\\sv_hostname\\^1Red ^7Server"
                             "\\mapname\\ffa_bespin\\sv_maxclients\\16\\g_gametype\\0\n");
    EXPECT_EQ(r.m_name, "Red Server");
    EXPECT_EQ(r.m_map, "ffa_bespin");
    EXPECT_EQ(r.m_maxClients, 16);
    EXPECT_EQ(r.m_gameType, 0);
    ASSERT_EQ(r.m_variables.size(), 4u);
    EXPECT_EQ(r.m_variables[0].key, "sv_hostname");
    EXPECT_EQ(r.m_variables[0].value, "Red Server");
    EXPECT_TRUE(r.m_players.empty());

    // Keys match whatever their case but are kept as received; a repeated key is listed twice
    // and its later value wins.
    CServerRecord c = Parsed("h\n\\SV_HostName\\first\\G_GAMETYPE\\7\\sv_hostname\\second\n");
    EXPECT_EQ(c.m_name, "second");
    EXPECT_EQ(c.m_gameType, 7);
    ASSERT_EQ(c.m_variables.size(), 3u);
    EXPECT_EQ(c.m_variables[0].key, "SV_HostName");
    EXPECT_EQ(c.m_variables[2].value, "second");
}

TEST(ServerRecordTest, TokensHandleQuotesCaretsAndNumbersLikeTheGame) {
    // A backslash inside quotes belongs to the token; the quotes themselves do not.
    CServerRecord q = Parsed("h\n\\sv_hostname\\\"a\\b\"c\\mapname\\x\n");
    EXPECT_EQ(q.m_name, "a\\bc");
    EXPECT_EQ(q.m_map, "x");

    // A caret swallows the next character whatever it is, even a backslash or quote; a caret
    // at the very end is dropped.
    CServerRecord c = Parsed("h\n\\k\\a^\\b^\"c\\last\\v^");
    ASSERT_EQ(c.m_variables.size(), 2u);
    EXPECT_EQ(c.m_variables[0].value, "abc");
    EXPECT_EQ(c.m_variables[1].value, "v");

    // Numbers read like atoi: leading digits count, junk is 0.
    CServerRecord n = Parsed("h\n\\sv_maxclients\\12abc\\g_gametype\\x5\n");
    EXPECT_EQ(n.m_maxClients, 12);
    EXPECT_EQ(n.m_gameType, 0);
    // Beyond 32 bits they saturate like the platform's atoi, so 2^32 + 16 does not pass for 16.
    CServerRecord big = Parsed("h\n\\sv_maxclients\\4294967312\\g_gametype\\-4294967297\n");
    EXPECT_EQ(big.m_maxClients, 2147483647);
    EXPECT_EQ(big.m_gameType, -2147483647 - 1);

    // A zero byte ends the reply.
    CServerRecord z = Parsed(std::string_view("h\n\\mapname\\abc\0def\n1 2 \"x\"\n", 27));
    EXPECT_EQ(z.m_map, "abc");
    EXPECT_TRUE(z.m_players.empty());
}

TEST(ServerRecordTest, PlayerLinesKeepTheirOrderAndEdges) {
    CServerRecord r =
        Parsed("h\n\\mapname\\m\n12 87 \"^4Luke\"\n-3 0 \"  Obi ^2Wan \"\n5 9 \"tail\"");
    ASSERT_EQ(r.m_players.size(), 3u);
    EXPECT_EQ(r.m_players[0].name, "Luke");
    EXPECT_EQ(r.m_players[0].frags, 12);
    EXPECT_EQ(r.m_players[0].ping, 87);
    EXPECT_EQ(r.m_players[1].name, "Obi Wan");
    EXPECT_EQ(r.m_players[1].frags, -3);
    EXPECT_EQ(r.m_players[1].ping, 0);
    EXPECT_EQ(r.m_players[2].name, "tail"); // no final line feed: still listed

    // Something after a player's name ends the player section.
    CServerRecord stop = Parsed("h\n\\a\\b\n1 1 \"x\"\\junk\n2 2 \"y\"\n");
    ASSERT_EQ(stop.m_players.size(), 1u);
    EXPECT_EQ(stop.m_players[0].name, "x");

    // Numbers wrap in 32 bits rather than overflowing.
    CServerRecord big = Parsed("h\n\n99999999999 -2147483648 \"b\"\n");
    ASSERT_EQ(big.m_players.size(), 1u);
    EXPECT_EQ(big.m_players[0].ping, -2147483647 - 1);
}

TEST(ServerRecordTest, IncompleteRepliesParseAsFarAsTheyGo) {
    // No line feed at all: nothing parsed.
    CServerRecord none = Parsed("\xFF\xFF\xFF\xFFstatusResponse \\sv_hostname\\x");
    EXPECT_EQ(none.m_name, "10.1.2.3:27960");
    EXPECT_TRUE(none.m_variables.empty());

    // Header only.
    CServerRecord header = Parsed("\xFF\xFF\xFF\xFFstatusResponse\n");
    EXPECT_TRUE(header.m_variables.empty());
    EXPECT_TRUE(header.m_players.empty());

    // A second line feed: no variables, the players start after it.
    CServerRecord second = Parsed("h\n\n3 40 \"solo\"\n");
    EXPECT_TRUE(second.m_variables.empty());
    ASSERT_EQ(second.m_players.size(), 1u);
    EXPECT_EQ(second.m_players[0].name, "solo");

    // Something other than a backslash in the variables: what was read stays, no players.
    CServerRecord broken = Parsed("h\n\\mapname\\m\\key\n1 2 \"p\"\n");
    EXPECT_EQ(broken.m_map, "m");
    EXPECT_EQ(broken.m_variables.size(), 1u);
    EXPECT_TRUE(broken.m_players.empty());
    CServerRecord junk = Parsed("h\nx\\a\\b\n1 2 \"p\"\n");
    EXPECT_TRUE(junk.m_variables.empty());
    EXPECT_TRUE(junk.m_players.empty());
}

TEST(ServerRecordTest, PingRunsFromTheSendToWhenTheReplyArrived) {
    using Clock = std::chrono::steady_clock;
    CSockUDP server;
    server.Open(CSockAddr("127.0.0.1:0"));
    server.EnableArrivalTimes();
    CSockUDP client;
    client.Open(CSockAddr("127.0.0.1:0"));
    client.EnableArrivalTimes();
    ASSERT_TRUE(TestSupport::AwaitArrivalStamps(client));
    CServerRecord record(server.GetLocalAddress());

    // The server answers at once; the reply then waits 60 ms before it is read.
    ASSERT_TRUE(record.TrySend(client));
    ASSERT_EQ(WaitForSingleObject(server.GetEvent(), 5000), WAIT_OBJECT_0);
    std::string request;
    CSockAddr asker;
    ASSERT_EQ(server.Receive(request, asker), 0);
    ASSERT_EQ(server.Send("h\n\\sv_hostname\\quick\n", asker), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    std::string reply;
    CSockAddr from;
    Clock::time_point arrived;
    ASSERT_EQ(client.Receive(reply, from, arrived), 0);
    record.OnReply(reply, arrived);
    EXPECT_EQ(record.m_name, "quick");
    EXPECT_LT(record.m_ping, 20); // the 60 ms of waiting are not the server's

    // Without a stamp the reply counts from when it is taken; one stamped before the clock
    // was read after the send gives 0, never a negative ping.
    CServerRecord late(server.GetLocalAddress());
    ASSERT_TRUE(late.TrySend(client));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    late.OnReply("h\n");
    EXPECT_GE(late.m_ping, 60);
    CServerRecord early(server.GetLocalAddress());
    ASSERT_TRUE(early.TrySend(client));
    early.OnReply("h\n", Clock::now() - std::chrono::milliseconds(5));
    EXPECT_EQ(early.m_ping, 0);
}

TEST(ServerRecordTest, FloodedRepliesStopAtTheirCapsAndStillAnswer) {
    // A 64 KB reply of line feeds: 256 players, the rest ignored.
    CSockUDP client;
    client.Open();
    CServerRecord lines(CSockAddr("127.0.0.1:9"));
    ASSERT_TRUE(lines.TrySend(client));
    lines.OnReply("h\n\\sv_hostname\\flood\n" + std::string(64000, '\n'));
    EXPECT_EQ(lines.m_state, 999);
    EXPECT_EQ(lines.m_name, "flood");
    EXPECT_EQ(lines.m_players.size(), CServerRecord::kMaxPlayers);

    // Exactly at the cap every player is kept.
    std::string full = "h\n\n";
    for (int i = 0; i < 256; ++i)
        full += std::to_string(i) + " 1 \"p" + std::to_string(i) + "\"\n";
    CServerRecord all = Parsed(full);
    ASSERT_EQ(all.m_players.size(), 256u);
    EXPECT_EQ(all.m_players[255].name, "p255");
    EXPECT_EQ(all.m_players[255].frags, 255);

    // \a\b pairs: 1024 variables, and the players after them are ignored with the rest.
    std::string pairs = "h\n";
    for (int i = 0; i < 16000; ++i)
        pairs += "\\a\\b";
    CServerRecord many = Parsed(pairs + "\\mapname\\late\n1 2 \"p\"\n");
    EXPECT_EQ(many.m_variables.size(), CServerRecord::kMaxVariables);
    EXPECT_EQ(many.m_variables.back().key, "a");
    EXPECT_TRUE(many.m_map.empty());
    EXPECT_TRUE(many.m_players.empty());

    // 1024 variables exactly still reach the players.
    std::string limit = "h\n\\mapname\\m";
    for (int i = 1; i < 1024; ++i)
        limit += "\\a\\b";
    CServerRecord atLimit = Parsed(limit + "\n1 2 \"p\"\n");
    EXPECT_EQ(atLimit.m_variables.size(), 1024u);
    EXPECT_EQ(atLimit.m_map, "m");
    EXPECT_EQ(atLimit.m_players.size(), 1u);
}

TEST(ServerRecordTest, GameTypeNamesFollowTheNameText) {
    EXPECT_EQ(GameTypeName(0), "Free for all");
    EXPECT_EQ(GameTypeName(3), "Duel");
    EXPECT_EQ(GameTypeName(4), "4?");
    EXPECT_EQ(GameTypeName(5), "Team Death Match");
    EXPECT_EQ(GameTypeName(8), "Capture the Ysalamari");
    EXPECT_EQ(GameTypeName(10), "10");
    EXPECT_EQ(GameTypeName(20), "20?");
    EXPECT_EQ(GameTypeName(21), "");
    EXPECT_EQ(GameTypeName(-1), "");
}

TEST(ServerRecordTest, ListFindsOrInsertsAndKeepsRecordsInPlace) {
    CServerList list;
    CSockAddr a("10.0.0.2:1"), b("9.0.0.3:1");
    CServerRecord& first = list.FindOrInsert(b);
    CServerRecord& second = list.FindOrInsert(a);
    EXPECT_EQ(&list.FindOrInsert(b), &first);
    EXPECT_EQ(list.Find(a), &second);
    EXPECT_EQ(list.Find(CSockAddr("10.0.0.2:2")), nullptr);
    for (int i = 0; i < 100; ++i)
        list.FindOrInsert(CSockAddr("3.3." + std::to_string(i) + ".200:5"));
    EXPECT_EQ(list.Find(b), &first);                       // inserting never moves a record
    EXPECT_EQ(list.begin()->first.Format(), "10.0.0.2:1"); // fourth octet decides first
    EXPECT_EQ(list.Size(), 102u);
}

TEST(ServerRecordTest, RequestsResendAndTimeOut) {
    CSockUDP server;
    server.Open(CSockAddr("127.0.0.1:0"));
    CSockUDP client;
    client.Open();
    CServerRecord record(server.GetLocalAddress());
    auto received = [&server] {
        std::string datagram;
        CSockAddr from;
        return server.Receive(datagram, from) == 0 ? datagram : std::string("none");
    };

    EXPECT_TRUE(record.TrySend(client));
    EXPECT_EQ(record.m_state, 1);
    EXPECT_EQ(received(), std::string(kStatusRequest));
    EXPECT_FALSE(record.TrySend(client)); // outstanding, not yet overdue
    SentAgo(record, 1200);
    EXPECT_FALSE(record.TrySend(client)); // overdue only after more than 1200 ms
    SentAgo(record, 1201);
    EXPECT_TRUE(record.TrySend(client));
    EXPECT_EQ(record.m_state, 2);
    EXPECT_EQ(received(), std::string(kStatusRequest));
    SentAgo(record, 1300);
    EXPECT_FALSE(record.TrySend(client));
    EXPECT_EQ(record.m_state, 3);
    EXPECT_TRUE(record.IsDone());
    EXPECT_EQ(received(), "none"); // no third request

    // A late reply does not revive a timed-out record.
    record.OnReply("h\n\\sv_hostname\\late\n1 1 \"p\"\n");
    EXPECT_EQ(record.m_state, 3);
    EXPECT_EQ(record.m_ping, 9999);
    EXPECT_TRUE(record.m_players.empty());
    EXPECT_EQ(record.m_name, record.m_address.Format());
}

TEST(ServerRecordTest, ReplyTakesPingFromTheLastRequestOnce) {
    CSockUDP client;
    client.Open();
    CServerRecord record(CSockAddr("127.0.0.1:9"));

    // Nothing asked yet: a stray reply is not an answer.
    record.OnReply("h\n\\sv_hostname\\stray\n");
    EXPECT_EQ(record.m_state, 0);
    EXPECT_EQ(record.m_name, "127.0.0.1:9");

    ASSERT_TRUE(record.TrySend(client));
    SentAgo(record, 1500);
    ASSERT_TRUE(record.TrySend(client)); // the resend
    SentAgo(record, 37);
    record.OnReply("h\n\\sv_hostname\\first\n");
    EXPECT_EQ(record.m_state, 999);
    EXPECT_GE(record.m_ping, 37);
    EXPECT_LT(record.m_ping, 1000); // measured from the resend, not the first request
    EXPECT_EQ(record.m_name, "first");

    record.OnReply("h\n\\sv_hostname\\second\n");
    EXPECT_EQ(record.m_name, "first");
    EXPECT_EQ(record.m_variables.size(), 1u);

    // Once overdue an answered record moves on to 1000 and stays finished, sending nothing.
    SentAgo(record, 1300);
    EXPECT_FALSE(record.TrySend(client));
    EXPECT_EQ(record.m_state, 1000);
    EXPECT_TRUE(record.IsDone());
}

TEST(ServerRecordTest, RawNamesKeepTheirColourCodesBesideTheStrippedOnes) {
    CServerRecord r = Parsed("h\n\\sv_hostname\\\"^1Red ^7Server^\"\n"
                             "1 50 \"  ^4Lu^8ke ^\"\n2 0 \"plain\"\n3 9 end^");
    EXPECT_EQ(r.m_name, "Red Server");
    EXPECT_EQ(r.m_nameRaw, "^1Red ^7Server^\"");
    ASSERT_EQ(r.m_players.size(), 3u);
    EXPECT_EQ(r.m_players[0].name, "Luke");
    EXPECT_EQ(r.m_players[0].nameRaw, "^4Lu^8ke ^\"");
    EXPECT_EQ(r.m_players[1].nameRaw, "plain");
    EXPECT_EQ(r.m_players[2].name, "end");
    EXPECT_EQ(r.m_players[2].nameRaw, "end^"); // a caret that ends the reply

    // Without sv_hostname both keep what they had, as the name always did.
    CServerRecord favourite(CSockAddr("10.1.2.3:27960"), "Fav", "");
    favourite.ParseStatus("h\n\\mapname\\m\n");
    EXPECT_EQ(favourite.m_nameRaw, "Fav");
    EXPECT_EQ(MakeRecord().m_nameRaw, "10.1.2.3:27960");
}

TEST(ServerRecordTest, PlayersOfPingZeroAreBotsAndNeedPassIsKept) {
    CServerRecord r = Parsed("h\n\\g_needpass\\1\n1 0 \"bot\"\n2 50 \"a\"\n3 0 \"b2\"\n4 -1 \"c\"");
    EXPECT_TRUE(r.m_needPass);
    EXPECT_EQ(r.m_bots, 2);
    EXPECT_EQ(r.m_humans, 2);
    EXPECT_TRUE(r.m_players[0].IsBot());
    EXPECT_FALSE(r.m_players[3].IsBot());

    EXPECT_FALSE(Parsed("h\n\\g_needpass\\0\n").m_needPass);
    EXPECT_FALSE(Parsed("h\n\\g_needpass\\2\n").m_needPass);
    EXPECT_TRUE(Parsed("h\n\\G_NeedPass\\1\n").m_needPass);

    r.Reset();
    EXPECT_FALSE(r.m_needPass);
    EXPECT_EQ(r.m_bots, 0);
    EXPECT_EQ(r.m_humans, 0);
}

TEST(ServerRecordTest, ARefreshTakesOverBotsLockRawNameAndCountry) {
    CServerRecord listed(CSockAddr("10.0.0.1:27960"), "Fav", "pw");
    CServerRecord fresh(CSockAddr("10.0.0.1:27960"));
    fresh.ParseStatus("h\n\\sv_hostname\\^1New\\g_needpass\\1\n1 0 \"b\"\n1 9 \"h\"\n");
    fresh.m_country = "SE";
    listed.TakeQueryResult(fresh);
    EXPECT_EQ(listed.m_nameRaw, "^1New");
    EXPECT_EQ(listed.m_humans, 1);
    EXPECT_EQ(listed.m_bots, 1);
    EXPECT_TRUE(listed.m_needPass);
    EXPECT_EQ(listed.m_country, "SE");
    EXPECT_EQ(listed.m_password, "pw");
}
