#include "app/core/GameStarter.h"

#include "StandInGame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class CPathOverride {
public:
    explicit CPathOverride(const std::string& path) : m_old(std::getenv("PATH")) {
        setenv("PATH", path.c_str(), 1);
    }
    ~CPathOverride() { setenv("PATH", m_old.c_str(), 1); }

private:
    std::string m_old;
};

} // namespace

TEST(GameStarterTest, StartsTheGameInItsFolderWithTheCommandAsOneArgument) {
    CTempWorkDir dir;
    fs::create_directories("Games/Game Data");
    const fs::path game = dir.Path() / "Games/Game Data/jk2mp";
    WriteStandInGame(game, dir.Path() / "record");
    const std::string command = "connect \"10.0.0.5:27960\"; password \"p w\"";

    EXPECT_EQ(StartGame(game.string(), command), 0);
    EXPECT_EQ(AwaitStandInRecord(dir.Path() / "record"),
              (dir.Path() / "Games/Game Data").string() + "\n" + command + std::string(1, '\0'));
    // Only the game ran in its folder; the browser's own never changed.
    EXPECT_EQ(fs::current_path(), dir.Path());
}

TEST(GameStarterTest, ExeFilesRunThroughWineWithTheWholeCommandLine) {
    CTempWorkDir dir;
    fs::create_directories("bin");
    fs::create_directories("game");
    fs::create_directories("libexec");
    const fs::path game = dir.Path() / "game/JK2MP.EXE";
    WriteStandInGame(game, dir.Path() / "direct");
    WriteStandInGame(dir.Path() / "bin/wine", dir.Path() / "wine");
    CTempWorkDir::WriteFile("libexec/vantrel-winexec.exe", "MZ");
    setenv("VANTREL_LIBEXEC_DIR", (dir.Path() / "libexec").c_str(), 1);
    const std::string line = "\"" + WindowsPath(game.string()) + "\"connect 1.2.3.4:5";

    {
        CPathOverride path((dir.Path() / "bin").string());
        EXPECT_EQ(StartGame(game.string(), "connect 1.2.3.4:5"), 0);
        EXPECT_EQ(AwaitStandInRecord(dir.Path() / "wine"),
                  (dir.Path() / "game").string() + "\n" +
                      (dir.Path() / "libexec/vantrel-winexec.exe").string() + std::string(1, '\0') +
                      line + std::string(1, '\0'));
        // Without its launcher wine would hand the game a re-quoted line: no start at all.
        fs::remove(dir.Path() / "libexec/vantrel-winexec.exe");
        EXPECT_EQ(StartGame(game.string(), "connect 1.2.3.4:5"), ENOENT);
    }
    // Without wine a Windows game cannot start, and the caller says why.
    CPathOverride path((dir.Path() / "game").string());
    EXPECT_EQ(FindInPath("wine"), "");
    EXPECT_EQ(StartGame(game.string(), "connect 1.2.3.4:5"), kWineMissing);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(dir.Path() / "direct"));
    unsetenv("VANTREL_LIBEXEC_DIR");
}

TEST(GameStarterTest, CommandLinesAsTheGameReceivesThem) {
    EXPECT_EQ(WindowsPath("/home/me/Games/jk2mp.exe"), "Z:\\home\\me\\Games\\jk2mp.exe");
    EXPECT_EQ(GameCommandLine("C:\\Games\\GameData\\jk2mp.exe", "connect 10.0.0.5:27960"),
              "\"C:\\Games\\GameData\\jk2mp.exe\"connect 10.0.0.5:27960");
    EXPECT_EQ(GameArguments("/g/jk2mp", "connect 1.2.3.4:5", "/usr/bin/wine", "/l/w.exe"),
              (std::vector<std::string>{"/g/jk2mp", "connect 1.2.3.4:5"}));
    EXPECT_EQ(GameArguments("/g/jk2mp.Exe", "connect 1.2.3.4:5", "/usr/bin/wine", "/l/w.exe"),
              (std::vector<std::string>{"/usr/bin/wine", "/l/w.exe",
                                        "\"Z:\\g\\jk2mp.Exe\"connect 1.2.3.4:5"}));
    EXPECT_TRUE(IsWindowsGame("a.EXE"));
    EXPECT_FALSE(IsWindowsGame(".exe"));
    EXPECT_FALSE(IsWindowsGame("jk2mp.x86_64"));
}

TEST(GameStarterTest, FailuresAreReportedForAnotherChoice) {
    CTempWorkDir dir;
    EXPECT_NE(StartGame("", "connect 1.2.3.4:5"), 0);
    EXPECT_NE(StartGame((dir.Path() / "missing").string(), "connect 1.2.3.4:5"), 0);
    // A file that is not executable.
    CTempWorkDir::WriteFile("plain", "#!/bin/sh\n");
    EXPECT_NE(StartGame((dir.Path() / "plain").string(), "connect 1.2.3.4:5"), 0);
    // A folder.
    EXPECT_NE(StartGame(dir.Path().string(), "connect 1.2.3.4:5"), 0);
    EXPECT_EQ(fs::current_path(), dir.Path());

    // A bare name starts in the browser's folder (there is no folder to enter).
    WriteStandInGame(dir.Path() / "game", dir.Path() / "record");
    CPathOverride path("/nonexistent");
    EXPECT_EQ(StartGame("game", "connect 1.2.3.4:5"), 0);
    EXPECT_EQ(AwaitStandInRecord(dir.Path() / "record"),
              dir.Path().string() + "\nconnect 1.2.3.4:5" + std::string(1, '\0'));
}

TEST(GameStarterTest, AMissingExeIsAFailureEvenWithWineInstalled) {
    CTempWorkDir dir;
    fs::create_directories("bin");
    WriteStandInGame(dir.Path() / "bin/wine", dir.Path() / "wine");
    CPathOverride path((dir.Path() / "bin").string());
    // Wine itself would start and fail later, after the browser had closed as if joined.
    EXPECT_NE(StartGame((dir.Path() / "moved/jk2mp.exe").string(), "connect 1.2.3.4:5"), 0);
    fs::create_directories("folder.exe");
    EXPECT_NE(StartGame((dir.Path() / "folder.exe").string(), "connect 1.2.3.4:5"), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(dir.Path() / "wine"));
}

TEST(GameStarterTest, ARelativePathIsFoundFromTheBrowsersFolder) {
    CTempWorkDir dir;
    fs::create_directories("games/jk2");
    WriteStandInGame(dir.Path() / "games/jk2/jk2mp", dir.Path() / "record");
    EXPECT_EQ(StartGame("games/jk2/jk2mp", "connect 1.2.3.4:5"), 0);
    EXPECT_EQ(AwaitStandInRecord(dir.Path() / "record"),
              (dir.Path() / "games/jk2").string() + "\nconnect 1.2.3.4:5" + std::string(1, '\0'));
    EXPECT_EQ(fs::current_path(), dir.Path());
}

TEST(GameStarterTest, FolderOfTheExecutable) {
    EXPECT_EQ(GameFolder("/games/jk2/jk2mp.exe"), "/games/jk2");
    EXPECT_EQ(GameFolder("/jk2mp"), "/");
    EXPECT_EQ(GameFolder("jk2mp.exe"), "");
    EXPECT_EQ(GameFolder("rel/dir/jk2mp"), "rel/dir");
}
