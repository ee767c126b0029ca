// The query started with the program ("StartupQuery": 0 nothing, 1 favourites, 2 master) and
// its three radio buttons in the options dialog.
#pragma once

#include <cstdint>

enum EStartupQuery : std::uint32_t {
    kStartupNothing = 0,
    kStartupFavorites = 1,
    kStartupMaster = 2,
};

// Control identifiers shared by the main window's query buttons and the options dialog's radio
// buttons: the start-up query is posted as the command of the button it stands for.
inline constexpr int kQueryMasterId = 1004;
inline constexpr int kQueryFavoritesId = 1042;
inline constexpr int kStartupNothingId = 1016;

// The command posted when the main window has initialised: 1042 "Query Favorites", 1004
// "Query Master", or 0 for nothing (also for values the options dialog never writes).
int StartupCommand(std::uint32_t startupQuery);

// The radio button the options dialog checks: 1016, 1042 or 1004; 0 checks none.
int StartupRadio(std::uint32_t startupQuery);

// The value the options dialog writes on "OK": 0, then 1 if "favorites" is checked, then 2 if
// "master" is checked, the last that applies winning.
std::uint32_t StartupQueryOfRadios(bool favoritesChecked, bool masterChecked);
