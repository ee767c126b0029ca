#include "query/GameVersion.h"

#include "query/ServerRecord.h"

#include <gtest/gtest.h>

namespace {

CServerRecord Listed(int protocol, std::vector<CServerVariable> variables) {
    CServerRecord record{CSockAddr("127.0.0.1:29070")};
    record.m_protocol = protocol;
    record.m_variables = std::move(variables);
    return record;
}

} // namespace

TEST(GameVersionTest, TheListingProtocolAndTheVersionVariableNameTheRelease) {
    EXPECT_EQ(VersionText(Listed(16, {})), "1.04");
    // 1.04 servers say so by their protocol; their version text does not matter.
    EXPECT_EQ(VersionText(Listed(16, {{"version", "JK2MP: v1.03 linux"}})), "1.04");
    EXPECT_EQ(VersionText(Listed(15, {})), "1.02");
    EXPECT_EQ(VersionText(Listed(15, {{"version", "JK2MP: v1.02 win-x86 Jun 12 2002"}})), "1.02");
    EXPECT_EQ(VersionText(Listed(15, {{"Version", "JK2MP: v1.03 linux-i386 Jan 1 2003"}})), "1.03");
    // The last of a repeated key counts.
    EXPECT_EQ(VersionText(Listed(15, {{"version", "v1.03"}, {"version", "v1.02"}})), "1.02");
}

TEST(GameVersionTest, AFavouriteTakesItsProtocolFromItsStatus) {
    EXPECT_EQ(ProtocolOf(Listed(0, {{"protocol", "16"}})), 16);
    EXPECT_EQ(VersionText(Listed(0, {{"protocol", "16"}})), "1.04");
    EXPECT_EQ(VersionText(Listed(0, {{"PROTOCOL", "15"}, {"version", "1.03"}})), "1.03");
    // The listing's protocol wins over what the server says; others are unknown.
    EXPECT_EQ(ProtocolOf(Listed(15, {{"protocol", "16"}})), 15);
    EXPECT_EQ(VersionText(Listed(0, {{"protocol", "68"}})), "");
    EXPECT_EQ(VersionText(Listed(0, {})), "");
}
