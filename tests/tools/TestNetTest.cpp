#include "tools/TestNet.h"

#include "query/Protocol.h"
#include "query/ServerRecord.h"

#include "net/SockUDP.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<std::uint16_t> Ports(std::size_t count) {
    std::vector<std::uint16_t> ports;
    for (std::size_t i = 0; i < count; ++i)
        ports.push_back(static_cast<std::uint16_t>(1000 + i));
    return ports;
}

} // namespace

TEST(TestNetTest, MasterListOfThousandsIsSplitIntoDatagramsUdpCanCarry) {
    CTestNetConfig config;
    config.servers.resize(10000);
    config.servers[3].listTwice = true;

    std::vector<std::string> replies = CTestNet::BuildMasterReplies(config, Ports(10000));

    CServerList list;
    int entries = 0;
    for (const std::string& reply : replies) {
        EXPECT_LE(reply.size(), 65507u); // the most one IPv4 UDP datagram holds
        entries += ParseMasterReply(reply, list);
    }
    EXPECT_EQ(entries, 10001);
    EXPECT_EQ(list.Size(), 10000u);
    CServerList last;
    ParseMasterReply(replies.back(), last);
    EXPECT_NE(last.Find(CSockAddr("127.0.0.1:1003")), nullptr);
}

TEST(TestNetTest, MasterListIsSpreadOverTheDatagramsAskedFor) {
    CTestNetConfig config;
    config.servers.resize(6);
    config.servers[2].listTwice = true;
    config.masterDatagrams = 3;

    std::vector<std::string> replies = CTestNet::BuildMasterReplies(config, Ports(6));

    ASSERT_EQ(replies.size(), 3u);
    CServerList first;
    CServerList last;
    EXPECT_EQ(ParseMasterReply(replies[0], first), 3);
    EXPECT_EQ(ParseMasterReply(replies[2], last), 1);
    EXPECT_NE(first.Find(CSockAddr("127.0.0.1:1002")), nullptr);
    EXPECT_NE(last.Find(CSockAddr("127.0.0.1:1002")), nullptr);
}

TEST(TestNetTest, RequestsAreGetstatusWithAnyArgumentOrGetinfoWithItsChallenge) {
    bool info = true;
    std::string challenge = "old";
    EXPECT_TRUE(CTestNet::ReadRequest(std::string(kStatusRequest), info, challenge));
    EXPECT_FALSE(info);
    EXPECT_TRUE(CTestNet::ReadRequest("\xFF\xFF\xFF\xFFgetstatus 4711\n", info, challenge));
    EXPECT_FALSE(info);
    EXPECT_TRUE(CTestNet::ReadRequest("\xFF\xFF\xFF\xFFgetinfo  xxx123 more", info, challenge));
    EXPECT_TRUE(info);
    EXPECT_EQ(challenge, "xxx123");
    EXPECT_TRUE(
        CTestNet::ReadRequest(std::string("\xFF\xFF\xFF\xFFgetinfo\0x", 13), info, challenge));
    EXPECT_EQ(challenge, "");
    for (const char* other :
         {"\xFF\xFF\xFF\xFFgetinfox", "\xFF\xFF\xFF\xFFgetservers 16", "getinfo 1", "\xFF\xFF\xFF"})
        EXPECT_FALSE(CTestNet::ReadRequest(other, info, challenge)) << other;

    CTestServer server;
    server.name = "^1Red";
    server.players.resize(3);
    EXPECT_EQ(CTestNet::BuildInfoReply(server, "c1"),
              "\xFF\xFF\xFF\xFFinfoResponse\n\\challenge\\c1\\protocol\\16\\hostname\\^1Red"
              "\\mapname\\ffa_bespin\\clients\\3\\sv_maxclients\\16\\gametype\\0\\needpass\\0");
    // A challenge that would break the info string is not echoed.
    EXPECT_EQ(CTestNet::BuildInfoReply(server, "a\\b").find("challenge"), std::string::npos);
}

namespace {

// Sends one request to a server of the network and returns its answer, empty after waitMs.
std::string Ask(const CTestNet& net, int server, const std::string& request, int waitMs = 2000) {
    CSockUDP socket;
    socket.Open(CSockAddr("127.0.0.1:0"));
    int length = static_cast<int>(request.size());
    socket.Send(request.data(), length,
                CSockAddr("127.0.0.1:" + std::to_string(net.GetServerPort(server))));
    if (WaitForSingleObject(socket.GetEvent(), static_cast<std::uint32_t>(waitMs)) != WAIT_OBJECT_0)
        return std::string();
    std::string reply;
    CSockAddr from;
    socket.Receive(reply, from);
    return reply;
}

} // namespace

