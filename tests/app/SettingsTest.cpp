#include "app/core/Settings.h"
#include "app/core/SearchHistory.h"

#include "TempWorkDir.h"
#include "net/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

CRegistryKey SettingsKey() {
    CRegistryKey key;
    EXPECT_TRUE(OpenSettingsKey(key));
    return key;
}

} // namespace

TEST(SettingsTest, FreshUserGetsTheDefaultsAndTheKey) {
    CTempWorkDir dir;
    CRegistryKey key = SettingsKey();
    EXPECT_FALSE(std::filesystem::is_empty(dir.Path() / "config"));

    CSettings settings = LoadMainSettings(key);
    EXPECT_EQ(settings.m_lastView, 0u);
    EXPECT_EQ(SpeedSelection(settings.m_speed), 1);     // "ISDN"
    EXPECT_EQ(VersionSelection(settings.m_version), 2); // "All"
    EXPECT_FALSE(settings.m_includeEmpty);
    EXPECT_TRUE(settings.m_includeFull);
    EXPECT_EQ(settings.m_master, "master.jk2mv.org:28060");
    EXPECT_EQ(MastersOf(settings),
              (std::vector<std::string>{"master.jk2mv.org:28060", "master.jkhub.org:28060",
                                        "masterjk2.ravensoft.com:28060"}));
    EXPECT_EQ(settings.m_lastPlayers, "");
    EXPECT_EQ(settings.m_password, "");
    EXPECT_FALSE(settings.m_lastPos);
    EXPECT_EQ(settings.m_splitPos, 0);
    EXPECT_TRUE(settings.m_autoClose);
    EXPECT_FALSE(settings.m_autoRequery);
    // A newcomer's first start asks the masters.
    EXPECT_EQ(settings.m_startupQuery, 2u);
    EXPECT_EQ(LoadGamePath(key), "");
    COptions options = LoadOptions(key);
    EXPECT_TRUE(options.m_autoClose);
    EXPECT_FALSE(options.m_autoRequery);
    EXPECT_EQ(options.m_startupQuery, 2u);
}

TEST(SettingsTest, SavedValuesReadBack) {
    CTempWorkDir dir;
    CRegistryKey key = SettingsKey();
    CSettings saved;
    saved.m_lastView = 1;
    saved.m_speed = 0xFFFFFFFF; // no Speed selected
    saved.m_version = VersionOfSelection(1);
    saved.m_includeEmpty = true;
    saved.m_includeFull = false;
    saved.m_master = "10.1.2.3:28060";
    saved.m_moreMasters = "";
    saved.m_lastPlayers = "b\na\n";
    saved.m_password = " secret ";
    saved.m_lastPos = CWindowRect{300, 200, -10, -20}; // normalised when written
    saved.m_splitPos = 40;
    SaveMainSettings(key, saved, {});

    CSettings loaded = LoadMainSettings(key);
    EXPECT_EQ(loaded.m_lastView, 1u);
    EXPECT_EQ(SpeedSelection(loaded.m_speed), -1);
    EXPECT_EQ(loaded.m_version, 16u);
    EXPECT_TRUE(loaded.m_includeEmpty);
    EXPECT_FALSE(loaded.m_includeFull);
    EXPECT_EQ(loaded.m_master, "10.1.2.3:28060");
    // An empty list of further masters stays empty: that master alone is asked.
    EXPECT_EQ(MastersOf(loaded), std::vector<std::string>{"10.1.2.3:28060"});
    EXPECT_EQ(loaded.m_lastPlayers, "b\na\n");
    EXPECT_EQ(loaded.m_password, " secret ");
    EXPECT_EQ(loaded.m_lastPos, (CWindowRect{-10, -20, 300, 200}));
    EXPECT_EQ(loaded.m_splitPos, 40);
    // Options are written by their dialog only.
    EXPECT_TRUE(loaded.m_autoClose);

    SaveOptions(key, {false, true, 2});
    SaveGamePath(key, "/games/jk2/jk2mp.exe");
    COptions options = LoadOptions(key);
    EXPECT_FALSE(options.m_autoClose);
    EXPECT_TRUE(options.m_autoRequery);
    EXPECT_EQ(options.m_startupQuery, 2u);
    EXPECT_FALSE(LoadMainSettings(key).m_autoClose);
    EXPECT_EQ(LoadGamePath(key), "/games/jk2/jk2mp.exe");

    // Any non-zero number counts as a set flag.
    key.WriteNumber(kAutoCloseValue, 7);
    EXPECT_TRUE(LoadOptions(key).m_autoClose);
}

TEST(SettingsTest, ListSelectionsAndStoredRectangles) {
    EXPECT_EQ(VersionSelection(15), 0);
    EXPECT_EQ(VersionSelection(17), 2);
    for (std::uint32_t version : {16u, 18u, 14u, 0xFFFFFFFFu})
        EXPECT_EQ(VersionSelection(version), 1) << version;
    EXPECT_EQ(VersionOfSelection(0), 15u);
    EXPECT_EQ(VersionOfSelection(2), 17u);
    EXPECT_EQ(SpeedSelection(5), 5);
    EXPECT_EQ(SpeedSelection(6), -1);

    // The main window takes a rectangle as wide as its template; the favourites dialog needs a
    // wider one.
    CWindowRect rect{100, 100, 700, 150};
    EXPECT_TRUE(IsMainRectApplied(rect, 600));
    EXPECT_FALSE(IsMainRectApplied(rect, 601));
    EXPECT_FALSE(IsFavoritesRectApplied(rect, 600));
    EXPECT_TRUE(IsFavoritesRectApplied(rect, 599));
    EXPECT_FALSE(IsMainRectApplied({2147483647, 0, -2147483647 - 1, 0}, 1));
}

