#include "tests/support/resolver/HostsFileResolver.h"

#include "net/SockAddr.h"

#include <arpa/inet.h>
#include <strings.h>

#include <fstream>
#include <sstream>

namespace TestSupport {

bool ResolveFromHostsFile(const std::string& name, in_addr& address) {
    std::ifstream hosts("/etc/hosts");
    std::string line;
    while (std::getline(hosts, line)) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string dotted;
        in_addr parsed{};
        if (!(fields >> dotted) || inet_pton(AF_INET, dotted.c_str(), &parsed) != 1)
            continue;
        for (std::string alias; fields >> alias;)
            if (strcasecmp(alias.c_str(), name.c_str()) == 0) {
                address = parsed;
                return true;
            }
    }
    return false;
}

namespace {

// Installed during static initialisation, before main and so before any test runs.
const HostResolver g_replaced = SetHostResolver(&ResolveFromHostsFile);

} // namespace

} // namespace TestSupport
