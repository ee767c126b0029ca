#include "tools/TestNet.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kMarker = "\xFF\xFF\xFF\xFF";

// Entries per master datagram: about what fits one Ethernet frame, as real masters send them.
// A single datagram for thousands of servers would exceed what UDP can carry and go nowhere.
constexpr std::size_t kMaxMasterEntries = 200;

// Replies are woken for this much before they are due: on a busy machine a sleeping thread
// often wakes milliseconds late, which would show up as ping error of the asker.
constexpr std::chrono::milliseconds kWakeEarly{2};

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

// Master-reply datagrams listing servers at 127.1.x.y, which are loopback addresses where no
// server of this network listens; counter numbers them across datagrams.
std::string UnknownServers(std::uint32_t& counter, std::size_t entries = kMaxMasterEntries,
                           bool endMarker = true) {
    std::string reply = std::string(kMarker) + "getserversResponse";
    for (std::size_t i = 0; i < entries; ++i, ++counter) {
        std::uint32_t address = htonl(0x7F010000u + (counter / 65535) % 65536);
        std::uint16_t port = htons(static_cast<std::uint16_t>(counter % 65535 + 1));
        reply += '\\';
        reply.append(reinterpret_cast<const char*>(&address), 4);
        reply.append(reinterpret_cast<const char*>(&port), 2);
    }
    return endMarker ? reply + "\\EOT" : reply;
}

std::uint64_t Asker(const sockaddr_in& from) {
    return (std::uint64_t{from.sin_addr.s_addr} << 16) | from.sin_port;
}

void SendToAsker(int fd, std::string_view data, std::uint64_t asker) {
    SendTo(fd, data, static_cast<std::uint32_t>(asker >> 16),
           static_cast<std::uint16_t>(asker & 0xFFFF));
}

// Sends count copies of data in as few calls as the system allows: a flood must be able to
// outpace a reader that takes one datagram per call.
void SendCopies(int fd, std::string_view data, std::uint64_t asker, std::size_t count) {
    constexpr std::size_t kBatch = 256;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = static_cast<std::uint32_t>(asker >> 16);
    to.sin_port = static_cast<std::uint16_t>(asker & 0xFFFF);
    iovec part{const_cast<char*>(data.data()), data.size()};
    mmsghdr messages[kBatch] = {};
    for (mmsghdr& message : messages) {
        message.msg_hdr.msg_name = &to;
        message.msg_hdr.msg_namelen = sizeof to;
        message.msg_hdr.msg_iov = &part;
        message.msg_hdr.msg_iovlen = 1;
    }
    while (count > 0) {
        const unsigned batch = static_cast<unsigned>(std::min(count, kBatch));
        if (sendmmsg(fd, messages, batch, 0) <= 0)
            return; // a full buffer: the rest of this round is dropped, as on a real link
        count -= batch;
    }
}

} // namespace

std::string CTestNet::MalformedReply(int index) {
    const std::string header = std::string(kMarker) + "statusResponse\n";
    std::string pairs;
    for (int i = 0; i < 16000; ++i)
        pairs += "\\a\\b";
    const std::string replies[] = {
        header.substr(0, header.size() - 1) + " without any line feed \\sv_hostname\\x",
        header + "\\sv_hostname\\^",
        header + "\\sv_hostname\\\"open quote\\mapname\n1 2 \"^",
        header + "\\onlykey\n-\n 99999999999 -",
        std::string("\0\0\0\n\\a\\b\n", 10),
        header + std::string(3000, '\\') + "\n" + std::string(2000, '^'),
        // Floods: a line feed is a player, a pair a variable; 64 KB of either.
        header + "\\sv_hostname\\line flood\n" + std::string(64000, '\n'),
        header + pairs + "\n1 2 \"after the pairs\"\n",
    };
    return replies[static_cast<std::size_t>(index) % std::size(replies)];
}

std::string CTestNet::BuildInfoReply(const CTestServer& server, const std::string& challenge) {
    std::string reply = std::string(kMarker) + "infoResponse\n";
    auto variable = [&reply](const std::string& key, const std::string& value) {
        reply += '\\' + key + '\\' + value;
    };
    if (challenge.find_first_of("\\;\"") == std::string::npos)
        variable("challenge", challenge);
    variable("protocol", std::to_string(server.protocol));
    variable("hostname", server.name);
    variable("mapname", server.map);
    variable("clients", std::to_string(server.players.size()));
    variable("sv_maxclients", std::to_string(server.maxClients));
    variable("gametype", std::to_string(server.gameType));
    variable("needpass", "0");
    return reply;
}

