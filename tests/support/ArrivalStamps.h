// Test helper: waits until the system stamps datagrams as they arrive. It turns its stamping on
// a moment after the first socket asks for it; until then a datagram is stamped when it is read,
// which makes any measured wait look like network time.
#pragma once

#include "net/SockAddr.h"
#include "net/SockUDP.h"

#include <chrono>
#include <string>
#include <thread>

namespace TestSupport {

// receiver has arrival times enabled. True once a datagram kept its arrival time.
inline bool AwaitArrivalStamps(CSockUDP& receiver) {
    using namespace std::chrono_literals;
    CSockUDP sender;
    sender.Open(CSockAddr("127.0.0.1:0"));
    const CSockAddr to = receiver.GetLocalAddress();
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (sender.Send("w", to) != 0 ||
            WaitForSingleObject(receiver.GetEvent(), 5000) != WAIT_OBJECT_0)
            return false;
        std::this_thread::sleep_for(10ms);
        std::string text;
        CSockAddr from;
        std::chrono::steady_clock::time_point arrived;
        if (receiver.Receive(text, from, arrived) != 0)
            return false;
        if (std::chrono::steady_clock::now() - arrived >= 5ms)
            return true;
    }
    return false;
}

} // namespace TestSupport
