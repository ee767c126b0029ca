#include "tools/TestNet.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kMarker = "\xFF\xFF\xFF\xFF";

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

int BindLoopback(std::uint16_t port) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    sockaddr_in address = Loopback(port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        int err = errno;
        close(fd);
        throw std::runtime_error("cannot bind 127.0.0.1:" + std::to_string(port) + ": " +
                                 std::strerror(err));
    }
    return fd;
}

std::uint16_t BoundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

void SendTo(int fd, std::string_view data, std::uint32_t address, std::uint16_t port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = port;
    sendto(fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

// Replies a parser must survive without crashing or looping; picked by the server's index.
std::string MalformedReply(int index) {
    static const std::string kReplies[] = {
        std::string(kMarker) + "statusResponse without any line feed \\sv_hostname\\x",
        std::string(kMarker) + "statusResponse\n\\sv_hostname\\^",
        std::string(kMarker) + "statusResponse\n\\sv_hostname\\\"open quote\\mapname\n1 2 \"^",
        std::string(kMarker) + "statusResponse\n\\onlykey\n-\n 99999999999 -",
        std::string("\0\0\0\n\\a\\b\n", 10),
        std::string(kMarker) + "statusResponse\n" + std::string(3000, '\\') + "\n" +
            std::string(2000, '^'),
    };
    return kReplies[static_cast<std::size_t>(index) % std::size(kReplies)];
}

} // namespace

std::string CTestNet::BuildStatusReply(const CTestServer& server) {
    std::string reply = std::string(kMarker) + "statusResponse\n";
    auto variable = [&reply](const std::string& key, const std::string& value) {
        reply += '\\' + key + '\\' + value;
    };
    variable("sv_hostname", server.name);
    variable("mapname", server.map);
    variable("sv_maxclients", std::to_string(server.maxClients));
    variable("g_gametype", std::to_string(server.gameType));
    for (const auto& [key, value] : server.variables)
        variable(key, value);
    reply += '\n';
    for (const CTestPlayer& player : server.players)
        reply += std::to_string(player.frags) + ' ' + std::to_string(player.ping) + " \"" +
                 player.name + "\"\n";
    return reply;
}

CTestNet::CTestNet(CTestNetConfig config) : m_config(std::move(config)) {}

CTestNet::~CTestNet() {
    Stop();
}

void CTestNet::Start() {
    try {
        m_sockets.push_back(BindLoopback(m_config.masterPort));
        m_masterPort = BoundPort(m_sockets[0]);
        for (std::size_t i = 0; i < m_config.servers.size(); ++i) {
            std::uint16_t port = 0;
            if (m_config.masterPort != 0) {
                if (m_config.masterPort + i + 1 > 65535)
                    throw std::runtime_error("too many servers for the ports after the master");
                port = static_cast<std::uint16_t>(m_config.masterPort + i + 1);
            }
            m_sockets.push_back(BindLoopback(port));
            m_ports.push_back(BoundPort(m_sockets.back()));
        }
        m_wrongPortSocket = BindLoopback(0);
        if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
            throw std::runtime_error("pipe failed");
    } catch (...) {
        Stop();
        throw;
    }
    m_askers.assign(m_config.servers.size(), {});
    m_thread = std::thread(&CTestNet::Run, this);
}

void CTestNet::Stop() {
    if (m_thread.joinable()) {
        char stop = 1;
        [[maybe_unused]] ssize_t written = write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : m_sockets)
        close(fd);
    m_sockets.clear();
    for (int& fd : {std::ref(m_wrongPortSocket), std::ref(m_wake[0]), std::ref(m_wake[1])}) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

std::vector<CTestNet::CRequest> CTestNet::GetRequests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::vector<std::chrono::nanoseconds> CTestNet::GetReplyLateness() const {
    std::lock_guard lock(m_mutex);
    return m_lateness;
}

void CTestNet::Run() {
    std::vector<pollfd> fds;
    fds.push_back({m_wake[0], POLLIN, 0});
    for (int fd : m_sockets)
        fds.push_back({fd, POLLIN, 0});
    std::vector<CPending> pending; // kept as a heap, earliest due first
    auto later = [](const CPending& a, const CPending& b) { return a.due > b.due; };

    for (;;) {
        timespec timeout{};
        timespec* wait = nullptr;
        if (!pending.empty()) {
            auto left = std::max(pending.front().due - Clock::now(), Clock::duration::zero());
            auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
            timeout.tv_nsec = static_cast<long>(ns % 1000000000);
            wait = &timeout;
        }
        if (ppoll(fds.data(), fds.size(), wait, nullptr) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents & POLLIN)
            OnMasterRequest();
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents & POLLIN) {
                std::size_t before = pending.size();
                OnStatusRequest(static_cast<int>(i - 2), pending);
                if (pending.size() != before)
                    std::push_heap(pending.begin(), pending.end(), later);
            }
        }
        while (!pending.empty() && pending.front().due <= Clock::now()) {
            std::pop_heap(pending.begin(), pending.end(), later);
            SendReply(pending.back());
            std::lock_guard lock(m_mutex);
            m_lateness.push_back(Clock::now() - pending.back().due);
            pending.pop_back();
        }
    }
}

