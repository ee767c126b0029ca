// Finding players by name: prefix mode, or contains mode after a leading "*", case ignored
// through the code page's upper case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct CPlayerSearch {
    std::string m_text;    // the trimmed text as typed; this goes into the history
    std::string m_pattern; // upper case, without the leading asterisk of contains mode
    bool m_contains = false;
};

// Line ends become blanks, then white space at both ends is trimmed; nothing to search when
// the rest is empty.
std::optional<CPlayerSearch> PreparePlayerSearch(std::string_view text);

// Upper case of both sides; a prefix match, or in contains mode a match anywhere.
bool MatchesPlayer(const CPlayerSearch& search, std::string_view playerName);
