#include "net/SockUDP.h"

#include "net/SockErr.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr socklen_t kAddrLen = sizeof(sockaddr_in);

// Latin-1 text; split so that the escape does not swallow the following hex letter.
constexpr const char* kSizeConflict = "CSockUDP::Receive: CSockAddr Gr\xF6\xDF"
                                      "enkonflikt!";

// The system stamps with the calendar clock; the stamp becomes a point of the monotonic clock
// by its distance from now. Without a stamp the datagram counts as arriving now.
std::chrono::steady_clock::time_point ArrivalTime(msghdr& message, bool received) {
    const auto now = std::chrono::steady_clock::now();
    if (!received) {
        return now;
    }
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS) {
            continue;
        }
        timespec stamp{};
        std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
        const auto waited =
            std::chrono::system_clock::now().time_since_epoch() -
            (std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec));
        if (waited > std::chrono::system_clock::duration::zero()) {
            return now - std::chrono::duration_cast<std::chrono::steady_clock::duration>(waited);
        }
        return now;
    }
    return now;
}

} // namespace

CSockUDP::CSockUDP() = default;

CSockUDP::~CSockUDP() {
    Close();
}

void CSockUDP::Open(const CSockAddr& local) {
    Close();
    m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_socket == -1) {
        throw CSockErr();
    }
    const int flags = fcntl(m_socket, F_GETFL);
    if (flags == -1 || fcntl(m_socket, F_SETFL, flags | O_NONBLOCK) == -1) {
        throw CSockErr();
    }
    if (bind(m_socket, reinterpret_cast<const sockaddr*>(&local), kAddrLen) == -1) {
        throw CSockErr();
    }
}

void CSockUDP::Close() {
    if (m_socket != -1) {
        shutdown(m_socket, SHUT_RDWR);
        close(m_socket);
        m_socket = -1;
    }
}

void CSockUDP::EnableArrivalTimes() {
    const int on = 1;
    if (m_socket == -1) {
        throw CSockErr(WSAENOTSOCK);
    }
    if (setsockopt(m_socket, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) == -1) {
        throw CSockErr();
    }
}

CSockAddr CSockUDP::GetLocalAddress() const {
    CSockAddr local;
    socklen_t length = kAddrLen;
    if (m_socket == -1) {
        throw CSockErr(WSAENOTSOCK);
    }
    if (getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &length) == -1) {
        throw CSockErr();
    }
    return local;
}

WSANETWORKEVENTS CSockUDP::GetNetworkEvents() {
    WSANETWORKEVENTS events;
    if (m_socket == -1) {
        throw CSockErr(WSAENOTSOCK);
    }
    pollfd fd{m_socket, POLLIN, 0};
    int ready = 0;
    while ((ready = poll(&fd, 1, 0)) < 0 && errno == EINTR) {
    }
    if (ready < 0) {
        throw CSockErr();
    }
    if (fd.revents & POLLNVAL) {
        throw CSockErr(WSAENOTSOCK);
    }
    // A pending error counts as readable: the receive reports and clears it, where ignoring
    // it would wake the waiter again at once, forever.
    if (fd.revents & (POLLIN | POLLERR)) {
        events.lNetworkEvents |= FD_READ;
    }
    return events;
}

int CSockUDP::Send(const void* data, int& length, const CSockAddr& to) {
    if (length < 0) {
        length = 0;
        return WSAEFAULT;
    }
    const ssize_t sent = sendto(m_socket, data, static_cast<std::size_t>(length), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&to), kAddrLen);
    if (sent < 0) {
        length = 0;
        return m_socket == -1 ? WSAENOTSOCK : GetLastSockError();
    }
    length = static_cast<int>(sent);
    return 0;
}

int CSockUDP::Send(const std::string& text, const CSockAddr& to) {
    int length = static_cast<int>(text.size()) + 1;
    return Send(text.c_str(), length, to);
}

int CSockUDP::Receive(void* buffer, int& size, CSockAddr& from) {
    return ReceiveInto(buffer, size, &from);
}

int CSockUDP::Receive(void* buffer, int& size) {
    return ReceiveInto(buffer, size, nullptr);
}

int CSockUDP::ReceiveInto(void* buffer, int& size, CSockAddr* from,
                          std::chrono::steady_clock::time_point* arrived) {
    iovec part{buffer, static_cast<std::size_t>(size < 0 ? 0 : size)};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (from) {
        message.msg_name = from;
        message.msg_namelen = kAddrLen;
    }
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    if (arrived) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
    }
    ssize_t received = 0;
    while ((received = recvmsg(m_socket, &message, 0)) < 0 && errno == EINTR) {
    }
    if (arrived) {
        *arrived = ArrivalTime(message, received >= 0);
    }
    if (from && received >= 0 && message.msg_namelen != kAddrLen) {
        throw CError(kSizeConflict);
    }
    if (received < 0) {
        size = 0;
        return m_socket == -1 ? WSAENOTSOCK : GetLastSockError();
    }
    if (message.msg_flags & MSG_TRUNC) {
        return WSAEMSGSIZE;
    }
    size = static_cast<int>(received);
    return 0;
}

int CSockUDP::Receive(std::string& text, CSockAddr& from) {
    return ReceiveText(text, &from);
}

int CSockUDP::Receive(std::string& text) {
    return ReceiveText(text, nullptr);
}

int CSockUDP::Receive(std::string& text, CSockAddr& from,
                      std::chrono::steady_clock::time_point& arrived) {
    return ReceiveText(text, &from, &arrived);
}

int CSockUDP::ReceiveText(std::string& text, CSockAddr* from,
                          std::chrono::steady_clock::time_point* arrived) {
    if (arrived) {
        *arrived = std::chrono::steady_clock::now();
    }
    int pending = 0;
    if (m_socket == -1) {
        text.clear();
        return WSAENOTSOCK;
    }
    if (ioctl(m_socket, FIONREAD, &pending) == -1) {
        const int error = GetLastSockError();
        text.clear();
        return error;
    }
    text.resize(static_cast<std::size_t>(pending));
    int size = pending;
    const int error = ReceiveInto(text.data(), size, from, arrived);
    text.resize(static_cast<std::size_t>(size));
    return error;
}
