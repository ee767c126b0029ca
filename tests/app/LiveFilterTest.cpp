#include "app/core/LiveFilter.h"

#include "app/core/MainTables.h"
#include "query/ServerRecord.h"
#include "table/Cells.h"
#include "table/SortKeys.h"
#include "table/Table.h"

#include <gtest/gtest.h>

using namespace Tavex;

namespace {

CServerRecord Server(const char* address, const std::string& reply) {
    CServerRecord record{CSockAddr(address)};
    record.ParseStatus("h\n" + reply);
    return record;
}

template <std::size_t N> void Build(CTable& table, const std::array<CColumnSpec, N>& columns) {
    for (const CColumnSpec& column : columns) {
        if (column.m_kind != EColumnKind::Int && column.m_kind != EColumnKind::GameType)
            table.AddColumn(new CFAny<CDString>, new CCellCompare);
        else
            table.AddColumn(new CFAny<CDInt>, new CCellCompare);
    }
    table.Build();
}

std::vector<std::string> Column(CTable& table, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < table.GetRowCount(); ++row)
        texts.push_back(table.GetCell(row, column)->GetString());
    return texts;
}

} // namespace

TEST(LiveFilterTest, WordsAreSplitAtWhiteSpaceAndUpperCased) {
    CLiveFilter filter = MakeLiveFilter("  bes\tPin  \r\nduel ", false);
    EXPECT_EQ(filter.m_words, (std::vector<std::string>{"BES", "PIN", "DUEL"}));
    EXPECT_TRUE(filter.IsActive());
    EXPECT_FALSE(MakeLiveFilter(" \t ", false).IsActive());
    EXPECT_TRUE(MakeLiveFilter("", true).IsActive());
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "w" + std::to_string(i) + " ";
    EXPECT_EQ(MakeLiveFilter(many, false).m_words.size(), CLiveFilter::kMaxWords);
}

TEST(LiveFilterTest, EveryWordMustMatchAServerTextOrAPlayer) {
    CServerRecord duel =
        Server("10.0.0.1:27960", "\\sv_hostname\\^1Red ^7Duel\\mapname\\ffa_bespin\\g_gametype\\3"
                                 "\\version\\JK2MP: v1.04 linux\n1 50 \"^4Luke\"\n2 0 \"Bot\"\n");
    CServerRecord bots = Server("10.0.0.2:28070", "\\sv_hostname\\Bots Only\\mapname\\ctf_yavin"
                                                  "\\protocol\\15\n1 0 \"Kyle\"\n");
    CLiveFilterIndex index;
    index.Reset(3);
    index.Add(1, duel);
    index.Add(2, bots);
    auto shown = [&](const char* text, bool humans) {
        index.Apply(MakeLiveFilter(text, humans));
        return std::to_string(index.ServerShown(1)) + std::to_string(index.ServerShown(2));
    };
    EXPECT_EQ(shown("", false), "11");
    EXPECT_EQ(shown("red", false), "10");    // the name, without its colour codes
    EXPECT_EQ(shown("^1red", false), "00");  // codes are not part of the name
    EXPECT_EQ(shown("BESPIN", false), "10"); // the map, case ignored
    EXPECT_EQ(shown("duel", false), "10");   // the game type's name and the name
    EXPECT_EQ(shown("capture", false), "00");
    EXPECT_EQ(shown("v1.04", false), "10");      // the version as the server words it
    EXPECT_EQ(shown("1.02", false), "01");       // and as its column shows it
    EXPECT_EQ(shown("28070", false), "01");      // the address
    EXPECT_EQ(shown("luke", false), "10");       // any player's name
    EXPECT_EQ(shown("luke yavin", false), "00"); // every word must match
    EXPECT_EQ(shown("kyle yavin", false), "01");
    EXPECT_EQ(shown("d luke", false), "10");
    EXPECT_EQ(shown("", true), "10"); // only Kyle, a bot, is on the second
    EXPECT_EQ(shown("yavin", true), "00");
    EXPECT_EQ(shown("ffa red", true), "10");
    // A word does not run from one text into the next.
    EXPECT_EQ(shown("bespinfree", false), "00");
    EXPECT_EQ(shown("lukebot", false), "00");
    // Unknown keys show nothing while a filter is on, everything while none is.
    index.Apply(MakeLiveFilter("x", false));
    EXPECT_FALSE(index.ServerShown(3));
    EXPECT_FALSE(index.ServerShown(0));
    index.Apply(MakeLiveFilter("", false));
    EXPECT_TRUE(index.ServerShown(3));
    EXPECT_EQ(index.ServerRows(), nullptr);

    // A player's row: its server's texts or its own name.
    index.Apply(MakeLiveFilter("luke", false));
    EXPECT_TRUE(index.PlayerShown(1, "Luke"));
    EXPECT_FALSE(index.PlayerShown(1, "Bot"));
    index.Apply(MakeLiveFilter("bespin", true));
    EXPECT_TRUE(index.PlayerShown(1, "Bot"));
    EXPECT_FALSE(index.PlayerShown(2, "Kyle")); // no humans there
    index.Apply(MakeLiveFilter("bespin lu", false));
    EXPECT_TRUE(index.PlayerShown(1, "Luke"));
    EXPECT_FALSE(index.PlayerShown(1, "Bot"));

    // A record added while a filter is on is judged at once, also one that joined the run
    // after it started, with a key beyond the first ones.
    index.Apply(MakeLiveFilter("kyle", false));
    index.Add(2, bots);
    EXPECT_TRUE(index.ServerShown(2));
    index.Add(7, bots);
    EXPECT_TRUE(index.ServerShown(7));
    EXPECT_FALSE(index.ServerShown(6));
}

