// Server and player records, the ordered server list and the game-type names.
// Threading: a record is written by the query worker from the start of a run until it is
// posted, and read by the window's thread afterwards; the list changes only while no run is on.
#pragma once

#include "net/SockAddr.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CSockUDP;

struct CPlayerInfo {
    std::string name;
    std::int32_t frags = 0;
    std::int32_t ping = 0;
};

struct CServerVariable {
    std::string key;
    std::string value;
};

// Status keys match without regard to ASCII case; lowerName is given in lower case.
bool EqualsLower(const std::string& key, std::string_view lowerName);

// One line per game type; the window builds its Type enumeration from this text.
extern const char* const kGameTypeNames;

// Name of a game type from kGameTypeNames; empty for values without a line.
std::string GameTypeName(std::int32_t gameType);

class CServerRecord {
public:
    static constexpr std::int32_t kNoPing = 9999;
    static constexpr std::uint32_t kTimeoutMs = 1200;
    static constexpr std::int32_t kStateAnswered = 999;
    // A game has at most 64 player slots; one 64 KB reply of line feeds or of \a\b pairs
    // would otherwise make tens of thousands of table rows. The rest of such a reply is ignored.
    static constexpr std::size_t kMaxPlayers = 256;
    static constexpr std::size_t kMaxVariables = 1024;

    // Without a name the record is named after its address; favourites pass both texts.
    explicit CServerRecord(const CSockAddr& address = CSockAddr());
    CServerRecord(const CSockAddr& address, std::string name, std::string password);

    // Forgets the last query's answer; name, map and password stay as they were.
    void Reset();

    std::uint32_t ElapsedMs() const;
    // Sends the first request or the one resend when it is due; true if one was sent now.
    bool TrySend(CSockUDP& socket);
    bool IsDone() const { return m_state > 2; }
    // Takes a status reply while a request is outstanding; the ping runs to when it arrived
    // (now when not given), in whole milliseconds, and is never negative.
    void OnReply(std::string_view reply);
    void OnReply(std::string_view reply, std::chrono::steady_clock::time_point arrived);
    // Players and variables past their limits are not read; the rest of the reply is ignored.
    void ParseStatus(std::string_view reply, std::size_t maxPlayers = kMaxPlayers,
                     std::size_t maxVariables = kMaxVariables);

    // The outcome of a query made into a fresh record (a refresh): its status, ping and state,
    // while this record's address, password and listing stay.
    void TakeQueryResult(const CServerRecord& fresh);

    // The value of a status variable (the last if repeated); none when the reply had none.
    const std::string* FindVariable(std::string_view lowerName) const;

    CSockAddr m_address;
    std::string m_name;
    std::string m_map;
    std::string m_password;
    std::int32_t m_gameType = 0;
    std::int32_t m_maxClients = 0;
    std::int32_t m_ping = kNoPing;
    std::vector<CPlayerInfo> m_players;
    std::vector<CServerVariable> m_variables;
    std::int64_t m_sentAt = 0;
    std::uint32_t m_timeoutMs = kTimeoutMs;
    std::int32_t m_state = 0;
    // What the masters said of the server: the protocol of the request that first listed it
    // (0 for a favourite) and every master that listed it. Written and read on the window's
    // thread only; the worker never touches them, so a later master's listing can be noted
    // while the worker queries the server.
    int m_protocol = 0;
    std::vector<CSockAddr> m_masters;
};

// Ordered by the address order; records stay at one place in memory while they are listed.
class CServerList {
public:
    using Map = std::map<CSockAddr, CServerRecord>;

    void Clear() { m_map.clear(); }
    CServerRecord* Find(const CSockAddr& address);
    // Returns the listed record of the address, inserting a fresh one if it is new.
    CServerRecord& FindOrInsert(const CSockAddr& address);
    std::size_t Size() const { return m_map.size(); }
    bool Empty() const { return m_map.empty(); }

    Map::iterator begin() { return m_map.begin(); }
    Map::iterator end() { return m_map.end(); }
    Map::const_iterator begin() const { return m_map.begin(); }
    Map::const_iterator end() const { return m_map.end(); }

private:
    Map m_map;
};