void CTestNet::OnMasterRequest() {
    char buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t got = recvfrom(m_sockets[0], buffer, sizeof buffer, 0,
                           reinterpret_cast<sockaddr*>(&from), &length);
    if (got <= 0 || !std::string_view(buffer, static_cast<std::size_t>(got))
                         .starts_with(std::string(kMarker) + "getservers "))
        return;
    int count = ++m_masterRequests;
    if (m_config.masterSilent || count < m_config.masterAnswerProbe)
        return;

    std::vector<int> listed;
    for (std::size_t i = 0; i < m_config.servers.size(); ++i)
        listed.push_back(static_cast<int>(i));
    int datagrams = std::max(1, m_config.masterDatagrams);
    std::size_t perDatagram = (listed.size() + static_cast<std::size_t>(datagrams) - 1) /
                              static_cast<std::size_t>(datagrams);
    for (int d = 0; d < datagrams; ++d) {
        std::string reply = std::string(kMarker) + "getserversResponse";
        auto entry = [this, &reply](int server) {
            std::uint32_t address = htonl(INADDR_LOOPBACK);
            std::uint16_t port = htons(m_ports[static_cast<std::size_t>(server)]);
            reply += '\\';
            reply.append(reinterpret_cast<const char*>(&address), 4);
            reply.append(reinterpret_cast<const char*>(&port), 2);
        };
        std::size_t first = static_cast<std::size_t>(d) * perDatagram;
        for (std::size_t i = first; i < std::min(listed.size(), first + perDatagram); ++i)
            entry(listed[i]);
        // The twice-listed servers appear again in the last datagram.
        if (d == datagrams - 1)
            for (std::size_t i = 0; i < m_config.servers.size(); ++i)
                if (m_config.servers[i].listTwice)
                    entry(static_cast<int>(i));
        reply += "\\EOT";
        SendTo(m_sockets[0], reply, from.sin_addr.s_addr, from.sin_port);
    }
}

void CTestNet::OnStatusRequest(int index, std::vector<CPending>& pending) {
    char buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t got = recvfrom(m_sockets[static_cast<std::size_t>(index) + 1], buffer, sizeof buffer, 0,
                           reinterpret_cast<sockaddr*>(&from), &length);
    if (got <= 0 || !std::string_view(buffer, static_cast<std::size_t>(got))
                         .starts_with(std::string(kMarker) + "getstatus"))
        return;
    Clock::time_point now = Clock::now();
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back({now, index});
    }
    const CTestServer& server = m_config.servers[static_cast<std::size_t>(index)];
    std::uint64_t asker = (std::uint64_t{from.sin_addr.s_addr} << 16) | from.sin_port;
    int count = ++m_askers[static_cast<std::size_t>(index)][asker];
    if (server.behaviour == CTestServer::EBehaviour::Silent ||
        (server.behaviour == CTestServer::EBehaviour::ResendOnly && count != 2))
        return;
    static thread_local std::mt19937 random(12345);
    int jitter =
        server.jitterMs > 0 ? std::uniform_int_distribution<int>(0, server.jitterMs)(random) : 0;
    pending.push_back({now + std::chrono::milliseconds(server.delayMs + jitter), index,
                       from.sin_addr.s_addr, from.sin_port});
}

void CTestNet::SendReply(const CPending& pending) {
    const CTestServer& server = m_config.servers[static_cast<std::size_t>(pending.server)];
    switch (server.behaviour) {
    case CTestServer::EBehaviour::Malformed:
        SendTo(m_sockets[static_cast<std::size_t>(pending.server) + 1],
               MalformedReply(pending.server), pending.address, pending.port);
        break;
    case CTestServer::EBehaviour::WrongPort:
        SendTo(m_wrongPortSocket, BuildStatusReply(server), pending.address, pending.port);
        break;
    default:
        SendTo(m_sockets[static_cast<std::size_t>(pending.server) + 1], BuildStatusReply(server),
               pending.address, pending.port);
        break;
    }
}
