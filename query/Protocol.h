// The two exchanges of the query protocol: the master request and reply, and the status request.
#pragma once

#include "net/SockAddr.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CServerList;

// Every connectionless datagram starts with four 0xFF bytes.
inline constexpr std::string_view kStatusRequest{"\xFF\xFF\xFF\xFFgetstatus\n", 15};

// Protocol number of a Version choice: 15 for "1.0", 16 for "1.04".
inline constexpr int kFirstProtocol = 15;

// The master request text without its terminating zero, which the send adds.
std::string BuildMasterRequest(int protocol);

// The most servers one master exchange lists: a hostile master or a third party could
// otherwise grow the list, and the queries sent to it, without bound.
inline constexpr std::size_t kMaxListedServers = 50000;

// What one master datagram says: the servers in the order listed (repeats kept), and whether
// it carried the end marker that masters put after their last entry.
struct CMasterReply {
    std::vector<CSockAddr> m_servers;
    bool m_endMarker = false;
};
CMasterReply ReadMasterReply(std::string_view datagram);

// Adds one record per listed address to the list (an address listed again replaces its
// record); returns the number of entries read from this datagram. An entry that would make
// the list longer than maxListed ends the datagram.
int ParseMasterReply(std::string_view datagram, CServerList& list,
                     std::size_t maxListed = kMaxListedServers);
