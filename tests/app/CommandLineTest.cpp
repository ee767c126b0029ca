#include "app/core/CommandLine.h"
#include "app/core/MainView.h"
#include "app/core/StartupQuery.h"

#include <gtest/gtest.h>

namespace {

std::optional<CCommandLine> Parse(std::vector<std::string> arguments,
                                  std::string* error = nullptr) {
    std::string message;
    auto result = ParseCommandLine(arguments, message);
    if (error)
        *error = message;
    EXPECT_EQ(result.has_value(), message.empty());
    return result;
}

} // namespace

TEST(CommandLineTest, ReadsEveryOption) {
    auto options = Parse({"--master", "localhost:27950", "--startup-query=favorites", "--view",
                          "servers", "--screenshot", "out.png"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->m_master, "localhost:27950");
    EXPECT_EQ(options->m_startupQuery, kStartupFavorites);
    EXPECT_EQ(options->m_view, kServerView);
    EXPECT_EQ(options->m_screenshot, "out.png");

    auto none = Parse({});
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->m_master || none->m_startupQuery || none->m_view || none->m_screenshot);
    EXPECT_EQ(Parse({"--startup-query", "nothing"})->m_startupQuery, kStartupNothing);
    EXPECT_EQ(Parse({"--startup-query", "master"})->m_startupQuery, kStartupMaster);
    EXPECT_EQ(Parse({"--view=players"})->m_view, kPlayerView);
    EXPECT_EQ(Parse({"--master=1.2.3.4:65535"})->m_master, "1.2.3.4:65535");
}

TEST(CommandLineTest, BadOptionsGiveOneLineMessages) {
    std::string error;
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--master"},
                                               {"--master", "localhost"},
                                               {"--master", ":27950"},
                                               {"--master", "host:0"},
                                               {"--master", "host:65536"},
                                               {"--master", "host:27a"},
                                               {"--master=host:"},
                                               {"--startup-query", "all"},
                                               {"--view", "Players"},
                                               {"--screenshot="},
                                               {"servers"}}) {
        EXPECT_FALSE(Parse(bad, &error)) << bad[0];
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    Parse({"--view", "both"}, &error);
    EXPECT_EQ(error, "--view must be players or servers, not 'both'");
    Parse({"--master"}, &error);
    EXPECT_EQ(error, "--master needs a value");
}

TEST(CommandLineTest, HelpAndVersionTakeNoValue) {
    std::string error;
    const std::optional<CCommandLine> help = ParseCommandLine({"--help"}, error);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->m_help);
    EXPECT_FALSE(help->m_version);
    const std::optional<CCommandLine> version =
        ParseCommandLine({"--version", "--view", "servers"}, error);
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->m_version);
    EXPECT_EQ(version->m_view, kServerView);
    EXPECT_NE(std::string(kBrowserUsage).find("--screenshot FILE"), std::string::npos);
}

TEST(StartupQueryTest, UnknownValuesStartNothingAndCheckNoRadio) {
    EXPECT_EQ(StartupCommand(2), kQueryMasterId);
    EXPECT_EQ(StartupCommand(3), 0);
    EXPECT_EQ(StartupRadio(7), 0);
    // "OK" with no radio checked (after a stored 7) writes 0; the last checked one wins.
    EXPECT_EQ(StartupQueryOfRadios(false, false), 0u);
    EXPECT_EQ(StartupQueryOfRadios(true, true), 2u);
}
