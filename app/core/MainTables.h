// The main window's three tables without the window: their columns, the record column's keys,
// and how a finished server, a selected server and a player search change their rows. Works on
// the table interface, so the control and a bare model take the same calls.
// Threading: the window's thread only; records are read after the worker handed them over.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Tavex {
class CRow;
class CSortKeys;
class CTableInterface;
} // namespace Tavex

class CServerList;
class CServerRecord;
struct CPlayerSearch;

enum class EColumnKind { String, Int, GameType };

struct CColumnSpec {
    const char* m_title; // "" for the record column, which starts hidden for that reason
    EColumnKind m_kind;
    int m_width; // pixels; 0 = automatic
    bool m_hidden;
};

// The hidden integer column of the all-players and server tables that names the row's record.
inline constexpr int kRecordColumn = 8;

namespace AllPlayersColumn {
inline constexpr int kPlayer = 0, kServerPing = 1, kPing = 2, kFrags = 3, kServer = 4, kMap = 5,
                     kPlayers = 6, kType = 7;
}
namespace ServerColumn {
inline constexpr int kServer = 0, kType = 1, kPing = 2, kPlayers = 3, kNumPlayers = 4,
                     kMaxPlayers = 5, kMap = 6, kIp = 7, kVersion = 9;
}
namespace PlayerOnServerColumn {
inline constexpr int kPlayer = 0, kPing = 1, kFrags = 2;
}

inline constexpr std::array<CColumnSpec, 9> kAllPlayersColumns = {{
    {"Player", EColumnKind::String, 120, false},
    {"ServerPing", EColumnKind::Int, 32, false},
    {"Ping", EColumnKind::Int, 32, false},
    {"Frags", EColumnKind::Int, 36, false},
    {"Server", EColumnKind::String, 120, false},
    {"Map", EColumnKind::String, 90, false},
    {"Players", EColumnKind::String, 44, false},
    {"Type", EColumnKind::GameType, 128, false},
    {"", EColumnKind::Int, 0, true},
}};

// Columns after the record column came later; a layout stored before them still applies.
inline constexpr std::array<CColumnSpec, 10> kServerColumns = {{
    {"Server", EColumnKind::String, 120, false},
    {"Type", EColumnKind::GameType, 128, false},
    {"Ping", EColumnKind::Int, 40, false},
    {"Players", EColumnKind::String, 44, false},
    {"NumPlayers", EColumnKind::Int, 0, true},
    {"MaxPlayers", EColumnKind::Int, 0, true},
    {"Map", EColumnKind::String, 90, false},
    {"Ip", EColumnKind::String, 200, false},
    {"", EColumnKind::Int, 0, true},
    {"Version", EColumnKind::String, 48, false},
}};

inline constexpr std::array<CColumnSpec, 3> kPlayerOnServerColumns = {{
    {"Player", EColumnKind::String, 120, false},
    {"Ping", EColumnKind::Int, 32, false},
    {"Frags", EColumnKind::Int, 36, false},
}};

// The record column holds a 32-bit number, too small for a pointer here, so the records of a
// run are numbered 1..n when it starts; 0 means no record. A number from an earlier run finds
// nothing once the tables were emptied and the keys assigned anew.
class CRecordKeys {
public:
    void Assign(CServerList& list);
    // A record that joined the run later gets the next number.
    void Append(CServerRecord* record);
    void Clear();
    int KeyOf(const CServerRecord* record) const;
    CServerRecord* RecordOf(int key) const;

private:
    std::vector<CServerRecord*> m_records;
    std::unordered_map<const CServerRecord*, int> m_keys;
};

// A shown record: one row of the server table, then one row of the all-players table per
// player, from the last player to the first.
void AddRecordToTables(Tavex::CTableInterface& servers, Tavex::CTableInterface& allPlayers,
                       const CServerRecord& record, int key);
// The two halves of it: the server's cells of one server-table row, and its player rows.
void FillServerRow(Tavex::CRow& row, const CServerRecord& record, int key);
void AddPlayerRows(Tavex::CTableInterface& allPlayers, const CServerRecord& record, int key);

// The players-on-server table for a selected server (or none): emptied, then the record's
// players from the last to the first, sorted with the table's own keys.
void FillPlayersOnServer(Tavex::CTableInterface& table, const CServerRecord* record,
                         const Tavex::CSortKeys& keys);

// The search on the all-players table: sorted by "Player" ascending (the caller makes that its
// sort keys too), then every match moved to the top. Returns the number of matches; the first
// of them is row 0.
int MoveSearchMatchesUp(Tavex::CTableInterface& allPlayers, const CPlayerSearch& search);

// The rows a search makes current; -1 for none.
struct CSearchSelection {
    int m_allPlayersRow = -1;
    int m_serverRow = -1;
    int m_playerOnServerRow = -1;
};

// The whole search over the tables: the matches moved up; then, if there is one, its server's
// row in the server table, the players-on-server table filled for that server (sorted with
// `playersOnServerKeys`) and the player's row in it. Without a match nothing is selected.
CSearchSelection ApplyPlayerSearch(Tavex::CTableInterface& allPlayers,
                                   Tavex::CTableInterface& servers,
                                   Tavex::CTableInterface& playersOnServer, const CRecordKeys& keys,
                                   const CPlayerSearch& search,
                                   const Tavex::CSortKeys& playersOnServerKeys);
