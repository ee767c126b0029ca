#include "tools/QueryOutput.h"

#include "query/ServerRecord.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

CServerRecord Answered(const std::string& reply) {
    CServerRecord record(CSockAddr("10.0.0.1:27960"));
    record.ParseStatus(reply);
    record.m_state = CServerRecord::kStateAnswered;
    record.m_ping = 42;
    return record;
}

std::string Write(const std::vector<const CServerRecord*>& servers, CQueryOptions options) {
    std::ostringstream out;
    WriteServers(out, servers, options);
    return out.str();
}

} // namespace

TEST(QueryOutputTest, TextIsConvertedFromWindows1252AndEscaped) {
    EXPECT_EQ(Cp1252ToUtf8("plain"), "plain");
    EXPECT_EQ(Cp1252ToUtf8("\x80\xE9\xFF"), "\xE2\x82\xAC\xC3\xA9\xC3\xBF");
    EXPECT_EQ(Cp1252ToUtf8("\x81\x9F"), "\xC2\x81\xC5\xB8"); // undefined byte stays a C1 control

    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString(std::string("\n\t\x01\x1F", 4)), "\"\\n\\t\\u0001\\u001f\"");
    EXPECT_EQ(JsonString("\x93q\x94"), "\"\xE2\x80\x9Cq\xE2\x80\x9D\"");

    EXPECT_EQ(CsvField("simple"), "simple");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
}

TEST(QueryOutputTest, FilterFollowsTheTwoIncludeFlags) {
    CServerRecord empty = Answered("h\n\\sv_maxclients\\2\n");
    CServerRecord some = Answered("h\n\\sv_maxclients\\2\n1 1 \"a\"\n");
    CServerRecord full = Answered("h\n\\sv_maxclients\\2\n1 1 \"a\"\n2 2 \"b\"\n");
    CServerRecord noMax = Answered("h\n\n1 1 \"a\"\n"); // maxClients 0: always full
    EXPECT_FALSE(PassesFilter(empty, false, true));
    EXPECT_TRUE(PassesFilter(empty, true, false));
    EXPECT_TRUE(PassesFilter(some, false, false));
    EXPECT_TRUE(PassesFilter(full, false, true));
    EXPECT_FALSE(PassesFilter(full, true, false));
    EXPECT_FALSE(PassesFilter(noMax, true, false));
    CServerRecord negative = Answered("h\n\\sv_maxclients\\-1\n1 1 \"a\"\n");
    EXPECT_TRUE(PassesFilter(negative, false, false)); // compared unsigned, as the window does
}

TEST(QueryOutputTest, JsonHasTheAgreedKeysInReplyOrder) {
    CServerRecord record =
        Answered("h\n\\sv_hostname\\^1Caf\xE9\\mapname\\m\"a\"p\\g_gametype\\7"
                 "\\sv_maxclients\\8\\x\\1\\x\\2\n5 40 \"B^2ob\"\n-1 0 \"Al\"\n");
    CServerRecord silent(CSockAddr("10.0.0.2:1"));
    silent.m_state = 3;

    CQueryOptions options;
    options.format = CQueryOptions::EFormat::Json;
    EXPECT_EQ(Write({}, options), "[]\n");
    EXPECT_EQ(Write({&silent}, options),
              "[\n  {\"address\": \"10.0.0.2:1\", \"name\": \"10.0.0.2:1\", \"map\": \"\", "
              "\"gametype\": 0, \"gametype_name\": \"Free for all\", \"ping\": 9999, "
              "\"answered\": false, \"players\": 0, \"max_players\": 0, \"protocol\": null, "
              "\"version\": null, \"masters\": []}\n]\n");
    // A listed server: the protocol it was listed under, its release and its masters.
    silent.m_protocol = 15;
    silent.m_masters = {CSockAddr("10.9.9.9:28060"), CSockAddr("10.9.9.8:28060")};
    silent.m_variables = {{"version", "JK2MP: v1.03 linux"}};
    EXPECT_NE(Write({&silent}, options)
                  .find("\"protocol\": 15, \"version\": \"1.03\", \"masters\": "
                        "[\"10.9.9.9:28060\", \"10.9.9.8:28060\"]}"),
              std::string::npos);
    silent.m_protocol = 0;
    silent.m_masters.clear();
    silent.m_variables.clear();

    options.players = true;
    options.variables = true;
    std::string json = Write({&record, &silent}, options);
    EXPECT_NE(json.find("\"name\": \"Caf\xC3\xA9\", \"map\": \"map\", \"gametype\": 7, "
                        "\"gametype_name\": \"Capture the flag\", \"ping\": 42, \"answered\": "
                        "true, \"players\": 2, \"max_players\": 8, \"protocol\": null, "
                        "\"version\": null, \"masters\": [], \"player_list\": [{\"name\": "
                        "\"Bob\", \"frags\": 5, \"ping\": 40}, {\"name\": \"Al\", \"frags\": -1, "
                        "\"ping\": 0}], \"variables\": [[\"sv_hostname\", \"Caf\xC3\xA9\"], "
                        "[\"mapname\", \"map\"], [\"g_gametype\", \"7\"], [\"sv_maxclients\", "
                        "\"8\"], [\"x\", \"1\"], [\"x\", \"2\"]]}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("},\n  {\"address\": \"10.0.0.2:1\""), std::string::npos);
    EXPECT_NE(json.find("\"player_list\": [], \"variables\": []}\n]\n"), std::string::npos);
}

TEST(QueryOutputTest, CsvAndTableListOneServerPerLine) {
    CServerRecord record = Answered("h\n\\mapname\\m\\sv_maxclients\\4\n1 2 \"p\"\n");
    record.m_name = "a, \"b\"";
    record.m_protocol = 16;
    CQueryOptions options;
    options.format = CQueryOptions::EFormat::Csv;
    options.players = true;
    EXPECT_EQ(Write({&record}, options),
              "name,address,ping,players,max_players,map,gametype,gametype_name,version,"
              "player_list\r\n"
              "\"a, \"\"b\"\"\",10.0.0.1:27960,42,1,4,m,0,Free for all,1.04,p (1/2)\r\n");

    options.format = CQueryOptions::EFormat::Table;
    std::string table = Write({&record}, options);
    EXPECT_NE(table.find("   42  1/4      1.04  10.0.0.1:27960         m "), std::string::npos)
        << table;
    EXPECT_NE(table.find("Free for all            a, \"b\"\n"), std::string::npos) << table;
    EXPECT_NE(table.find("player 1 frags, 2 ms: p\n"), std::string::npos) << table;
}
