// Non-blocking UDP socket whose readiness is waited on through GetEvent together with other
// wait objects; one datagram per send or receive. Used by one thread only.
#pragma once

#include "net/SockAddr.h"
#include "net/SysEvent.h"

#include <chrono>
#include <string>

// Only readability is ever reported: a socket would be writable at nearly every wake-up and a
// caller that resends on any event would loop.
constexpr long FD_READ = 1;
constexpr long FD_WRITE = 2;
constexpr int FD_MAX_EVENTS = 10;

struct WSANETWORKEVENTS {
    long lNetworkEvents = 0;
    int iErrorCode[FD_MAX_EVENTS] = {};
};

class CSockUDP {
public:
    CSockUDP();
    ~CSockUDP();
    CSockUDP(const CSockUDP&) = delete;
    CSockUDP& operator=(const CSockUDP&) = delete;

    // Creates, makes non-blocking and binds the socket; throws CSockErr on failure. A socket
    // that was open is closed first.
    void Open(const CSockAddr& local = CSockAddr());
    void Close();
    bool IsOpen() const { return m_socket != -1; }
    // Has the system stamp each datagram with the time it arrived, for the Receive that
    // reports it; throws CSockErr when the socket cannot.
    void EnableArrivalTimes();
    // The bound address, with the port the platform chose; throws CSockErr when closed.
    CSockAddr GetLocalAddress() const;

    // Signalled while a datagram (or a pending error) waits to be read.
    CWaitable& GetEvent() { return m_event; }
    // FD_READ while the socket is readable; throws CSockErr on a closed socket.
    WSANETWORKEVENTS GetNetworkEvents();
    static bool HasEvent(const WSANETWORKEVENTS& events, long mask) {
        return (events.lNetworkEvents & mask) != 0;
    }

    // All return a Winsock error number, 0 on success.
    // length: in the bytes to send, out the bytes sent (0 on failure).
    int Send(const void* data, int& length, const CSockAddr& to);
    // The text and its terminating zero byte.
    int Send(const std::string& text, const CSockAddr& to);
    // size: in the buffer's capacity, out the bytes received; 0 after an error except
    // WSAEMSGSIZE, where it is unchanged and the buffer holds the datagram's first part.
    int Receive(void* buffer, int& size, CSockAddr& from);
    int Receive(void* buffer, int& size);
    // One whole datagram of any size, bytes unchanged; empty after an error.
    int Receive(std::string& text, CSockAddr& from);
    int Receive(std::string& text);
    // The same, and when the datagram arrived: the system's stamp, so the time it waited to be
    // read does not count, or the time of reading when it carries none.
    int Receive(std::string& text, CSockAddr& from, std::chrono::steady_clock::time_point& arrived);

private:
    class CReadiness final : public CWaitable {
    public:
        explicit CReadiness(const int& socket) : m_socket(socket) {}
        int GetFd() const override { return m_socket; }
        // Level-triggered: the signal lasts until the datagram is read.
        bool Consume() override { return true; }

    private:
        const int& m_socket;
    };

    int ReceiveInto(void* buffer, int& size, CSockAddr* from,
                    std::chrono::steady_clock::time_point* arrived = nullptr);
    int ReceiveText(std::string& text, CSockAddr* from,
                    std::chrono::steady_clock::time_point* arrived = nullptr);

    int m_socket = -1;
    CReadiness m_event{m_socket};
};