TEST(SettingsTest, MinimisedWindowKeepsThePreviousPlace) {
    CTempWorkDir dir;
    CRegistryKey key = SettingsKey();
    CSettings settings;
    settings.m_lastPos = CWindowRect{1, 2, 801, 602};
    settings.m_splitPos = 30;
    SaveMainSettings(key, settings, {});

    settings.m_lastPos.reset();
    settings.m_splitPos = 60;
    settings.m_lastView = 1;
    SaveMainSettings(key, settings, {});
    CSettings loaded = LoadMainSettings(key);
    EXPECT_EQ(loaded.m_lastPos, (CWindowRect{1, 2, 801, 602}));
    EXPECT_EQ(loaded.m_splitPos, 30);
    EXPECT_EQ(loaded.m_lastView, 1u);
}

TEST(SettingsTest, HistoryStopsBeingSavedPast254Characters) {
    CTempWorkDir dir;
    CRegistryKey key = SettingsKey();
    CSearchHistory history;
    CSettings settings;
    std::string lastFitting;
    for (int i = 0; i < 27; ++i) {
        history.AddIfNew("Player" + std::to_string(100 + i));
        settings.m_lastPlayers = history.ToSetting();
        if (settings.m_lastPlayers.size() <= 254)
            lastFitting = settings.m_lastPlayers;
        SaveMainSettings(key, settings, {});
    }
    ASSERT_GT(settings.m_lastPlayers.size(), 254u);
    std::string stored = LoadMainSettings(key).m_lastPlayers;
    EXPECT_EQ(stored, lastFitting);
    EXPECT_EQ(stored.size(), 250u); // 25 names of 9 characters and a line feed
    EXPECT_EQ(CSearchHistory::FromSetting(stored).Items().size(), 25u);
}

TEST(SettingsTest, TableLayoutsFitTheTablesWords) {
    CTempWorkDir dir;
    CRegistryKey key = SettingsKey();
    CMainLayouts layouts;
    layouts.m_player = {1, 2, 0xABCD};
    layouts.m_server = {9, 8, 7, 6, 5};
    SaveMainSettings(key, CSettings(), layouts);

    // The same size replaces all words.
    std::vector<std::uint16_t> words = {0, 0, 0};
    ReadTableLayout(key, kPlayerLayoutValue, words);
    EXPECT_EQ(words, (std::vector<std::uint16_t>{1, 2, 0xABCD}));
    // A smaller stored layout replaces only the leading words.
    words = {0, 0, 0, 0, 42};
    ReadTableLayout(key, kPlayerLayoutValue, words);
    EXPECT_EQ(words, (std::vector<std::uint16_t>{1, 2, 0xABCD, 0, 42}));
    // A larger one is not read at all.
    words = {0, 0, 0};
    ReadTableLayout(key, kServerLayoutValue, words);
    EXPECT_EQ(words, (std::vector<std::uint16_t>{0, 0, 0}));
    // An empty table's layout is stored empty and reads as nothing.
    ReadTableLayout(key, kPlayerOnServerLayoutValue, words);
    EXPECT_EQ(words, (std::vector<std::uint16_t>{0, 0, 0}));
    EXPECT_TRUE(key.ValueExists(kPlayerOnServerLayoutValue));
}

TEST(SettingsTest, CommandLineHoldsForThisRunOnly) {
    CSettings stored;
    stored.m_master = "master.example:28060";
    stored.m_lastView = 1;
    stored.m_startupQuery = 0;
    CCommandLine commandLine;
    commandLine.m_master = "127.0.0.1:27950";
    commandLine.m_startupQuery = 2;

    CSettings run = WithCommandLine(stored, commandLine);
    EXPECT_EQ(run.m_master, "127.0.0.1:27950");
    EXPECT_EQ(run.m_startupQuery, 2u);
    EXPECT_EQ(run.m_lastView, 1u); // not given, so the stored view

    run.m_lastView = 0; // the user changed tabs
    run.m_master = "127.0.0.1:27950";
    CSettings written = WithoutCommandLine(run, stored, commandLine);
    EXPECT_EQ(written.m_master, "master.example:28060");
    EXPECT_EQ(written.m_startupQuery, 0u);
    EXPECT_EQ(written.m_lastView, 0u);

    commandLine.m_view = 0;
    EXPECT_EQ(WithCommandLine(stored, commandLine).m_lastView, 0u);
    EXPECT_EQ(WithoutCommandLine(run, stored, commandLine).m_lastView, 1u);
}

TEST(SettingsTest, MastersAreStoredAsTypedAndTheCommandLinesOneIsAskedAlone) {
    CTempWorkDir dir;
    CRegistryKey key = SettingsKey();
    CSettings saved;
    SetMasters(saved, {"master.example:28060", "no-such-host", "10.0.0.1:28061"});
    SaveMainSettings(key, saved, {});
    const CSettings loaded = LoadMainSettings(key);
    EXPECT_EQ(loaded.m_master, "master.example:28060");
    EXPECT_EQ(loaded.m_moreMasters, "no-such-host 10.0.0.1:28061");
    EXPECT_EQ(MastersOf(loaded),
              (std::vector<std::string>{"master.example:28060", "no-such-host", "10.0.0.1:28061"}));

    CCommandLine line;
    line.m_master = "127.0.0.1:29000";
    const CSettings run = WithCommandLine(loaded, line);
    EXPECT_EQ(MastersOf(run), std::vector<std::string>{"127.0.0.1:29000"});
    const CSettings written = WithoutCommandLine(run, loaded, line);
    EXPECT_EQ(MastersOf(written), MastersOf(loaded));
}
