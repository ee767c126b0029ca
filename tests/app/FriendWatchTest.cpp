#include "app/core/FriendWatch.h"

#include "query/ServerRecord.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class FriendWatchTest : public testing::Test {
protected:
    std::vector<CFriendSighting> Results(std::vector<CFriendSighting> seen) {
        return m_watch.OnResults(seen);
    }

    CFriendWatch::Clock::time_point m_now{1000h};
    CFriendWatch m_watch{[this] { return m_now; }};
};

const CFriendSighting kKyle{"Kyle", "Alpha"};
const CFriendSighting kJan{"Jan", "Beta"};

} // namespace

TEST_F(FriendWatchTest, OnlyAFriendWhoWasOnNoServerAtTheLastResultsIsAnnounced) {
    EXPECT_TRUE(Results({kKyle}).empty()) << "the first results only say who was there";
    m_now += 1min;
    EXPECT_EQ(Results({kKyle, kJan}), std::vector<CFriendSighting>{kJan});
    m_now += 1min;
    EXPECT_TRUE(Results({kJan, {"Kyle", "Gamma"}}).empty()) << "still playing, elsewhere";
    m_now += 1min;
    EXPECT_TRUE(Results({kJan}).empty());
    m_now += 20min;
    EXPECT_EQ(Results({kJan, {"KYLE", "Gamma"}}), (std::vector<CFriendSighting>{{"KYLE", "Gamma"}}))
        << "back after leaving, case ignored";
    EXPECT_TRUE(Results({{"Jan", "Beta"}, {"jan", "Gamma"}}).empty()) << "on two servers";
}

TEST_F(FriendWatchTest, AFriendIsAnnouncedAtMostOnceInTenMinutes) {
    Results({});
    EXPECT_EQ(Results({kKyle}).size(), 1u);
    m_now += 2min;
    Results({});
    m_now += 7min + 59s;
    EXPECT_TRUE(Results({kKyle}).empty()) << "9:59 after the last";
    m_now += 1min;
    Results({});
    m_now += 1s;
    EXPECT_EQ(Results({kKyle}).size(), 1u) << "11:00 after the last";
    // Each friend has a time of its own.
    m_now += 1min;
    EXPECT_EQ(Results({kKyle, kJan}), std::vector<CFriendSighting>{kJan});
}

TEST(FriendSightingTest, FriendsAreFoundOnAnsweredServersOnceEach) {
    CServerList list;
    auto add = [&](const char* address, const char* name, std::vector<CPlayerInfo> players,
                   bool answered) {
        CServerRecord& record = list.FindOrInsert(CSockAddr(address));
        record.m_name = name;
        record.m_players = std::move(players);
        record.m_state = answered ? CServerRecord::kStateAnswered : 3;
    };
    add("10.0.0.1:1", "Alpha", {{"Bob", 0, 0}, {"kyle ", 0, 0}}, true);
    add("10.0.0.2:1", "Beta", {{"Kyle", 0, 0}, {"Jan", 0, 0}}, true);
    add("10.0.0.3:1", "Gone", {{"Mara", 0, 0}}, false);
    CFriendList friends;
    friends.Add("Kyle");
    friends.Add("Jan");
    friends.Add("Mara");
    EXPECT_EQ(FindFriendsOnServers(list, friends),
              (std::vector<CFriendSighting>{{"kyle", "Alpha"}, {"Jan", "Beta"}}));
    EXPECT_TRUE(FindFriendsOnServers(list, CFriendList()).empty());
    EXPECT_EQ(FriendOnlineText({"Kyle", "Alpha"}), "Kyle is playing on Alpha");
}
