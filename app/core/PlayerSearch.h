// Finding players by name in the all-players table: prefix or "*" contains mode, and which rows
// move to the top. Plain data; the window applies the result to its tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CPlayerSearch {
    std::string m_text;    // the trimmed text as typed; this goes into the history
    std::string m_pattern; // upper case, without the leading asterisk of contains mode
    bool m_contains = false;
};

// Trims white space at both ends; nothing to search when the rest is empty.
std::optional<CPlayerSearch> PreparePlayerSearch(std::string_view text);

// Upper case of both sides; a prefix match, or in contains mode a match anywhere.
bool MatchesPlayer(const CPlayerSearch& search, std::string_view playerName);

// `names` are the "Player" cells of the all-players table after it was sorted by that column.
// Returns the matching rows in ascending order. The window moves each of them to the top
// (MoveRow row -> 0) in that order: every moved row comes from below the rows visited so far,
// so the indexes stay valid, and the matches end up in reverse alphabetical order with the
// first of them in row 0 being the last match.
std::vector<int> FindRowsToMoveUp(const CPlayerSearch& search,
                                  const std::vector<std::string>& names);
