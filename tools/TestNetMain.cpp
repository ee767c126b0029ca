// vantrel-testnet: a loopback master server and game servers for trying the query engine.
#include "tools/TestNet.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: vantrel-testnet [--master-port P] [--servers N] [--players-per-server N]\n"
    "         [--delay-ms D] [--jitter-ms J] [--seconds S] [--name TEXT] [--map TEXT]\n"
    "         [--gametype G] [--max-clients M] [--var KEY=VALUE]... [--player NAME,FRAGS,PING]...\n"
    "         [--silent LIST] [--resend-only LIST] [--wrong-port LIST] [--malformed LIST]\n"
    "         [--bots N] [--needpass LIST] [--colour-names]\n"
    "         [--list-twice LIST] [--master-datagrams K] [--master-answer-probe N]\n"
    "         [--flood PPS] [--protocols P,...] [--end-marker MODE] [--master-lists LIST]\n"
    "         [--more-master LIST[:silent][:MODE]]...\n"
    "       vantrel-testnet --help | --version\n"
    "  LIST: server indexes from 0, as 1,4,7-9. In --name, %d is the server's index.\n"
    "  --flood: a third party sends PPS datagrams a second to whoever asked last.\n"
    "  --protocols: the servers' protocols in turn (15: 1.02/1.03, 16: 1.04); masters then\n"
    "  list only the servers of the protocol asked for.\n"
    "  MODE: where a master marks the end of its list: every (datagram), last, never,\n"
    "  last-first (the last datagram sent first). --master-lists: what the first master\n"
    "  lists (default: all). --more-master: one more master listing LIST.\n"
    "  SIGUSR1 prints a line \"reply PORT NANOSECONDS\" for each reply sent since the last\n"
    "  one, with how late it left against its delay, then \"replies end\".\n"
    "  Without --player, every server gets --players-per-server generated players whose\n"
    "  names carry colour codes and quotes; --player lists every server's players instead.\n"
    "  --bots: N more players of ping 0 on every server. --needpass: these servers report\n"
    "  g_needpass 1, the others 0; every other bot's name ends in a lone caret.\n"
    "  --colour-names: server names take every colour code in turn (^0 to ^9, ^a).\n"
    "  Commands on standard input, one a line, change the servers while it runs; each is\n"
    "  answered on standard output with \"ok\" or \"error: \" and why. SERVER is an index:\n"
    "    join SERVER NAME   a player joins (frags 0, ping 50), unless the server is full\n"
    "    leave SERVER NAME  the first player of exactly that name leaves\n"
    "    map SERVER MAP     the server changes its map\n"
    "    free SERVER        a full server's last player leaves, so a slot is free\n"
    "    show SERVER        \"ok MAP PLAYERS/MAX NAME,...\"\n"
    "  NAME and MAP are the rest of the line, colour codes included.\n";

int Number(const char* text, int low, int high) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        throw std::invalid_argument(std::string("bad number: ") + text);
    return static_cast<int>(value);
}

std::set<int> Indexes(const std::string& list) {
    std::set<int> indexes;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        std::string item =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::size_t dash = item.find('-');
        int first = Number(item.substr(0, dash).c_str(), 0, 65535);
        int last = dash == std::string::npos ? first : Number(item.c_str() + dash + 1, 0, 65535);
        for (int i = first; i <= last; ++i)
            indexes.insert(i);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return indexes;
}

EEndMarker EndMarker(const std::string& mode) {
    if (mode == "every")
        return EEndMarker::Every;
    if (mode == "last")
        return EEndMarker::Last;
    if (mode == "never")
        return EEndMarker::Never;
    if (mode == "last-first")
        return EEndMarker::LastFirst;
    throw std::invalid_argument("bad end marker: " + mode);
}

// LIST[:silent][:MODE]
CTestMaster MoreMaster(const std::string& spec) {
    CTestMaster master;
    std::size_t colon = spec.find(':');
    for (int i : Indexes(spec.substr(0, colon)))
        master.servers.push_back(i);
    while (colon != std::string::npos) {
        const std::size_t next = spec.find(':', colon + 1);
        const std::string part = spec.substr(
            colon + 1, next == std::string::npos ? std::string::npos : next - colon - 1);
        if (part == "silent")
            master.silent = true;
        else
            master.endMarker = EndMarker(part);
        colon = next;
    }
    return master;
}

