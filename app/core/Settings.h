// The browser's settings in the store key "Software\Vantrel JK2": every value's name, kind and
// default, read when the main window initialises and written when it is destroyed, each in its
// fixed order. Missing or unreadable values give the defaults; failed writes are ignored.
#pragma once

#include "app/core/CommandLine.h"
#include "resources/MasterServer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CRegistryKey;

inline constexpr const char* kSettingsPath = "Software\\Vantrel JK2";

inline constexpr const char* kLastViewValue = "LastView";
inline constexpr const char* kSpeedValue = "Speed";
inline constexpr const char* kVersionValue = "Version";
inline constexpr const char* kIncludeEmptyValue = "IncludeEmptyServers";
inline constexpr const char* kIncludeFullValue = "IncludeFullServers";
inline constexpr const char* kMasterValue = "Master";
// The masters asked besides "Master", one "host:port" after the other; empty: "Master" alone.
inline constexpr const char* kMoreMastersValue = "MoreMasters";
inline constexpr const char* kLastPlayersValue = "LastPlayers";
inline constexpr const char* kPasswordValue = "Password";
inline constexpr const char* kLastPosValue = "LastPos";
inline constexpr const char* kSplitPosValue = "SplitPos";
inline constexpr const char* kAutoCloseValue = "AutoClose";
inline constexpr const char* kAutoRequeryValue = "AutoRequery";
inline constexpr const char* kStartupQueryValue = "StartupQuery";
// Seconds between background requeries while "AutoRequery" is set.
inline constexpr const char* kRequerySecondsValue = "AutoRequerySeconds";
inline constexpr const char* kGamePathValue = "JK2";
inline constexpr const char* kPlayerLayoutValue = "Tavex_Player";
inline constexpr const char* kServerLayoutValue = "Tavex_Server";
inline constexpr const char* kPlayerOnServerLayoutValue = "Tavex_PlayerOnServer";
inline constexpr const char* kFavoritesLayoutValue = "Tavex_Favorites";
inline constexpr const char* kLastPosFavoritesValue = "LastPosFavorites";

// The protocol numbers behind the Version list's lines, "1.0" and "1.04"; "All" is stored as
// the next number, as the list's rule (index + 15) gives it.
inline constexpr std::uint32_t kFirstVersion = 15;
inline constexpr std::uint32_t kAllVersions = 17;
// The Speed list: "Modem", "ISDN", "ISDN128", "DSL", "DSL*2", "DSL*4".
inline constexpr int kSpeedCount = 6;

// A window rectangle in screen coordinates, stored as a 16-byte block of four signed 32-bit
// little-endian numbers.
struct CWindowRect {
    std::int32_t m_left = 0;
    std::int32_t m_top = 0;
    std::int32_t m_right = 0;
    std::int32_t m_bottom = 0;

    std::int64_t Width() const { return std::int64_t{m_right} - m_left; }
    // left <= right and top <= bottom, as the rectangle is written.
    CWindowRect Normalized() const;
    bool operator==(const CWindowRect&) const = default;
};

// The values the main window reads at initialisation and writes at destruction.
struct CSettings {
    std::uint32_t m_lastView = 0;
    std::uint32_t m_speed = 1; // the Speed list's index; 0xFFFFFFFF for no selection
    std::uint32_t m_version = kAllVersions;
    bool m_includeEmpty = false;
    bool m_includeFull = true;
    std::string m_master = Res::kDefaultMaster; // host:port text, as typed
    std::string m_moreMasters = Res::kDefaultMoreMasters;
    std::string m_lastPlayers; // the search history's setting text
    std::string m_password;
    // The window's rectangle and splitter; on writing, none while the window is minimised,
    // which keeps the stored ones.
    std::optional<CWindowRect> m_lastPos;
    std::int32_t m_splitPos = 0; // percent of the client width; 0 = none stored
    bool m_autoClose = true;
    bool m_autoRequery = false;
    // A newcomer's first start asks the masters at once.
    std::uint32_t m_startupQuery = 2;
};

// The three main table layouts as 16-bit words, all-players, server, players-on-server.
struct CMainLayouts {
    std::vector<std::uint16_t> m_player;
    std::vector<std::uint16_t> m_server;
    std::vector<std::uint16_t> m_playerOnServer;
};

// Sets the key to the current user's "Software\Vantrel JK2", creating it, as the main window
// and the favourites dialog do first.
bool OpenSettingsKey(CRegistryKey& key);

// Reads the main window's values in its reading order: "LastPlayers", "Password", "LastPos",
// "SplitPos", "Version", "AutoClose", "AutoRequery", the two filters, "Master", "Speed",
// "LastView", "StartupQuery", "MoreMasters". The table layouts come before them
// (ReadTableLayout).
CSettings LoadMainSettings(const CRegistryKey& key);

// Writes in the destruction order: "Speed", "Version", "LastView", the two filters, "Master",
// "LastPlayers", "Password", the three layouts, then "LastPos" and "SplitPos" only when a
// rectangle is given, and "MoreMasters". A "LastPlayers" text over 254 characters is not written
// and the old history stays.
void SaveMainSettings(CRegistryKey& key, const CSettings& settings, const CMainLayouts& layouts);

// The options dialog's three values; the main window re-reads the two flags whenever the
// dialog has closed.
struct COptions {
    bool m_autoClose = true;
    bool m_autoRequery = false;
    std::uint32_t m_startupQuery = 2;
    std::uint32_t m_requerySeconds = 60; // at least 15 when read
};
COptions LoadOptions(const CRegistryKey& key);
// The dialog's "OK": "AutoClose", "AutoRequery", "StartupQuery", "AutoRequerySeconds".
void SaveOptions(CRegistryKey& key, const COptions& options);

// "JK2", the game executable, read at each join.
std::string LoadGamePath(const CRegistryKey& key);
void SaveGamePath(CRegistryKey& key, const std::string& path);

// A table layout read over the table's current words: a stored value larger than them is not
// read (the table keeps its layout), a smaller one replaces only the leading words.
void ReadTableLayout(const CRegistryKey& key, const char* name, std::vector<std::uint16_t>& words);
void WriteTableLayout(CRegistryKey& key, const char* name, const std::vector<std::uint16_t>& words);

std::optional<CWindowRect> ReadWindowRect(const CRegistryKey& key, const char* name);
// Stored normalised.
void WriteWindowRect(CRegistryKey& key, const char* name, const CWindowRect& rect);

// The main window takes a stored rectangle at least as wide as its template, and only then
// the splitter position; the favourites dialog needs one wider than its template.
bool IsMainRectApplied(const CWindowRect& rect, int templateWidth);
bool IsFavoritesRectApplied(const CWindowRect& rect, int templateWidth);

// The Version list's line for a stored "Version": 15 "1.0", 16 "1.04", 17 "All", anything else
// "1.04".
int VersionSelection(std::uint32_t version);
std::uint32_t VersionOfSelection(int selection);
// The Speed list's line for a stored "Speed"; -1 (no selection) outside the list.
int SpeedSelection(std::uint32_t speed);

// Every master, "Master" first; and the two values that store them.
std::vector<std::string> MastersOf(const CSettings& settings);
void SetMasters(CSettings& settings, const std::vector<std::string>& masters);

// The settings of this run: the stored ones with the command line's options over them.
CSettings WithCommandLine(CSettings settings, const CCommandLine& commandLine);
// What is written at the end of the run: the command line's options held for this run only,
// so the stored values go back in their place.
CSettings WithoutCommandLine(CSettings current, const CSettings& stored,
                             const CCommandLine& commandLine);
