// The stand-in for the name servers that every test program installs before its tests run:
// names come from /etc/hosts alone (localhost among them), and every other name is unknown, so
// no test ever asks a name server.
#pragma once

#include <netinet/in.h>

#include <string>

namespace TestSupport {

// The first IPv4 address /etc/hosts gives the name (compared without case), or false.
bool ResolveFromHostsFile(const std::string& name, in_addr& address);

} // namespace TestSupport
