// A master server and any number of game servers on 127.0.0.1, answering the query protocol
// with configurable contents, delays and misbehaviour; the peer of the query engine's tests.
// Threading: Start and Stop on the owner's thread; the servers run on one thread of their own;
// the request log may be read from any thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct CTestPlayer {
    std::string name; // sent in double quotes as it stands
    int frags = 0;
    int ping = 0;
};

struct CTestServer {
    enum class EBehaviour {
        Answer,     // answers every request
        Silent,     // never answers
        ResendOnly, // answers only the second request of each asker
        WrongPort,  // answers from another port of the same address
        Malformed,  // answers with a reply the parser has to survive
    };

    std::string name = "Test Server";
    std::string map = "ffa_bespin";
    int gameType = 0;
    int maxClients = 16;
    int protocol = 16; // what its getinfo answer gives
    std::vector<CTestPlayer> players;
    std::vector<std::pair<std::string, std::string>> variables; // after the four usual ones
    EBehaviour behaviour = EBehaviour::Answer;
    int delayMs = 0;
    int jitterMs = 0;       // each reply waits delayMs plus up to this much more
    bool listTwice = false; // the master lists it again after all others, in its last datagram
};

// Where a master puts the end marker "\EOT": after every datagram's entries (older masters),
// after the last datagram's only, never, or after the last only with that datagram sent first.
enum class EEndMarker { Every, Last, Never, LastFirst };

// A master besides the first, on a port of its own, listing some of the servers.
struct CTestMaster {
    std::vector<int> servers; // indexes into the configured servers
    bool silent = false;
    EEndMarker endMarker = EEndMarker::Last;
    int datagrams = 1;
    int answerProbe = 1; // it ignores each asker's requests before this one
};

struct CTestNetConfig {
    // 0 binds the master and every server to ports the system chooses; otherwise the master
    // takes this port and the servers the ones after it.
    std::uint16_t masterPort = 0;
    std::vector<CTestServer> servers;
    int masterDatagrams = 1;   // the list is spread over at least this many datagrams
    int masterAnswerProbe = 1; // the master ignores the requests before this one
    bool masterSilent = false;
    EEndMarker masterEndMarker = EEndMarker::Every;
    std::vector<int> masterServers; // the servers the first master lists; empty: all of them
    // Masters list only the servers of the protocol asked for (each server's `protocol`);
    // otherwise every server for any protocol.
    bool masterByProtocol = false;
    std::vector<CTestMaster> moreMasters;
    // After answering, the master goes on sending lists of servers that do not exist, one
    // datagram every this many milliseconds, and never goes quiet (0: it does not).
    int masterStreamMs = 0;
    // A third party sends this many datagrams a second, from a socket of its own, to whoever
    // asked the master or a server last (0: none). Each lists servers that do not exist.
    int floodPps = 0;
};

class CTestNet {
public:
    struct CRequest {
        std::chrono::steady_clock::time_point at;
        int server;        // index into the configured servers
        bool info = false; // getinfo; otherwise getstatus
    };
    // A reply that left, and how late against its delay.
    struct CReply {
        int server;
        std::chrono::nanoseconds lateness;
    };

    explicit CTestNet(CTestNetConfig config);
    ~CTestNet();
    CTestNet(const CTestNet&) = delete;
    CTestNet& operator=(const CTestNet&) = delete;

    // Binds every socket (throws std::runtime_error when one cannot be bound) and starts
    // answering.
    void Start();
    void Stop();

    std::uint16_t GetMasterPort() const { return m_masterPort; }
    // The port of moreMasters[index].
    std::uint16_t GetMoreMasterPort(std::size_t index) const { return m_morePorts[index]; }
    std::uint16_t GetServerPort(int index) const { return m_ports[index]; }
    const CTestNetConfig& GetConfig() const { return m_config; }

    // The status requests received so far, in arrival order.
    std::vector<CRequest> GetRequests() const;
    int GetMasterRequests() const { return m_masterRequests.load(); }
    // How late each reply left against its delay, so that a measured ping error can be split
    // into this network's lateness and the asker's.
    std::vector<std::chrono::nanoseconds> GetReplyLateness() const;
    // The replies sent since the last call, with the server of each.
    std::vector<CReply> TakeReplies();

    // A reply the parser has to survive, as malformed servers send it; picked by their index.
    static std::string MalformedReply(int index);
    // The status reply a server sends, as it goes on the wire.
    static std::string BuildStatusReply(const CTestServer& server);
    // The answer to getinfo, as real servers send it; the challenge is echoed when it can stand
    // in an info string.
    static std::string BuildInfoReply(const CTestServer& server, const std::string& challenge);
    // A request a server answers: getstatus (any argument ignored) or getinfo with its
    // challenge. False for anything else.
    static bool ReadRequest(std::string_view datagram, bool& info, std::string& challenge);
    // The master's answer, one datagram per element, listing the servers at these ports.
    static std::vector<std::string> BuildMasterReplies(const CTestNetConfig& config,
                                                       const std::vector<std::uint16_t>& ports);
    // The answer of a master listing `servers` (indexes; their twice-listed ones once more)
    // for `protocol` (0: any) over at least `datagrams` datagrams, marked as `endMarker` says.
    static std::vector<std::string> BuildMasterReplies(const CTestNetConfig& config,
                                                       const std::vector<std::uint16_t>& ports,
                                                       const std::vector<int>& servers,
                                                       int protocol, EEndMarker endMarker,
                                                       int datagrams);

private:
    struct CPending {
        std::chrono::steady_clock::time_point due;
        int server;
        std::uint32_t address; // network order
        std::uint16_t port;    // network order
        bool info;             // answers getinfo, with this challenge
        std::string challenge;
    };

    void Run();
    // The master's stream and the third party's flood, on a thread of their own.
    void Flood();
    // master: 0 the first, k the moreMasters[k - 1].
    void OnMasterRequest(std::size_t master);
    void OnStatusRequest(int index, std::vector<CPending>& pending);
    void SendReply(const CPending& pending);

    CTestNetConfig m_config;
    std::uint16_t m_masterPort = 0;
    std::vector<std::uint16_t> m_ports;
    std::vector<int> m_moreSockets;
    std::vector<int> m_moreRequests; // per further master: requests so far
    std::vector<std::uint16_t> m_morePorts;
    std::vector<int> m_sockets; // master first, then one per server
    int m_wrongPortSocket = -1;
    int m_wake[2] = {-1, -1};
    int m_epoll = -1;
    int m_timer = -1;
    std::thread m_thread;
    std::thread m_floodThread;
    std::atomic<bool> m_stopFlood{false};
    int m_floodSocket = -1;
    // Address (network order) << 16 | port (network order); 0 while nobody has asked.
    std::atomic<std::uint64_t> m_floodTarget{0};
    std::atomic<std::uint64_t> m_streamTarget{0};
    std::atomic<int> m_masterRequests{0};
    std::vector<std::map<std::uint64_t, int>> m_askers; // per server: requests per sender
    mutable std::mutex m_mutex;
    std::vector<CRequest> m_requests;
    std::vector<std::chrono::nanoseconds> m_lateness;
    std::vector<CReply> m_replies;
};
