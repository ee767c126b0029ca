// The favourites dialog's table: its three editable string columns and the row "New" adds.
#pragma once

#include "app/core/MainTables.h"

#include <array>

namespace FavoritesColumn {
inline constexpr int kName = 0, kIp = 1, kPassword = 2;
}

inline constexpr std::array<CColumnSpec, 3> kFavoritesColumns = {{
    {"Name", EColumnKind::String, 150, false},
    {"Ip", EColumnKind::String, 128, false},
    {"Password", EColumnKind::String, 0, false},
}};

inline constexpr const char* kNewFavoriteName = "New Server";
inline constexpr const char* kNewFavoriteAddress = "127.0.0.1:27960";
