#include "tools/QueryOptions.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(QueryOptionsTest, DefaultsAndEveryOption) {
    CQueryOptions defaults = ParseQueryOptions({});
    // Every public master, both versions.
    EXPECT_EQ(defaults.masters,
              (std::vector<std::string>{"master.jk2mv.org:28060", "master.jkhub.org:28060",
                                        "masterjk2.ravensoft.com:28060"}));
    EXPECT_EQ(defaults.versionIndex, 2);
    EXPECT_TRUE(defaults.favorites.empty());
    EXPECT_EQ(defaults.speedIndex, 1);
    EXPECT_FALSE(defaults.includeEmpty);
    EXPECT_TRUE(defaults.includeFull);
    EXPECT_EQ(defaults.format, CQueryOptions::EFormat::Table);

    CQueryOptions all = ParseQueryOptions(
        {"--master", "127.0.0.1:5", "--version", "1.04", "--speed", "5", "--include-empty",
         "--no-full", "--format", "csv", "--players", "--variables", "--humans"});
    EXPECT_EQ(all.masters, std::vector<std::string>{"127.0.0.1:5"});
    EXPECT_EQ(all.versionIndex, 1);
    EXPECT_EQ(all.speedIndex, 5);
    EXPECT_TRUE(all.includeEmpty);
    EXPECT_FALSE(all.includeFull);
    EXPECT_EQ(all.format, CQueryOptions::EFormat::Csv);
    EXPECT_TRUE(all.players && all.variables);
    EXPECT_TRUE(all.humansOnly);
    EXPECT_FALSE(defaults.humansOnly);
    EXPECT_EQ(ParseQueryOptions({"--favorites", "f.dat"}).favorites, "f.dat");
    EXPECT_EQ(ParseQueryOptions({"--version", "1.0"}).versionIndex, 0);
    EXPECT_EQ(ParseQueryOptions({"--version", "all"}).versionIndex, 2);
    EXPECT_TRUE(ParseQueryOptions({"--timing"}).timing);
    EXPECT_EQ(ParseQueryOptions({"--master", "a:1", "--master", "b:2"}).masters,
              (std::vector<std::string>{"a:1", "b:2"}));
}

TEST(QueryOptionsTest, RejectsWhatItCannotUse) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--speed", "6"},
                                               {"--speed", "-1"},
                                               {"--speed"},
                                               {"--version", "1.02"},
                                               {"--format", "xml"},
                                               {"--master", "hostonly"},
                                               {"--master", ":28060"},
                                               {"--master", "host:"},
                                               {"--master", "host:12x"},
                                               {"--master", "a:1", "--favorites", "f"},
                                               {"--favorites", ""},
                                               {"extra"}}) {
        EXPECT_THROW(ParseQueryOptions(arguments), std::invalid_argument) << arguments[0];
    }
}

TEST(QueryOptionsTest, HelpAndTheProgramsVersionBesideTheGameVersion) {
    EXPECT_TRUE(ParseQueryOptions({"--help"}).help);
    EXPECT_FALSE(ParseQueryOptions({}).help || ParseQueryOptions({}).showVersion);
    // Alone or before another option, --version asks for the program's version;
    EXPECT_TRUE(ParseQueryOptions({"--version"}).showVersion);
    EXPECT_TRUE(ParseQueryOptions({"--version", "--players"}).showVersion);
    // with a value it still chooses the game version, and a wrong value is still refused.
    const CQueryOptions game = ParseQueryOptions({"--version", "1.04"});
    EXPECT_FALSE(game.showVersion);
    EXPECT_EQ(game.versionIndex, 1);
    EXPECT_THROW(ParseQueryOptions({"--version", "2"}), std::invalid_argument);
}
