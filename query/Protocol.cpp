#include "query/Protocol.h"

#include "query/ServerRecord.h"

#include <cstring>

std::string BuildMasterRequest(int protocol) {
    return "\xFF\xFF\xFF\xFFgetservers " + std::to_string(protocol) + " full empty";
}

CMasterReply ReadMasterReply(std::string_view datagram) {
    constexpr std::size_t kEntrySize = 7;
    CMasterReply reply;
    std::size_t header = datagram.substr(0, datagram.find('\0')).find('\\');
    if (header == std::string_view::npos)
        return reply;
    for (std::size_t pos = header; pos < datagram.size(); pos += kEntrySize) {
        std::string_view rest = datagram.substr(pos);
        if (rest.starts_with("\\EOT")) {
            reply.m_endMarker = true;
            break;
        }
        if (rest[0] == '\0' || rest.size() < kEntrySize)
            break;
        CSockAddr address;
        std::memcpy(address.AddressBytes(), rest.data() + 1, 4); // network order as sent
        std::memcpy(address.PortBytes(), rest.data() + 5, 2);
        reply.m_servers.push_back(address);
    }
    return reply;
}

int ParseMasterReply(std::string_view datagram, CServerList& list, std::size_t maxListed) {
    int entries = 0;
    for (const CSockAddr& address : ReadMasterReply(datagram).m_servers) {
        if (list.Size() >= maxListed && list.Find(address) == nullptr)
            break;
        list.FindOrInsert(address) = CServerRecord(address);
        ++entries;
    }
    return entries;
}
