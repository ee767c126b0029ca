#include "net/SockAddr.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// atoi as the Windows runtime does it: decimal after optional blanks and sign,
// 0 without digits, saturated instead of undefined on overflow.
int ToInt(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

std::atomic<HostResolver> g_resolver{&ResolveWithSystem};

} // namespace

HostResolver SetHostResolver(HostResolver resolver) {
    return g_resolver.exchange(resolver ? resolver : &ResolveWithSystem);
}

bool ResolveWithSystem(const std::string& name, in_addr& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) {
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
    freeaddrinfo(result);
    return true;
}

CSockAddr::CSockAddr() : sockaddr_in{} {
    sin_family = AF_INET;
    sin_port = 0;
    sin_addr.s_addr = htonl(INADDR_ANY);
}

CSockAddr::CSockAddr(const std::string& text) : CSockAddr() {
    Parse(text);
}

void CSockAddr::Parse(const std::string& text) {
    std::string host = text;
    std::size_t separator = text.find('[');
    if (separator == std::string::npos) {
        separator = text.find(':');
    }
    if (separator != std::string::npos) {
        SetPort(ToInt(text.c_str() + separator + 1));
        host.resize(separator);
    }
    // inet_addr stops at an embedded zero byte; so does the host name.
    host.resize(std::strlen(host.c_str()));

    sin_addr.s_addr = inet_addr(host.c_str());
    if (sin_addr.s_addr == INADDR_NONE) {
        in_addr resolved{};
        if (g_resolver.load()(host, resolved)) {
            sin_addr = resolved;
        }
    }
}

std::string CSockAddr::Format() const {
    char dotted[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &sin_addr, dotted, sizeof dotted);
    return std::string(dotted) + ":" + std::to_string(GetPort());
}

int CSockAddr::GetPort() const {
    return ntohs(sin_port);
}

void CSockAddr::SetPort(int port) {
    sin_port = htons(static_cast<std::uint16_t>(static_cast<unsigned>(port) & 0xFFFFu));
}

std::uint32_t CSockAddr::AddressKey() const {
    const std::uint8_t* b = AddressBytes();
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::uint16_t CSockAddr::PortKey() const {
    const std::uint8_t* b = PortBytes();
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

bool operator<(const CSockAddr& a, const CSockAddr& b) {
    if (a.AddressKey() != b.AddressKey()) {
        return a.AddressKey() < b.AddressKey();
    }
    return a.PortKey() < b.PortKey();
}

bool operator==(const CSockAddr& a, const CSockAddr& b) {
    return a.AddressKey() == b.AddressKey() && a.PortKey() == b.PortKey();
}