bool CTestNet::ReadRequest(std::string_view datagram, bool& info, std::string& challenge) {
    if (!datagram.starts_with(kMarker))
        return false;
    datagram.remove_prefix(kMarker.size());
    datagram = datagram.substr(0, datagram.find('\0'));
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::string_view command = datagram.substr(0, datagram.find_first_of(kBlanks));
    if (command != "getstatus" && command != "getinfo")
        return false;
    info = command == "getinfo";
    std::string_view rest = datagram.substr(command.size());
    const std::size_t start = std::min(rest.find_first_not_of(kBlanks), rest.size());
    rest.remove_prefix(start);
    challenge = std::string(rest.substr(0, rest.find_first_of(kBlanks)));
    return true;
}

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
            // Delays count from the kernel's arrival time, so this thread's own wake-up
            // latency does not add to them.
            int on = 1;
            setsockopt(m_sockets.back(), SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
        }
        for (std::size_t k = 0; k < m_config.moreMasters.size(); ++k) {
            m_moreSockets.push_back(BindLoopback(0));
            m_morePorts.push_back(BoundPort(m_moreSockets.back()));
        }
        m_wrongPortSocket = BindLoopback(0);
        m_floodSocket = BindLoopback(0);
        if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
            throw std::runtime_error("pipe failed");
        m_epoll = epoll_create1(EPOLL_CLOEXEC);
        m_timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
        if (m_epoll < 0 || m_timer < 0)
            throw std::runtime_error("epoll or timer failed");
        // Event data: -2 stop, -1 the reply timer, 0 the master, 1.. the servers, -10 - k the
        // further master k.
        auto watch = [this](int fd, int data) {
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.u64 = static_cast<std::uint64_t>(static_cast<std::int64_t>(data));
            if (epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event) != 0)
                throw std::runtime_error("epoll_ctl failed");
        };
        watch(m_wake[0], -2);
        watch(m_timer, -1);
        for (std::size_t i = 0; i < m_sockets.size(); ++i)
            watch(m_sockets[i], static_cast<int>(i));
        for (std::size_t k = 0; k < m_moreSockets.size(); ++k)
            watch(m_moreSockets[k], -10 - static_cast<int>(k));
    } catch (...) {
        Stop();
        throw;
    }
    m_askers.assign(m_config.servers.size(), {});
    m_moreRequests.assign(m_config.moreMasters.size(), 0);
    m_thread = std::thread(&CTestNet::Run, this);
    if (m_config.floodPps > 0 || m_config.masterStreamMs > 0) {
        m_stopFlood = false;
        m_floodThread = std::thread(&CTestNet::Flood, this);
    }
}

void CTestNet::Stop() {
    if (m_floodThread.joinable()) {
        m_stopFlood = true;
        m_floodThread.join();
    }
    if (m_thread.joinable()) {
        char stop = 1;
        [[maybe_unused]] ssize_t written = write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : m_sockets)
        close(fd);
    m_sockets.clear();
    for (int fd : m_moreSockets)
        close(fd);
    m_moreSockets.clear();
    for (int& fd : {std::ref(m_wrongPortSocket), std::ref(m_floodSocket), std::ref(m_wake[0]),
                    std::ref(m_wake[1]), std::ref(m_epoll), std::ref(m_timer)}) {
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

std::vector<CTestNet::CReply> CTestNet::TakeReplies() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_replies, {});
}

void CTestNet::Run() {
    std::vector<CPending> pending; // kept as a heap, earliest due first
    auto later = [](const CPending& a, const CPending& b) { return a.due > b.due; };
    std::vector<epoll_event> events(64);

    for (;;) {
        itimerspec timing{}; // all zero disarms
        if (!pending.empty()) {
            auto due = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           (pending.front().due - kWakeEarly).time_since_epoch())
                           .count();
            timing.it_value.tv_sec = static_cast<time_t>(due / 1000000000);
            timing.it_value.tv_nsec = std::max(1L, static_cast<long>(due % 1000000000));
        }
        timerfd_settime(m_timer, TFD_TIMER_ABSTIME, &timing, nullptr);
        int ready = epoll_wait(m_epoll, events.data(), static_cast<int>(events.size()), -1);
        if (ready < 0 && errno != EINTR)
            return;
        for (int e = 0; e < ready; ++e) {
            auto source = static_cast<std::int64_t>(events[static_cast<std::size_t>(e)].data.u64);
            if (source == -2)
                return;
            if (source == -1) {
                std::uint64_t expiries;
                [[maybe_unused]] ssize_t got = read(m_timer, &expiries, sizeof expiries);
            } else if (source == 0)
                OnMasterRequest(0);
            else if (source <= -10)
                OnMasterRequest(static_cast<std::size_t>(-10 - source) + 1);
            else {
                std::size_t before = pending.size();
                OnStatusRequest(static_cast<int>(source - 1), pending);
                for (std::size_t i = before + 1; i <= pending.size(); ++i)
                    std::push_heap(pending.begin(), pending.begin() + static_cast<long>(i), later);
            }
        }
        while (!pending.empty() && pending.front().due <= Clock::now() + kWakeEarly) {
            while (Clock::now() < pending.front().due)
                ; // the last stretch is waited out here, where no wake-up can come late
            std::pop_heap(pending.begin(), pending.end(), later);
            SendReply(pending.back());
            std::lock_guard lock(m_mutex);
            const auto lateness = Clock::now() - pending.back().due;
            m_lateness.push_back(lateness);
            m_replies.push_back({pending.back().server, lateness});
            pending.pop_back();
        }
    }
}

