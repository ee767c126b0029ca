// A Windows game started through the real Wine receives exactly the command line a join builds.
#include "app/core/GameStarter.h"
#include "app/core/JoinCommand.h"

#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Wine's first start in a new prefix takes a while.
std::string AwaitCommandLine(const fs::path& record) {
    for (int i = 0; i < 1200 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return CTempWorkDir::ReadFile(record);
}

// Lets the prefix's wineserver end with the test instead of lingering.
void WaitForWineServer() {
    std::string program = FindInPath("wineserver");
    if (program.empty())
        return;
    char* argv[] = {program.data(), const_cast<char*>("-w"), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0)
        waitpid(pid, nullptr, 0);
}

} // namespace

TEST(WineGameTest, TheGameGetsItsQuotedPathDirectlyFollowedByTheCommand) {
    ASSERT_NE(FindInPath("wine"), "") << "wine is a test dependency";
    setenv("WINEPREFIX", VANTREL_WINEPREFIX, 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("VANTREL_LIBEXEC_DIR", VANTREL_LIBEXEC_DIR, 1);
    CTempWorkDir dir;
    fs::create_directories("Game Data");
    const fs::path game = dir.Path() / "Game Data/jk2mp.exe";
    fs::copy_file(VANTREL_STANDIN_EXE, game);
    const std::string path = "Z:" + dir.Path().string() + "/Game Data/jk2mp.exe";
    std::string windowsPath;
    for (char c : path)
        windowsPath += c == '/' ? '\\' : c;

    for (const char* password : {"", "pw", "p w"}) {
        SCOPED_TRACE(password);
        const std::string command = BuildConnectCommand("127.0.0.1:28070", password);
        ASSERT_EQ(StartGame(game.string(), command), 0);
        EXPECT_EQ(AwaitCommandLine(dir.Path() / "Game Data/cmdline.txt"),
                  "\"" + windowsPath + "\"" + command);
        fs::remove(dir.Path() / "Game Data/cmdline.txt");
    }
    EXPECT_EQ(BuildConnectCommand("127.0.0.1:28070", "p w"),
              "connect \"127.0.0.1:28070\"; password \"p w\"");
    WaitForWineServer();
    unsetenv("VANTREL_LIBEXEC_DIR");
}
