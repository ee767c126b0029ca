// libFuzzer target: any datagram parsed as a status reply.
#include "query/ServerRecord.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Colour codes, quotes and line feeds never survive into a parsed text.
bool Clean(const std::string& text) {
    return text.find_first_of("^\"\n") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view reply(reinterpret_cast<const char*>(data), size);
    CServerRecord record{CSockAddr()};
    record.ParseStatus(reply);
    std::size_t lineFeeds = 0;
    for (char c : reply.substr(0, reply.find('\0')))
        lineFeeds += c == '\n';
    if (lineFeeds == 0 && (!record.m_variables.empty() || !record.m_players.empty()))
        __builtin_trap();
    if (record.m_players.size() > lineFeeds ||
        record.m_players.size() > CServerRecord::kMaxPlayers ||
        record.m_variables.size() > CServerRecord::kMaxVariables)
        __builtin_trap();
    for (const CServerVariable& variable : record.m_variables)
        if (!Clean(variable.key) || !Clean(variable.value))
            __builtin_trap();
    for (const CPlayerInfo& player : record.m_players)
        if (!Clean(player.name))
            __builtin_trap();
    if (!Clean(record.m_map))
        __builtin_trap();
    return 0;
}
