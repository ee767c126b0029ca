// The live filter over the server table and the all-players table: the words typed into the
// filter field, each of which must match somewhere, and "Only servers with humans". It hides
// rows and changes no record; both apply on top of the empty and full filters of the query.
// Threading: the window's thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Tavex {
class CRow;
}

class CServerRecord;

struct CLiveFilter {
    // Upper case, split at white space. Only the first kMaxWords count.
    std::vector<std::string> m_words;
    bool m_onlyHumans = false;

    static constexpr std::size_t kMaxWords = 64;
    bool IsActive() const { return !m_words.empty() || m_onlyHumans; }
};

CLiveFilter MakeLiveFilter(std::string_view text, bool onlyHumans);

// The texts of a server the words are looked for in: name (without colour codes), map, game
// type, version (as its column shows it and as the server words it) and address.
std::string ServerFilterText(const CServerRecord& record);

// What the filter looks at, upper-cased once per shown record rather than once per keystroke,
// and the outcome per record of the filter applied last. Records are named by their keys in
// the record column (1..n).
class CLiveFilterIndex {
public:
    // Forgets every record; room for `records` keys, more are added as they come.
    void Reset(std::size_t records);
    void Add(int key, const CServerRecord& record);

    // A server passes when it has humans (where asked) and every word is in its texts or in
    // any of its players' names. A player's row passes when its server has humans (where
    // asked) and every word is in the server's texts or in that player's own name.
    void Apply(const CLiveFilter& filter);
    bool IsActive() const { return m_filter.IsActive(); }
    bool ServerShown(int key) const;
    bool PlayerShown(int key, std::string_view playerName) const;

    // Row tests for the tables, by their record column (and player column); null while the
    // filter is not active, which shows every row.
    std::function<bool(const Tavex::CRow&)> ServerRows() const;
    std::function<bool(const Tavex::CRow&)> PlayerRows() const;

private:
    struct CEntry {
        bool m_known = false;
        bool m_hasHumans = false;
        std::string m_server;            // upper case, texts separated by line feeds
        std::string m_players;           // upper case, one name a line
        std::uint64_t m_serverWords = 0; // words found in m_server by the last Apply
        bool m_shown = false;            // the server passed the last Apply
    };
    const CEntry* Find(int key) const;

    std::vector<CEntry> m_entries;
    CLiveFilter m_filter;
    std::uint64_t m_allWords = 0;
};
