// Reading a status reply into a record: tokens, integers, colour codes and quotes.
#include "query/ServerRecord.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

class CReplyReader {
public:
    // The reply is a zero-terminated text: a zero byte ends it.
    explicit CReplyReader(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    void Skip() { ++m_pos; }
    bool SkipPastFirst(char c) {
        std::size_t found = m_text.find(c, m_pos);
        if (found == std::string_view::npos)
            return false;
        m_pos = found + 1;
        return true;
    }
    void SkipBlanks() {
        while (Peek() == ' ')
            Skip();
    }

    // Up to the end, a line feed, or a backslash outside quotes; quotes and colour codes
    // (a caret and the character after it) are left out. The ending character stays.
    std::string ReadToken() {
        std::string token;
        bool quoted = false;
        while (!AtEnd()) {
            char c = m_text[m_pos];
            if (c == '\n' || (c == '\\' && !quoted))
                break;
            ++m_pos;
            if (c == '"')
                quoted = !quoted;
            else if (c == '^') {
                if (!AtEnd())
                    ++m_pos;
            } else
                token += c;
        }
        return token;
    }

    // Blanks, an optional minus and decimal digits; 32-bit arithmetic that wraps like the
    // game's own.
    std::int32_t ReadInteger() {
        SkipBlanks();
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            Skip();
        }
        std::uint32_t value = 0;
        while (Peek() >= '0' && Peek() <= '9') {
            value = value * 10u + static_cast<std::uint32_t>(Peek() - '0');
            Skip();
        }
        if (negative)
            value = 0u - value;
        return static_cast<std::int32_t>(value);
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// atoi as the Windows runtime has it: saturated at the 32-bit limits. Cutting a 64-bit long
// to 32 bits instead would let 4294967312 clients pass for 16.
std::int32_t AtoI(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

bool EqualsLower(const std::string& key, std::string_view lowerName) {
    if (key.size() != lowerName.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerName[i])
            return false;
    }
    return true;
}

const std::string* CServerRecord::FindVariable(std::string_view lowerName) const {
    // The last of a repeated key wins, as it does for the derived fields.
    const std::string* value = nullptr;
    for (const CServerVariable& variable : m_variables)
        if (EqualsLower(variable.key, lowerName))
            value = &variable.value;
    return value;
}

void CServerRecord::ParseStatus(std::string_view reply, std::size_t maxPlayers,
                                std::size_t maxVariables) {
    CReplyReader reader(reply);
    if (!reader.SkipPastFirst('\n'))
        return;

    while (!reader.AtEnd() && reader.Peek() != '\n') {
        if (reader.Peek() != '\\' || m_variables.size() >= maxVariables)
            return;
        reader.Skip();
        std::string key = reader.ReadToken();
        if (reader.Peek() != '\\')
            return;
        reader.Skip();
        std::string value = reader.ReadToken();
        if (EqualsLower(key, "sv_hostname"))
            m_name = value;
        else if (EqualsLower(key, "mapname"))
            m_map = value;
        else if (EqualsLower(key, "sv_maxclients"))
            m_maxClients = AtoI(value);
        else if (EqualsLower(key, "g_gametype"))
            m_gameType = AtoI(value);
        m_variables.push_back({std::move(key), std::move(value)});
    }
    if (reader.Peek() == '\n')
        reader.Skip();

    while (!reader.AtEnd() && m_players.size() < maxPlayers) {
        CPlayerInfo player;
        player.frags = reader.ReadInteger();
        player.ping = reader.ReadInteger();
        reader.SkipBlanks();
        player.name = Trim(reader.ReadToken());
        m_players.push_back(std::move(player));
        if (reader.Peek() != '\n')
            return;
        reader.Skip();
    }
}
