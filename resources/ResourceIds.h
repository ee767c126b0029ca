// Identifiers of the browser's dialog templates, their controls and the application icon.
#pragma once

namespace Res {

// Templates and icon.
inline constexpr unsigned IDD_MAIN = 102;
inline constexpr unsigned IDD_FAVORITES = 131;
inline constexpr unsigned IDD_SERVER_INFO = 133;
inline constexpr unsigned IDD_MASTER_SERVER = 135;
inline constexpr unsigned IDD_OPTIONS = 136;
inline constexpr unsigned IDI_APP = 128;

// Main window.
inline constexpr unsigned IDC_QUERY_MASTER = 1004;
inline constexpr unsigned IDC_PLAYERS_ON_SERVER = 1009;
inline constexpr unsigned IDC_SEARCH_FIELD = 1010;
inline constexpr unsigned IDC_ALL_PLAYERS = 1011;
inline constexpr unsigned IDC_SERVERS = 1012;
inline constexpr unsigned IDC_SERVERS_TO_QUERY = 1017;
inline constexpr unsigned IDC_JOIN = 1018;
inline constexpr unsigned IDC_SEARCH = 1019;
inline constexpr unsigned IDC_AUTHOR_LINK = 1020;
inline constexpr unsigned IDC_PLAYER_COUNT = 1021;
inline constexpr unsigned IDC_INCLUDE_EMPTY = 1022;
inline constexpr unsigned IDC_VIEW_TABS = 1023;
inline constexpr unsigned IDC_SPEED = 1024;
inline constexpr unsigned IDC_PROGRESS = 1025;
inline constexpr unsigned IDC_SERVER_COUNT = 1027;
inline constexpr unsigned IDC_FRAME_QUERY = 1028;
inline constexpr unsigned IDC_FRAME_COUNTERS = 1029;
inline constexpr unsigned IDC_SPLITTER = 1030;
inline constexpr unsigned IDC_FRAME_JOIN = 1031;
inline constexpr unsigned IDC_DELETE_HISTORY = 1032;
inline constexpr unsigned IDC_PRODUCT_LINK = 1033;
inline constexpr unsigned IDC_SEARCH_GROUP = 1035;
inline constexpr unsigned IDC_VERSION = 1036;
inline constexpr unsigned IDC_PASSWORD = 1041;
inline constexpr unsigned IDC_QUERY_FAVORITES = 1042;
inline constexpr unsigned IDC_FAVORITES_DIALOG = 1044;
inline constexpr unsigned IDC_MASTER_DIALOG = 1045;
inline constexpr unsigned IDC_CHOOSE_GAME = 1046;
inline constexpr unsigned IDC_INCLUDE_FULL = 1047;
inline constexpr unsigned IDC_OPTIONS = 1049;
// The line under the window's buttons: how the masters of the last query answered.
inline constexpr unsigned IDC_MASTER_STATUS = 1100;
// Queries the listed servers again without asking the masters.
inline constexpr unsigned IDC_REFRESH = 1102;

// Options dialog.
inline constexpr unsigned IDC_AUTO_CLOSE = 1050;
inline constexpr unsigned IDC_AUTO_REQUERY = 1052;
inline constexpr unsigned IDC_STARTUP_NOTHING = 1016;
inline constexpr unsigned IDC_STARTUP_FAVORITES = 1042;
inline constexpr unsigned IDC_STARTUP_MASTER = 1004;
inline constexpr unsigned IDC_REQUERY_SECONDS = 1103;

// Favourites dialog.
inline constexpr unsigned IDC_FAVORITES_TABLE = 1044;
inline constexpr unsigned IDC_NEW_FAVORITE = 1018;
inline constexpr unsigned IDC_DELETE_FAVORITE = 1019;

// Master-server dialog.
inline constexpr unsigned IDC_MASTER_ADDRESS = 1046;
inline constexpr unsigned IDC_MORE_MASTERS = 1101;

// Server info dialog.
inline constexpr unsigned IDC_VARIABLES = 1009;

} // namespace Res