// Reads commands from standard input until it ends or `stop` is set; the poll's time-out lets
// the program end without waiting for a line that never comes.
void RunCommands(CTestNet& net, const std::atomic<bool>& stop) {
    std::string pending;
    char buffer[4096];
    while (!stop.load()) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, 100);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            return;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.find_first_not_of(" \r") == std::string::npos)
                continue;
            const std::string answer = net.RunCommand(line);
            std::printf("%s\n", answer.c_str());
            std::fflush(stdout);
        }
    }
}

std::string ServerName(const std::string& pattern, int index) {
    std::string name = pattern;
    std::size_t at = name.find("%d");
    if (at != std::string::npos)
        name.replace(at, 2, std::to_string(index));
    return name;
}

} // namespace

int main(int argc, char** argv) {
    CTestNetConfig config;
    int servers = 10, players = 4, delayMs = 0, jitterMs = 0, seconds = 60;
    int gameType = 0, maxClients = 16;
    std::string name = "^1Test ^7Server %d", map = "ffa_bespin";
    std::vector<std::pair<std::string, std::string>> variables;
    std::vector<CTestPlayer> givenPlayers;
    std::set<int> silent, resendOnly, wrongPort, malformed, listTwice, needPass;
    std::vector<int> protocols;
    int bots = 0;
    bool colourNames = false;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string flag = argv[i];
            if (flag == "--help") {
                std::fputs(kUsage, stdout);
                return 0;
            }
            if (flag == "--colour-names") {
                colourNames = true;
                continue;
            }
            if (flag == "--version") {
                std::puts("vantrel-testnet " VANTREL_VERSION);
                return 0;
            }
            if (i + 1 >= argc)
                throw std::invalid_argument("missing value after " + flag);
            const char* value = argv[++i];
            if (flag == "--master-port")
                config.masterPort = static_cast<std::uint16_t>(Number(value, 1, 65535));
            else if (flag == "--servers")
                servers = Number(value, 0, 60000);
            else if (flag == "--players-per-server")
                players = Number(value, 0, 256);
            else if (flag == "--delay-ms")
                delayMs = Number(value, 0, 600000);
            else if (flag == "--jitter-ms")
                jitterMs = Number(value, 0, 600000);
            else if (flag == "--seconds")
                seconds = Number(value, 1, 86400);
            else if (flag == "--name")
                name = value;
            else if (flag == "--map")
                map = value;
            else if (flag == "--gametype")
                gameType = Number(value, -1000, 1000);
            else if (flag == "--max-clients")
                maxClients = Number(value, 0, 1024);
            else if (flag == "--var") {
                const char* equals = std::strchr(value, '=');
                if (equals == nullptr)
                    throw std::invalid_argument(std::string("--var needs KEY=VALUE: ") + value);
                variables.emplace_back(std::string(value, equals), std::string(equals + 1));
            } else if (flag == "--player") {
                std::string player = value;
                std::size_t second = player.rfind(',');
                std::size_t first = second == std::string::npos || second == 0
                                        ? std::string::npos
                                        : player.rfind(',', second - 1);
                if (first == std::string::npos)
                    throw std::invalid_argument("--player needs NAME,FRAGS,PING: " + player);
                givenPlayers.push_back(
                    {player.substr(0, first),
                     Number(player.substr(first + 1, second - first - 1).c_str(), -99999, 99999),
                     Number(player.c_str() + second + 1, 0, 99999)});
            } else if (flag == "--silent")
                silent = Indexes(value);
            else if (flag == "--resend-only")
                resendOnly = Indexes(value);
            else if (flag == "--wrong-port")
                wrongPort = Indexes(value);
            else if (flag == "--malformed")
                malformed = Indexes(value);
            else if (flag == "--list-twice")
                listTwice = Indexes(value);
            else if (flag == "--needpass")
                needPass = Indexes(value);
            else if (flag == "--bots")
                bots = Number(value, 0, 256);
            else if (flag == "--master-datagrams")
                config.masterDatagrams = Number(value, 1, 1000);
            else if (flag == "--flood")
                config.floodPps = Number(value, 0, 10000000);
            else if (flag == "--master-answer-probe")
                config.masterAnswerProbe = Number(value, 1, 1000);
            else if (flag == "--protocols") {
                protocols.clear();
                std::string list = value;
                for (std::size_t start = 0; start <= list.size();) {
                    const std::size_t comma = list.find(',', start);
                    protocols.push_back(Number(list.substr(start, comma - start).c_str(), 1, 1000));
                    start = comma == std::string::npos ? list.size() + 1 : comma + 1;
                }
                config.masterByProtocol = true;
            } else if (flag == "--end-marker")
                config.masterEndMarker = EndMarker(value);
            else if (flag == "--master-lists") {
                for (int i : Indexes(value))
                    config.masterServers.push_back(i);
            } else if (flag == "--more-master")
                config.moreMasters.push_back(MoreMaster(value));
            else
                throw std::invalid_argument("unknown option " + flag);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantrel-testnet: %s\n%s", error.what(), kUsage);
        return 2;
    }

    for (int s = 0; s < servers; ++s) {
        CTestServer server;
        server.name = ServerName(name, s);
        if (colourNames) {
            const char code = "0123456789a"[s % 11];
            server.name = std::string("^") + code + "Colour^9 Server ^8" + std::to_string(s);
        }
        server.map = map;
        server.gameType = gameType;
        server.maxClients = maxClients;
        server.variables = variables;
        server.delayMs = delayMs;
        server.jitterMs = jitterMs;
        server.players = givenPlayers;
        for (int p = 0; givenPlayers.empty() && p < players; ++p)
            server.players.push_back(
                {"^" + std::to_string(p % 10) + "\"Player\" ^7" + std::to_string(p),
                 (s * 7 + p * 3) % 50 - 5, 20 + (s + p * 13) % 180});
        for (int b = 0; b < bots; ++b)
            server.players.push_back(
                {"^9Bot ^a" + std::to_string(b) + (b % 2 ? "^" : ""), (s + b) % 20, 0});
        if (!needPass.empty())
            server.variables.emplace_back("g_needpass", needPass.count(s) ? "1" : "0");
        using EBehaviour = CTestServer::EBehaviour;
        if (silent.count(s))
            server.behaviour = EBehaviour::Silent;
        else if (resendOnly.count(s))
            server.behaviour = EBehaviour::ResendOnly;
        else if (wrongPort.count(s))
            server.behaviour = EBehaviour::WrongPort;
        else if (malformed.count(s))
            server.behaviour = EBehaviour::Malformed;
        server.listTwice = listTwice.count(s) != 0;
        if (!protocols.empty())
            server.protocol = protocols[static_cast<std::size_t>(s) % protocols.size()];
        config.servers.push_back(std::move(server));
    }

    // Signals are taken by sigtimedwait below instead of interrupting the servers' thread.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    CTestNet net(std::move(config));
    try {
        net.Start();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantrel-testnet: %s\n", error.what());
        return 1;
    }
    std::printf("vantrel-testnet ready: master 127.0.0.1:%u, %d servers", net.GetMasterPort(),
                servers);
    if (servers > 0)
        std::printf(" on ports %u-%u", net.GetServerPort(0), net.GetServerPort(servers - 1));
    for (std::size_t k = 0; k < net.GetConfig().moreMasters.size(); ++k)
        std::printf(", master 127.0.0.1:%u", net.GetMoreMasterPort(k));
    std::printf(", stopping after %d s\n", seconds);
    std::fflush(stdout);

    // Started in the background of a terminal, reading it would stop the whole program.
    std::signal(SIGTTIN, SIG_IGN);
    std::atomic<bool> stopCommands{false};
    std::thread commands(RunCommands, std::ref(net), std::cref(stopCommands));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::seconds>(end - std::chrono::steady_clock::now());
        timespec timeout{static_cast<time_t>(std::max<std::chrono::seconds::rep>(left.count(), 0)),
                         0};
        if (left.count() <= 0 || sigtimedwait(&signals, nullptr, &timeout) != SIGUSR1)
            break;
        for (const CTestNet::CReply& reply : net.TakeReplies())
            std::printf("reply %u %lld\n", net.GetServerPort(reply.server),
                        static_cast<long long>(reply.lateness.count()));
        std::printf("replies end\n");
        std::fflush(stdout);
    }
    stopCommands = true;
    commands.join();
    net.Stop();
    return 0;
}
