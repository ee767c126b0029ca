// IPv4 socket address: the platform's sockaddr_in itself, parsed from "host:port" text with
// name resolution, printed as "%s:%i" and ordered so that it can key the server list.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>

class CSockAddr : public sockaddr_in {
public:
    CSockAddr();
    explicit CSockAddr(const std::string& text);

    // Sets the address and, when the text names one after "[" or ":", the port. An unusable
    // text leaves the address 255.255.255.255. May block in name resolution.
    void Parse(const std::string& text);

    std::string Format() const;

    int GetPort() const;
    void SetPort(int port);

    // The four address bytes and the two port bytes in network order, as they sit in memory;
    // the master reply carries them in exactly this form.
    std::uint8_t* AddressBytes() { return reinterpret_cast<std::uint8_t*>(&sin_addr); }
    const std::uint8_t* AddressBytes() const {
        return reinterpret_cast<const std::uint8_t*>(&sin_addr);
    }
    std::uint8_t* PortBytes() { return reinterpret_cast<std::uint8_t*>(&sin_port); }
    const std::uint8_t* PortBytes() const {
        return reinterpret_cast<const std::uint8_t*>(&sin_port);
    }

    // Keys of the ordering: the bytes in memory order read as a little-endian number, so the
    // fourth octet and the port's low byte decide first.
    std::uint32_t AddressKey() const;
    std::uint16_t PortKey() const;
};

static_assert(sizeof(CSockAddr) == 16);

// Looks a host name up: its first IPv4 address (network order), or false. Every name that
// Parse resolves goes through the one installed here, so tests can put a stand-in in place of
// the name servers.
using HostResolver = bool (*)(const std::string& name, in_addr& address);
// Installs resolver (nullptr: the system's) and returns the one it replaces.
HostResolver SetHostResolver(HostResolver resolver);
// The system's resolver, which may ask name servers on the network.
bool ResolveWithSystem(const std::string& name, in_addr& address);

bool operator<(const CSockAddr& a, const CSockAddr& b);
bool operator==(const CSockAddr& a, const CSockAddr& b);
