#include "tests/support/TestNetProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using TestSupport::FreePorts;

class CTestNetProcess : public TestSupport::CTestNetProcess {
public:
    explicit CTestNetProcess(std::vector<std::string> arguments)
        : TestSupport::CTestNetProcess(VANTREL_TESTNET, std::move(arguments)) {}
};

struct CRun {
    int status;
    std::string out;
};

CRun RunQuery(const std::string& arguments) {
    std::string command = std::string(VANTREL_QUERY) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    CRun run{-1, ""};
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

TEST(QueryToolTest, QueriesTheLoopbackMasterAndReportsByExitStatus) {
    int port = FreePorts(3);
    ASSERT_NE(port, 0);
    CTestNetProcess net({"--master-port", std::to_string(port), "--servers", "3",
                         "--players-per-server", "1", "--silent", "2", "--seconds", "60"});
    ASSERT_TRUE(net.Ready());

    CRun json = RunQuery("--master 127.0.0.1:" + std::to_string(port) +
                         " --speed 5 --format json --players --include-empty");
    EXPECT_EQ(json.status, 0) << json.out;
    // Sorted by ping: the silent server comes last with 9999.
    std::size_t answered = json.out.find("\"address\": \"127.0.0.1:" + std::to_string(port + 1));
    std::size_t silent = json.out.find("\"address\": \"127.0.0.1:" + std::to_string(port + 3));
    EXPECT_NE(answered, std::string::npos) << json.out;
    EXPECT_NE(silent, std::string::npos) << json.out;
    EXPECT_LT(answered, silent);
    EXPECT_NE(json.out.find("\"ping\": 9999, \"answered\": false"), std::string::npos);
    EXPECT_NE(json.out.find("\"player_list\": [{\"name\": \"Player 0\""), std::string::npos);

    // No one listens on the port below the master.
    CRun none = RunQuery("--master 127.0.0.1:" + std::to_string(port - 1));
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "vantrel-query: No response from master server.\n");

    CRun bad = RunQuery("--speed 9");
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.out.starts_with("vantrel-query: --speed must be 0 to 5, not 9\n")) << bad.out;
}

TEST(QueryToolTest, AsksEveryMasterGivenForBothVersionsAndNamesTheSilentOne) {
    int port = FreePorts(4);
    ASSERT_NE(port, 0);
    // Servers 0 and 2 speak 1.04, server 1 1.02; the first master lists 0 and 1, the second 1
    // and 2, the third none and is silent.
    CTestNetProcess net({"--master-port", std::to_string(port), "--servers", "3", "--protocols",
                         "16,15", "--master-lists", "0,1", "--more-master", "1-2", "--more-master",
                         "0:silent", "--seconds", "60"});
    ASSERT_TRUE(net.Ready());
    std::vector<std::string> more;
    const std::string& line = net.ReadyLine();
    for (std::size_t at = line.find(", master "); at != std::string::npos;
         at = line.find(", master ", at + 1))
        more.push_back(line.substr(at + 9, line.find_first_of(",\n", at + 9) - at - 9));
    ASSERT_EQ(more.size(), 2u) << line;
    const std::string first = "127.0.0.1:" + std::to_string(port);

    CRun run = RunQuery("--master " + first + " --master " + more[0] + " --master " + more[1] +
                        " --version all --speed 5 --format json");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("vantrel-query: no response from master " + more[1] + "\n"),
              std::string::npos)
        << run.out;
    auto entry = [&](int server) {
        const std::string address = "\"127.0.0.1:" + std::to_string(port + 1 + server) + "\"";
        const std::size_t at = run.out.find("{\"address\": " + address);
        return at == std::string::npos ? std::string()
                                       : run.out.substr(at, run.out.find('}', at) - at);
    };
    EXPECT_NE(
        entry(0).find("\"protocol\": 16, \"version\": \"1.04\", \"masters\": [\"" + first + "\"]"),
        std::string::npos)
        << entry(0);
    EXPECT_NE(entry(1).find("\"protocol\": 15, \"version\": \"1.02\", \"masters\": [\"" + first +
                            "\", \"" + more[0] + "\"]"),
              std::string::npos)
        << entry(1);
    EXPECT_NE(entry(2).find("\"masters\": [\"" + more[0] + "\"]"), std::string::npos) << entry(2);

    // Only the silent one: nobody answered.
    CRun none = RunQuery("--master " + more[1] + " --version all");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "vantrel-query: No response from master server.\n");
}

TEST(QueryToolTest, QueriesTheFavouritesFile) {
    int port = FreePorts(2);
    ASSERT_NE(port, 0);
    CTestNetProcess net({"--master-port", std::to_string(port), "--servers", "2",
                         "--players-per-server", "0", "--seconds", "60"});
    ASSERT_TRUE(net.Ready());
    std::string file = testing::TempDir() + "vantrel_query_favorites.dat";
    {
        std::ofstream favorites(file, std::ios::binary);
        favorites << "127.0.0.1:" << port + 2 << "\tMine\tpw\r\n"
                  << "127.0.0.1:" << port + 1 << "\tOther\t\r\n";
    }
    CRun csv = RunQuery("--favorites " + file + " --format csv --include-empty --speed 3");
    EXPECT_EQ(csv.status, 0) << csv.out;
    EXPECT_NE(csv.out.find(",127.0.0.1:" + std::to_string(port + 1) + ","), std::string::npos);
    EXPECT_NE(csv.out.find(",127.0.0.1:" + std::to_string(port + 2) + ","), std::string::npos);
    // Empty servers are left out unless asked for.
    CRun table = RunQuery("--favorites " + file);
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out.find("127.0.0.1"), std::string::npos) << table.out;
    std::remove(file.c_str());

    CRun missing = RunQuery("--favorites " + file);
    EXPECT_EQ(missing.status, 2);
}
