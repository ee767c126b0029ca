#include "resources/DialogTemplates.h"

#include "resources/MasterServer.h"
#include "resources/ResourceIds.h"

namespace Res {

using Platform::DialogItem;
using Kind = Platform::DialogItem::Kind;

namespace {

constexpr unsigned kShown = Platform::WS_VISIBLE;
constexpr unsigned kStop = Platform::WS_VISIBLE | Platform::WS_TABSTOP;
// Frames only mark a region for the layout; nobody sees them.
constexpr unsigned kHidden = 0;

DialogItem Item(Kind kind, unsigned id, const char* text, Platform::Rect units,
                unsigned style = kStop) {
    return DialogItem{kind, id, text, units, style};
}

DialogItem Label(const char* text, Platform::Rect units) {
    return Item(Kind::Static, 0xFFFF, text, units, kShown);
}

} // namespace

Platform::DialogTemplate MainDialogTemplate() {
    using namespace Platform;
    Platform::DialogTemplate t;
    t.caption = "Vantrel Jedi Knight 2";
    t.units = {422, 272};
    t.items = {
        // The tab control first, so the tables lie above it.
        Item(Kind::Tab, IDC_VIEW_TABS, "", {5, 5, 300, 240}),
        Item(Kind::Placeholder, IDC_ALL_PLAYERS, "", {11, 24, 294, 234}),
        Item(Kind::Placeholder, IDC_SERVERS, "", {11, 24, 180, 234}),
        Item(Kind::Placeholder, IDC_SPLITTER, "", {180, 24, 186, 234}, kShown),
        Item(Kind::Placeholder, IDC_PLAYERS_ON_SERVER, "", {186, 24, 294, 234}),

        // Query options, top right.
        Item(Kind::Static, IDC_FRAME_QUERY, "", {303, 2, 420, 120}, kHidden),
        Item(Kind::GroupBox, 0xFFFF, "Query Server Options", {306, 4, 417, 118}, kShown),
        Label("Version:", {312, 18, 344, 27}),
        Item(Kind::ComboBox, IDC_VERSION, "", {346, 16, 411, 28}, kStop | CBS_DROPDOWNLIST),
        Label("Speed:", {312, 33, 344, 42}),
        Item(Kind::ComboBox, IDC_SPEED, "", {346, 31, 411, 43}, kStop | CBS_DROPDOWN),
        Item(Kind::CheckBox, IDC_INCLUDE_EMPTY, "Include empty servers", {312, 47, 412, 57}),
        Item(Kind::CheckBox, IDC_INCLUDE_FULL, "Include full servers", {312, 59, 412, 69}),
        Item(Kind::PushButton, IDC_QUERY_MASTER, "Query Master", {311, 75, 363, 89}),
        Item(Kind::PushButton, IDC_REFRESH, "Refresh", {364, 75, 396, 89}),
        Item(Kind::PushButton, IDC_MASTER_DIALOG, "...", {397, 75, 411, 89}),
        Item(Kind::PushButton, IDC_QUERY_FAVORITES, "Query Favorites", {312, 95, 392, 109}),
        Item(Kind::PushButton, IDC_FAVORITES_DIALOG, "...", {395, 95, 411, 109}),

        // Player search, right, taking the height the window grows by.
        Item(Kind::GroupBox, IDC_SEARCH_GROUP, "Search for player", {306, 122, 417, 200}, kShown),
        Item(Kind::ComboBox, IDC_SEARCH_FIELD, "", {312, 134, 411, 180},
             kStop | CBS_SIMPLE | CBS_SORT),
        Item(Kind::DefPushButton, IDC_SEARCH, "Search", {312, 183, 360, 196}),
        Item(Kind::PushButton, IDC_DELETE_HISTORY, "Del", {363, 183, 411, 196}),

        // Password, joining and the window's own buttons, bottom right.
        Item(Kind::Static, IDC_FRAME_JOIN, "", {303, 202, 420, 272}, kHidden),
        Label("Pwd:", {307, 207, 327, 216}),
        Item(Kind::Edit, IDC_PASSWORD, "", {329, 205, 417, 217}, kStop | ES_AUTOHSCROLL),
        Item(Kind::PushButton, IDC_JOIN, "Join", {306, 221, 395, 236}),
        Item(Kind::PushButton, IDC_CHOOSE_GAME, "...", {398, 221, 417, 236}),
        Item(Kind::PushButton, IDC_OPTIONS, "Options ...", {306, 240, 360, 254}),
        Item(Kind::PushButton, Platform::IDCANCEL, "Close", {363, 240, 417, 254}),
        // Two lines, for the masters that did not answer.
        Item(Kind::Static, IDC_MASTER_STATUS, "Browse, find, join.", {306, 256, 417, 272}, kShown),

        // Counters and credits, bottom left.
        Item(Kind::Static, IDC_FRAME_COUNTERS, "", {3, 242, 301, 255}, kHidden),
        Label("Servers:", {6, 245, 36, 254}),
        Item(Kind::Static, IDC_SERVER_COUNT, "0", {37, 245, 62, 254}, kShown),
        Label("Players:", {65, 245, 94, 254}),
        Item(Kind::Static, IDC_PLAYER_COUNT, "0", {95, 245, 122, 254}, kShown),
        Label("Servers to Query:", {125, 245, 187, 254}),
        Item(Kind::Static, IDC_SERVERS_TO_QUERY, "0", {188, 245, 210, 254}, kShown),
        Item(Kind::Static, IDC_PRODUCT_LINK, "Vantrel", {216, 245, 244, 254}, kStop),
        Item(Kind::Static, IDC_AUTHOR_LINK, "Vantrel team", {248, 245, 300, 254}, kStop),
        Item(Kind::Progress, IDC_PROGRESS, "", {5, 257, 300, 267}, kShown),
    };
    return t;
}

Platform::DialogTemplate OptionsDialogTemplate() {
    Platform::DialogTemplate t;
    t.caption = "Options ...";
    t.units = {210, 87};
    t.items = {
        Item(Kind::CheckBox, IDC_AUTO_CLOSE, "Close after joining", {7, 7, 146, 17}),
        Item(Kind::CheckBox, IDC_AUTO_REQUERY, "Requery server data in background ",
             {7, 20, 146, 30}),
        Item(Kind::GroupBox, 0xFFFF, "Start up query", {7, 35, 146, 80}, kShown),
        Item(Kind::RadioButton, IDC_STARTUP_NOTHING, "nothing", {14, 46, 130, 55},
             kStop | Platform::WS_GROUP),
        Item(Kind::RadioButton, IDC_STARTUP_FAVORITES, "favorites", {14, 57, 130, 66}),
        Item(Kind::RadioButton, IDC_STARTUP_MASTER, "master", {14, 68, 130, 77}),
        Item(Kind::DefPushButton, Platform::IDOK, "OK", {153, 7, 203, 21}),
        Item(Kind::PushButton, Platform::IDCANCEL, "Cancel", {153, 24, 203, 38}),
        Label("Requery every (seconds):", {153, 42, 205, 59}),
        Item(Kind::Edit, IDC_REQUERY_SECONDS, "", {153, 61, 203, 73},
             kStop | Platform::ES_AUTOHSCROLL),
    };
    return t;
}

Platform::DialogTemplate MasterServerDialogTemplate() {
    Platform::DialogTemplate t;
    t.caption = "Master Server ...";
    t.units = {196, 76};
    t.items = {
        // Two lines: the default address follows the sentence.
        Item(Kind::Static, 0xFFFF, kMasterDialogLabel, {7, 5, 189, 22}, kShown),
        Item(Kind::Edit, IDC_MASTER_ADDRESS, "", {7, 25, 127, 37},
             kStop | Platform::ES_AUTOHSCROLL),
        Item(Kind::DefPushButton, Platform::IDOK, "OK", {132, 24, 160, 38}),
        Item(Kind::PushButton, Platform::IDCANCEL, "Cancel", {162, 24, 190, 38}),
        Item(Kind::Static, 0xFFFF, kMoreMastersLabel, {7, 44, 189, 53}, kShown),
        Item(Kind::Edit, IDC_MORE_MASTERS, "", {7, 55, 189, 67}, kStop | Platform::ES_AUTOHSCROLL),
    };
    return t;
}

Platform::DialogTemplate ServerInfoDialogTemplate() {
    Platform::DialogTemplate t;
    t.caption = "Server Info";
    t.units = {221, 201};
    t.items = {
        Item(Kind::Placeholder, IDC_VARIABLES, "", {5, 5, 216, 182}),
        Item(Kind::PushButton, Platform::IDCANCEL, "Close", {166, 185, 216, 198}),
    };
    return t;
}

Platform::DialogTemplate FavoritesDialogTemplate() {
    Platform::DialogTemplate t;
    t.caption = "Favorites ...";
    t.units = {234, 161};
    t.items = {
        Item(Kind::Placeholder, IDC_FAVORITES_TABLE, "", {5, 6, 229, 137}),
        Item(Kind::PushButton, IDC_NEW_FAVORITE, "New", {5, 142, 55, 156}),
        Item(Kind::PushButton, IDC_DELETE_FAVORITE, "Delete", {59, 142, 109, 156}),
        Item(Kind::DefPushButton, Platform::IDOK, "OK", {125, 142, 175, 156}),
        Item(Kind::PushButton, Platform::IDCANCEL, "Cancel", {179, 142, 229, 156}),
    };
    return t;
}

} // namespace Res
