// libFuzzer target: any datagram parsed as a status reply with a small variable limit taken
// from its first byte, against the same reply parsed without one: the limit cuts the
// variables, and a reply with more than the limit loses its players too.
#include "query/ServerRecord.h"

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
    capped.ParseStatus(reply, SIZE_MAX, limit);

    const bool over = full.m_variables.size() > limit;
    if (capped.m_variables.size() != (over ? limit : full.m_variables.size()) ||
        capped.m_players.size() != (over ? 0 : full.m_players.size()))
        __builtin_trap();
    for (std::size_t i = 0; i < capped.m_variables.size(); ++i)
        if (capped.m_variables[i].key != full.m_variables[i].key ||
            capped.m_variables[i].value != full.m_variables[i].value)
            __builtin_trap();
    return 0;
}
