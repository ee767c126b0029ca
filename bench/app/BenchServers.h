// The large run both finished-server benchmarks replay, and the thread clock they report.
#pragma once

#include "net/SockAddr.h"
#include "query/ServerRecord.h"

#include <arpa/inet.h>
#include <ctime>

#include <cstdint>
#include <string>

inline double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// 2,000 servers with 8 players each, in the given state; names vary so that sorting has work
// to do.
inline void FillList(CServerList& list, int state) {
    for (int i = 0; i < 2000; ++i) {
        CSockAddr address;
        address.sin_addr.s_addr = htonl(0x0A000000u + static_cast<std::uint32_t>(i));
        address.SetPort(27960);
        CServerRecord& record = list.FindOrInsert(address);
        record.m_name = "Server " + std::to_string((i * 7919) % 2000);
        record.m_map = "ffa_map" + std::to_string(i % 13);
        record.m_maxClients = 16;
        record.m_ping = (i * 37) % 400;
        record.m_state = state;
        for (int p = 0; p < 8; ++p) {
            int n = (i * 8 + p) * 104729 % 16000;
            record.m_players.push_back({"Player" + std::to_string(n), n % 50, n % 300});
        }
    }
}
