// libFuzzer target: any datagram parsed as a status reply with a small player limit taken from
// its first byte, against the same reply parsed without one: the limit only cuts the players.
#include "query/ServerRecord.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t limit = data[0] % 8;
    std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);
    CServerRecord full{CSockAddr()};
    full.ParseStatus(reply, SIZE_MAX, SIZE_MAX);
    CServerRecord capped{CSockAddr()};
    capped.ParseStatus(reply, limit, SIZE_MAX);

    if (capped.m_variables.size() != full.m_variables.size() ||
        capped.m_players.size() != std::min(limit, full.m_players.size()))
        __builtin_trap();
    for (std::size_t i = 0; i < capped.m_players.size(); ++i)
        if (capped.m_players[i].name != full.m_players[i].name ||
            capped.m_players[i].frags != full.m_players[i].frags ||
            capped.m_players[i].ping != full.m_players[i].ping)
            __builtin_trap();
    if (capped.m_name != full.m_name || capped.m_map != full.m_map)
        __builtin_trap();
    return 0;
}