TEST(TestNetTest, ServersAnswerGetinfoWithTheChallengeAndKeepTheirModes) {
    CTestNetConfig config;
    config.servers.resize(3);
    config.servers[0].name = "Alpha";
    config.servers[0].players = {{"Abe", 3, 40}};
    config.servers[0].delayMs = 60;
    config.servers[1].behaviour = CTestServer::EBehaviour::Silent;
    config.servers[2].behaviour = CTestServer::EBehaviour::Malformed;
    CTestNet net(config);
    net.Start();

    const auto start = std::chrono::steady_clock::now();
    const std::string info = Ask(net, 0, "\xFF\xFF\xFF\xFFgetinfo 98765");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_EQ(info, CTestNet::BuildInfoReply(config.servers[0], "98765"));
    EXPECT_NE(info.find("\\challenge\\98765\\"), std::string::npos);
    EXPECT_NE(info.find("\\clients\\1\\"), std::string::npos);
    // The browser's own request is answered as before, and an argument changes nothing.
    EXPECT_EQ(Ask(net, 0, std::string(kStatusRequest)),
              CTestNet::BuildStatusReply(config.servers[0]));
    EXPECT_EQ(Ask(net, 0, "\xFF\xFF\xFF\xFFgetstatus 12\n"),
              CTestNet::BuildStatusReply(config.servers[0]));

    EXPECT_EQ(Ask(net, 1, "\xFF\xFF\xFF\xFFgetinfo 1", 300), "");
    EXPECT_EQ(Ask(net, 2, "\xFF\xFF\xFF\xFFgetinfo 1"), CTestNet::MalformedReply(2));
    auto requests = net.GetRequests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_TRUE(requests[0].info);
    EXPECT_FALSE(requests[1].info);
}

TEST(TestNetTest, PlayersMapsAndSlotsChangeWhileItRunsAndTheNextReplyShowsIt) {
    CTestNetConfig config;
    config.servers.resize(2);
    config.servers[0].maxClients = 2;
    config.servers[0].players = {{"Abe", 3, 40}};
    CTestNet net(config);
    net.Start();
    auto status = [&] {
        CServerRecord record;
        const std::string reply = Ask(net, 0, std::string(kStatusRequest));
        record.ParseStatus(reply.substr(std::min(reply.find('\n'), reply.size())));
        std::string shown = record.m_map;
        for (const CPlayerInfo& player : record.m_players)
            shown += "," + player.name;
        return shown;
    };
    EXPECT_EQ(status(), "ffa_bespin,Abe");
    EXPECT_TRUE(net.Join(0, {"^1Kyle", 0, 50}));
    EXPECT_EQ(status(), "ffa_bespin,Abe,Kyle");
    EXPECT_FALSE(net.Join(0, {"Jan", 0, 50})) << "full";
    EXPECT_TRUE(net.SetMap(0, "ffa_deathstar"));
    EXPECT_TRUE(net.FreeSlot(0));
    EXPECT_EQ(status(), "ffa_deathstar,Abe");
    EXPECT_FALSE(net.FreeSlot(0)) << "a slot is free already";
    EXPECT_FALSE(net.Leave(0, "abe")) << "names are exact";
    EXPECT_TRUE(net.Leave(0, "Abe"));
    EXPECT_EQ(status(), "ffa_deathstar");
    EXPECT_FALSE(net.Join(2, {"Jan", 0, 50}));
    EXPECT_FALSE(net.SetMap(-1, "x"));
    EXPECT_EQ(net.GetServer(1).players.size(), 0u);

    // The same as commands.
    EXPECT_EQ(net.RunCommand("join 1  two blanks\r\n"), "ok");
    EXPECT_EQ(net.GetServer(1).players.at(0).name, " two blanks");
    EXPECT_EQ(net.RunCommand("map 1 mp/duel1"), "ok");
    EXPECT_EQ(net.RunCommand("show 1"), "ok mp/duel1 1/16  two blanks");
    EXPECT_EQ(net.RunCommand("leave 1  two blanks"), "ok");
    EXPECT_EQ(net.RunCommand("free 1"), "error: server 1 is not full");
    EXPECT_EQ(net.RunCommand("leave 1 Nobody"), "error: no player \"Nobody\" on 1");
    EXPECT_EQ(net.RunCommand("join 2 Jan"), "error: no server \"2\"");
    EXPECT_EQ(net.RunCommand("join x1 Jan"), "error: no server \"x1\"");
    EXPECT_EQ(net.RunCommand("join 1"), "error: join needs a name");
    EXPECT_EQ(net.RunCommand("join 1 a\"b"), "error: quotes and backslashes cannot be sent");
    EXPECT_EQ(net.RunCommand("dance 1"), "error: unknown command \"dance\"");
    EXPECT_EQ(net.RunCommand(""), "error: empty command");
}

