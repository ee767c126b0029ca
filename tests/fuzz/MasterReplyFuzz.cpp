// libFuzzer target: any datagram parsed as a master reply, one after another into one list.
#include "query/Protocol.h"
#include "query/ServerRecord.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view datagram(reinterpret_cast<const char*>(data), size);
    CServerList list;
    int entries = ParseMasterReply(datagram, list);
    if (entries < 0 || static_cast<std::size_t>(entries) > size / 7 ||
        list.Size() > static_cast<std::size_t>(entries))
        __builtin_trap();
    // The same datagram again lists nothing new.
    std::size_t listed = list.Size();
    if (ParseMasterReply(datagram, list) != entries || list.Size() != listed)
        __builtin_trap();
    // A list at its limit takes no new server, however the datagram goes on.
    if (listed > 0) {
        CServerList capped;
        const std::size_t limit = data[size - 1] % listed;
        ParseMasterReply(datagram, capped, limit);
        if (capped.Size() != limit)
            __builtin_trap();
    }
    for (const auto& [address, record] : list)
        if (record.m_name != address.Format() || record.m_state != 0)
            __builtin_trap();
    return 0;
}
