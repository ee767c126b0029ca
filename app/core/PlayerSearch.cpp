#include "app/core/PlayerSearch.h"

#include "app/core/TextTrim.h"
#include "platform/Text.h"

std::optional<CPlayerSearch> PreparePlayerSearch(std::string_view text) {
    // The text goes into the history, which is saved one item a line.
    std::string oneLine(text);
    for (char& c : oneLine) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    std::string_view trimmed = TrimBlanks(oneLine);
    if (trimmed.empty())
        return std::nullopt;
    CPlayerSearch search;
    search.m_text = std::string(trimmed);
    // Only one leading asterisk is special; any other character is searched for as it is.
    if (trimmed.front() == '*') {
        search.m_contains = true;
        trimmed.remove_prefix(1);
    }
    search.m_pattern = Platform::ToUpper(trimmed);
    return search;
}

bool MatchesPlayer(const CPlayerSearch& search, std::string_view playerName) {
    std::string name = Platform::ToUpper(playerName);
    if (!search.m_contains)
        return Platform::HasPrefixNoCase(name, search.m_pattern);
    return name.find(search.m_pattern) != std::string::npos;
}