TEST(LiveFilterTest, TablesShowWhatPassesAndEverythingAgainWhenCleared) {
    CTable servers, players;
    Build(servers, kServerColumns);
    Build(players, kAllPlayersColumns);
    CServerRecord a = Server("10.0.0.1:1", "\\sv_hostname\\Alpha\\mapname\\ffa_bespin"
                                           "\n1 50 \"Zed\"\n1 60 \"Amy\"\n");
    CServerRecord b = Server("10.0.0.2:1", "\\sv_hostname\\Beta\\mapname\\ctf_yavin"
                                           "\n1 0 \"Bot\"\n");
    CServerRecord c = Server("10.0.0.3:1", "\\sv_hostname\\Gamma\\mapname\\ffa_bespin"
                                           "\n1 70 \"Max\"\n");
    CLiveFilterIndex index;
    index.Reset(3);
    int key = 0;
    for (const CServerRecord* record : {&a, &b, &c}) {
        AddRecordToTables(servers, players, *record, ++key);
        index.Add(key, *record);
    }
    servers.Sort(CSortKeys{ServerColumn::kServer, CSortKeys::kDescending});
    players.Sort(CSortKeys{AllPlayersColumn::kPlayer, CSortKeys::kAscending});

    index.Apply(MakeLiveFilter("bespin", false));
    servers.FilterRows(index.ServerRows());
    players.FilterRows(index.PlayerRows());
    EXPECT_EQ(Column(servers, ServerColumn::kServer), (std::vector<std::string>{"Gamma", "Alpha"}));
    EXPECT_EQ(Column(players, AllPlayersColumn::kPlayer),
              (std::vector<std::string>{"Amy", "Max", "Zed"}));

    index.Apply(MakeLiveFilter("a", true));
    players.FilterRows(index.PlayerRows());
    EXPECT_EQ(Column(players, AllPlayersColumn::kPlayer),
              (std::vector<std::string>{"Amy", "Max", "Zed"})); // "a" is in both server names

    index.Apply(MakeLiveFilter("", false));
    servers.FilterRows(index.ServerRows());
    players.FilterRows(index.PlayerRows());
    EXPECT_EQ(Column(servers, ServerColumn::kServer),
              (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
    EXPECT_EQ(Column(players, AllPlayersColumn::kPlayer),
              (std::vector<std::string>{"Amy", "Bot", "Max", "Zed"}));
}