TEST(TestNetTest, CommandsOnStandardInputChangeTheRunningProgramsServers) {
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1]})
            close(fd);
        execl(VANTREL_TESTNET, VANTREL_TESTNET, "--servers", "2", "--players-per-server", "2",
              "--max-clients", "2", "--seconds", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    FILE* answers = fdopen(out[0], "r");
    auto line = [&] {
        char text[512] = {};
        if (!std::fgets(text, sizeof text, answers))
            return std::string("(ended)");
        std::string read(text);
        if (!read.empty() && read.back() == '\n')
            read.pop_back();
        return read;
    };
    auto send = [&](const std::string& command) {
        const std::string text = command + "\n";
        EXPECT_EQ(write(in[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        return line();
    };
    EXPECT_EQ(line().rfind("vantrel-testnet ready", 0), 0u);
    EXPECT_EQ(send("join 1 Kyle"), "error: server 1 is full");
    EXPECT_EQ(send("free 1"), "ok");
    EXPECT_EQ(send("join 1 Kyle"), "ok");
    EXPECT_EQ(send("map 0 ffa_yavin"), "ok");
    EXPECT_EQ(send("show 0").rfind("ok ffa_yavin 2/2 ", 0), 0u);
    const std::string shown = send("show 1");
    EXPECT_EQ(shown.substr(shown.rfind(',') + 1), "Kyle") << shown;
    EXPECT_EQ(send("hello"), "error: unknown command \"hello\"");
    // The end of the input stops nothing: the servers answer until they are told to end.
    close(in[1]);
    usleep(200 * 1000);
    EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0);
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::fclose(answers);
}

TEST(TestNetTest, QuakestatListsEveryServerWithItsPlayers) {
    // Given three servers of two players each behind the network's master
    CTestNetConfig config;
    for (int i = 0; i < 3; ++i) {
        CTestServer server;
        server.name = "Srv " + std::to_string(i);
        server.players = {{"Abe" + std::to_string(i), 3, 40}, {"Bob Z", 1, 60}};
        config.servers.push_back(server);
    }
    CTestNet net(config);
    net.Start();
    auto run = [](const std::string& arguments) {
        std::string output;
        FILE* pipe = popen(("quakestat " + arguments + " -R -P -raw ,").c_str(), "r");
        if (pipe == nullptr)
            return output;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        EXPECT_EQ(pclose(pipe), 0) << "quakestat " << arguments;
        return output;
    };
    auto expectServer = [&](const std::string& output, int i) {
        const std::string address = "127.0.0.1:" + std::to_string(net.GetServerPort(i));
        const std::string name = "Srv " + std::to_string(i);
        EXPECT_NE(output.find("JK2S," + address + "," + name + ",ffa_bespin,16,2,"),
                  std::string::npos)
            << output;
        EXPECT_NE(output.find("\nAbe" + std::to_string(i) + ",3,40\nBob Z,1,60\n"),
                  std::string::npos)
            << output;
    };

    // Then the master lists all three, each with its players
    const std::string master = "127.0.0.1:" + std::to_string(net.GetMasterPort());
    const std::string listed = run("-jk2m " + master);
    EXPECT_NE(listed.find("JK2M," + master + ",3\n"), std::string::npos) << listed;
    for (int i = 0; i < 3; ++i)
        expectServer(listed, i);

    // And each answers when asked by itself
    for (int i = 0; i < 3; ++i)
        expectServer(run("-jk2s 127.0.0.1:" + std::to_string(net.GetServerPort(i))), i);
}