void CTestNet::OnMasterRequest(std::size_t master) {
    const int fd = master == 0 ? m_sockets[0] : m_moreSockets[master - 1];
    char buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t got =
        recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    const std::string request = std::string(kMarker) + "getservers ";
    std::string_view text(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
    if (got <= 0 || !text.starts_with(request))
        return;
    const int protocol = std::atoi(std::string(text.substr(request.size())).c_str());
    int count = ++m_masterRequests;
    std::vector<std::string> replies;
    if (master == 0) {
        m_floodTarget = Asker(from);
        if (m_config.masterSilent || count < m_config.masterAnswerProbe)
            return;
        std::vector<int> listed = m_config.masterServers;
        if (listed.empty())
            for (std::size_t i = 0; i < m_config.servers.size(); ++i)
                listed.push_back(static_cast<int>(i));
        replies = BuildMasterReplies(m_config, m_ports, listed, protocol, m_config.masterEndMarker,
                                     m_config.masterDatagrams);
    } else {
        const CTestMaster& more = m_config.moreMasters[master - 1];
        if (more.silent || ++m_moreRequests[master - 1] < more.answerProbe)
            return;
        replies = BuildMasterReplies(m_config, m_ports, more.servers, protocol, more.endMarker,
                                     more.datagrams);
    }
    for (const std::string& reply : replies)
        SendTo(fd, reply, from.sin_addr.s_addr, from.sin_port);
    if (master == 0)
        m_streamTarget = Asker(from);
}

void CTestNet::Flood() {
    using namespace std::chrono_literals;
    std::uint32_t counter = 0;
    const std::string flood = UnknownServers(counter, 1);
    Clock::time_point next = Clock::now();
    Clock::time_point nextStream = next;
    std::uint64_t streamingTo = 0;
    double owed = 0;
    while (!m_stopFlood) {
        next += 1ms;
        std::this_thread::sleep_until(next);
        // A flooder that fell behind starts afresh instead of sending a burst to catch up.
        if (Clock::now() > next + 10ms)
            next = Clock::now();
        if (std::uint64_t target = m_floodTarget.load(); target != 0 && m_config.floodPps > 0) {
            owed += m_config.floodPps / 1000.0;
            SendCopies(m_floodSocket, flood, target, static_cast<std::size_t>(owed));
            owed -= static_cast<std::size_t>(owed);
        }
        const auto period = std::chrono::milliseconds(m_config.masterStreamMs);
        if (std::uint64_t asker = m_streamTarget.load(); asker != streamingTo) {
            streamingTo = asker; // the stream to a new asker starts one period after its answer
            nextStream = Clock::now() + period;
        }
        if (streamingTo != 0 && period.count() > 0 && Clock::now() >= nextStream) {
            SendToAsker(m_sockets[0],
                        UnknownServers(counter, kMaxMasterEntries,
                                       m_config.masterEndMarker != EEndMarker::Never),
                        streamingTo);
            nextStream += period;
        }
    }
}

std::vector<std::string> CTestNet::BuildMasterReplies(const CTestNetConfig& config,
                                                      const std::vector<std::uint16_t>& ports) {
    std::vector<int> all;
    for (std::size_t i = 0; i < config.servers.size(); ++i)
        all.push_back(static_cast<int>(i));
    return BuildMasterReplies(config, ports, all, 0, EEndMarker::Every, config.masterDatagrams);
}

std::vector<std::string> CTestNet::BuildMasterReplies(const CTestNetConfig& config,
                                                      const std::vector<std::uint16_t>& ports,
                                                      const std::vector<int>& servers, int protocol,
                                                      EEndMarker endMarker, int datagramCount) {
    // Every server once, then the twice-listed ones again, so these land in the last datagram.
    auto asked = [&](int i) {
        return i >= 0 && static_cast<std::size_t>(i) < config.servers.size() &&
               (!config.masterByProtocol || protocol == 0 ||
                config.servers[static_cast<std::size_t>(i)].protocol == protocol);
    };
    std::vector<std::size_t> listed;
    for (int i : servers)
        if (asked(i))
            listed.push_back(static_cast<std::size_t>(i));
    for (int i : servers)
        if (asked(i) && config.servers[static_cast<std::size_t>(i)].listTwice)
            listed.push_back(static_cast<std::size_t>(i));
    std::size_t datagrams =
        std::max<std::size_t>({1, static_cast<std::size_t>(std::max(datagramCount, 1)),
                               (listed.size() + kMaxMasterEntries - 1) / kMaxMasterEntries});
    std::size_t perDatagram = std::max<std::size_t>(1, (listed.size() + datagrams - 1) / datagrams);

    std::vector<std::string> replies;
    for (std::size_t d = 0; d < datagrams; ++d) {
        std::string reply = std::string(kMarker) + "getserversResponse";
        std::size_t first = d * perDatagram;
        for (std::size_t i = first; i < std::min(listed.size(), first + perDatagram); ++i) {
            std::uint32_t address = htonl(INADDR_LOOPBACK);
            std::uint16_t port = htons(ports[listed[i]]);
            reply += '\\';
            reply.append(reinterpret_cast<const char*>(&address), 4);
            reply.append(reinterpret_cast<const char*>(&port), 2);
        }
        const bool last = d + 1 == datagrams;
        if (endMarker == EEndMarker::Every || (last && endMarker != EEndMarker::Never))
            reply += "\\EOT";
        replies.push_back(std::move(reply));
    }
    if (endMarker == EEndMarker::LastFirst)
        std::rotate(replies.begin(), replies.end() - 1, replies.end());
    return replies;
}

void CTestNet::OnStatusRequest(int index, std::vector<CPending>& pending) {
    for (;;) {
        char buffer[2048];
        sockaddr_in from{};
        iovec data{buffer, sizeof buffer};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        ssize_t got = recvmsg(m_sockets[static_cast<std::size_t>(index) + 1], &message, 0);
        if (got < 0)
            return;
        bool info = false;
        std::string challenge;
        if (!ReadRequest(std::string_view(buffer, static_cast<std::size_t>(got)), info, challenge))
            continue;

        Clock::time_point arrived = Clock::now();
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                timespec stamp;
                std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
                auto since =
                    std::chrono::system_clock::now().time_since_epoch() -
                    (std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec));
                if (since > Clock::duration::zero())
                    arrived -= std::chrono::duration_cast<Clock::duration>(since);
            }
        }
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back({arrived, index, info});
        }
        const CTestServer& server = m_config.servers[static_cast<std::size_t>(index)];
        std::uint64_t asker = Asker(from);
        m_floodTarget = asker;
        int count = ++m_askers[static_cast<std::size_t>(index)][asker];
        if (server.behaviour == CTestServer::EBehaviour::Silent ||
            (server.behaviour == CTestServer::EBehaviour::ResendOnly && count != 2))
            continue;
        static thread_local std::mt19937 random(12345);
        int jitter = server.jitterMs > 0
                         ? std::uniform_int_distribution<int>(0, server.jitterMs)(random)
                         : 0;
        pending.push_back({arrived + std::chrono::milliseconds(server.delayMs + jitter), index,
                           from.sin_addr.s_addr, from.sin_port, info, std::move(challenge)});
    }
}

void CTestNet::SendReply(const CPending& pending) {
    const CTestServer& server = m_config.servers[static_cast<std::size_t>(pending.server)];
    switch (server.behaviour) {
    case CTestServer::EBehaviour::Malformed:
        SendTo(m_sockets[static_cast<std::size_t>(pending.server) + 1],
               MalformedReply(pending.server), pending.address, pending.port);
        break;
    case CTestServer::EBehaviour::WrongPort:
        SendTo(m_wrongPortSocket,
               pending.info ? BuildInfoReply(server, pending.challenge) : BuildStatusReply(server),
               pending.address, pending.port);
        break;
    default:
        SendTo(m_sockets[static_cast<std::size_t>(pending.server) + 1],
               pending.info ? BuildInfoReply(server, pending.challenge) : BuildStatusReply(server),
               pending.address, pending.port);
        break;
    }
}
