#include "app/core/Join.h"

#include "StandInGame.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

namespace fs = std::filesystem;

// Dialogs that give scripted answers and note what they were asked.
class CScriptedDialogs : public CJoinDialogs {
public:
    EPasswordAnswer AskPassword(const std::string& question) override {
        m_questions.push_back(question);
        return m_answer;
    }
    std::optional<std::string> ChooseGameExecutable() override {
        ++m_fileDialogs;
        if (m_files.empty())
            return std::nullopt;
        std::optional<std::string> file = m_files.front();
        m_files.pop_front();
        return file;
    }
    void ShowError(const std::string& message) override { m_errors.push_back(message); }
    std::optional<std::string> EnterServerPassword() override {
        ++m_passwordDialogs;
        return m_entered;
    }

    std::vector<std::string> m_errors;
    EPasswordAnswer m_answer = EPasswordAnswer::Yes;
    std::deque<std::optional<std::string>> m_files;
    std::vector<std::string> m_questions;
    int m_fileDialogs = 0;
    int m_passwordDialogs = 0;
    std::optional<std::string> m_entered;
};

class JoinTest : public testing::Test {
protected:
    JoinTest() {
        EXPECT_TRUE(OpenSettingsKey(m_key));
        fs::create_directory(m_dir.Path() / "game");
        m_game = m_dir.Path() / "game/jk2mp";
        WriteStandInGame(m_game, m_dir.Path() / "record");
    }
    std::string Record() { return AwaitStandInRecord(m_dir.Path() / "record"); }
    std::string Expected(const std::string& command) {
        return (m_dir.Path() / "game").string() + "\n" + command + std::string(1, '\0');
    }

    CTempWorkDir m_dir;
    CRegistryKey m_key;
    fs::path m_game;
    CScriptedDialogs m_dialogs;
};

} // namespace

TEST_F(JoinTest, FirstJoinAsksForTheExecutableAndKeepsIt) {
    // Nothing stored: the start fails at once and the file dialog asks for the game.
    m_dialogs.m_files = {(m_dir.Path() / "missing").string(), m_game.string()};
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "", ""}, m_dialogs), EJoinResult::Started);
    EXPECT_EQ(m_dialogs.m_fileDialogs, 2); // asked again while the start fails
    EXPECT_TRUE(m_dialogs.m_questions.empty());
    EXPECT_EQ(Record(), Expected("connect 10.0.0.5:27960"));
    EXPECT_EQ(LoadGamePath(m_key), m_game.string());
    EXPECT_EQ(fs::current_path(), m_dir.Path());

    // The next join starts the stored game without asking.
    fs::remove(m_dir.Path() / "record");
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.6:1", " pw ", "pw"}, m_dialogs), EJoinResult::Started);
    EXPECT_EQ(m_dialogs.m_fileDialogs, 2);
    EXPECT_EQ(Record(), Expected("connect \"10.0.0.6:1\"; password \"pw\""));
}

TEST_F(JoinTest, AmbiguousPasswordsAreAskedFor) {
    SaveGamePath(m_key, m_game.string());
    m_dialogs.m_answer = EPasswordAnswer::Yes;
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "typed", "fav"}, m_dialogs),
              EJoinResult::Started);
    EXPECT_EQ(m_dialogs.m_questions,
              (std::vector<std::string>{"Ambiguous passwords! Use the favorite one (fav)?"}));
    EXPECT_EQ(Record(), Expected("connect \"10.0.0.5:27960\"; password \"fav\""));

    // Cancel starts nothing and asks for no file.
    fs::remove(m_dir.Path() / "record");
    m_dialogs.m_answer = EPasswordAnswer::Cancel;
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "typed", "fav"}, m_dialogs),
              EJoinResult::Cancelled);
    EXPECT_EQ(m_dialogs.m_fileDialogs, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(m_dir.Path() / "record"));
}

TEST_F(JoinTest, CancelledFileDialogEndsTheJoinAndKeepsThePath) {
    SaveGamePath(m_key, (m_dir.Path() / "gone").string());
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "", ""}, m_dialogs), EJoinResult::Cancelled);
    EXPECT_EQ(m_dialogs.m_fileDialogs, 1);
    EXPECT_EQ(LoadGamePath(m_key), (m_dir.Path() / "gone").string());
    EXPECT_EQ(fs::current_path(), m_dir.Path());

    // The "..." button stores a choice and starts nothing; cancelling it changes nothing.
    m_dialogs.m_files = {m_game.string()};
    ChooseGameExecutable(m_key, m_dialogs);
    EXPECT_EQ(LoadGamePath(m_key), m_game.string());
    ChooseGameExecutable(m_key, m_dialogs);
    EXPECT_EQ(LoadGamePath(m_key), m_game.string());
    EXPECT_FALSE(fs::exists(m_dir.Path() / "record"));
}

TEST_F(JoinTest, AWindowsGameWithoutWineSaysSoBeforeAskingAgain) {
    const std::string windowsGame = (m_dir.Path() / "game/jk2mp.exe").string();
    CTempWorkDir::WriteFile(windowsGame, "MZ");
    SaveGamePath(m_key, windowsGame);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (m_dir.Path() / "game").c_str(), 1);
    m_dialogs.m_files = {m_game.string()};
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "", ""}, m_dialogs), EJoinResult::Started);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(m_dialogs.m_errors,
              std::vector<std::string>{"Wine is needed to start a Windows game: " + windowsGame});
    EXPECT_EQ(m_dialogs.m_fileDialogs, 1);
    EXPECT_EQ(Record(), Expected("connect 10.0.0.5:27960"));
    EXPECT_EQ(LoadGamePath(m_key), m_game.string());
}

TEST_F(JoinTest, LockedServersAskForAPasswordOnlyWhenNoneIsGiven) {
    SaveGamePath(m_key, m_game.string());
    // Nothing typed, no favourite password: the dialog's text joins as if typed (trimmed).
    m_dialogs.m_entered = " secret ";
    CJoinRequest locked{"10.0.0.5:27960", "  ", "", true};
    EXPECT_EQ(JoinServer(m_key, locked, m_dialogs), EJoinResult::Started);
    EXPECT_EQ(m_dialogs.m_passwordDialogs, 1);
    EXPECT_EQ(Record(), Expected("connect \"10.0.0.5:27960\"; password \"secret\""));

    // A typed password, or a favourite's, is used without asking.
    fs::remove(m_dir.Path() / "record");
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "typed", "", true}, m_dialogs),
              EJoinResult::Started);
    EXPECT_EQ(Record(), Expected("connect \"10.0.0.5:27960\"; password \"typed\""));
    fs::remove(m_dir.Path() / "record");
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "", "fav", true}, m_dialogs),
              EJoinResult::Started);
    EXPECT_EQ(Record(), Expected("connect 10.0.0.5:27960")); // an empty typed one wins, as ever
    // An open server never asks.
    fs::remove(m_dir.Path() / "record");
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "", "", false}, m_dialogs),
              EJoinResult::Started);
    EXPECT_EQ(Record(), Expected("connect 10.0.0.5:27960"));
    EXPECT_EQ(m_dialogs.m_passwordDialogs, 1);

    // Escape in the dialog cancels the join: nothing starts, no file is asked for.
    fs::remove(m_dir.Path() / "record");
    m_dialogs.m_entered.reset();
    EXPECT_EQ(JoinServer(m_key, locked, m_dialogs), EJoinResult::Cancelled);
    EXPECT_EQ(m_dialogs.m_passwordDialogs, 2);
    EXPECT_EQ(m_dialogs.m_fileDialogs, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(m_dir.Path() / "record"));
}

TEST_F(JoinTest, AChosenFileThatCannotStartIsNamedWithWhyAndNotKept) {
    // Given a stored game that has gone, and choices of a missing file, a file that is no
    // program and a folder before the real game,
    SaveGamePath(m_key, (m_dir.Path() / "gone").string());
    const std::string missing = (m_dir.Path() / "missing").string();
    const std::string text = (m_dir.Path() / "hostname").string();
    CTempWorkDir::WriteFile(text, "player-pc\n");
    const std::string folder = (m_dir.Path() / "game").string();
    m_dialogs.m_files = {missing, text, folder};
    // when a join runs into them and the last choice is cancelled,
    EXPECT_EQ(JoinServer(m_key, {"10.0.0.5:27960", "", ""}, m_dialogs), EJoinResult::Cancelled);
    // then each chosen file was named with its reason before the chooser came back, the stored
    // path (the user's own choice of earlier) said nothing, and none of them was kept.
    EXPECT_EQ(m_dialogs.m_errors, (std::vector<std::string>{
                                      "Cannot start the game \"" + missing + "\": not found.",
                                      "Cannot start the game \"" + text + "\": not a program.",
                                      "Cannot start the game \"" + folder + "\": not a program."}));
    EXPECT_EQ(m_dialogs.m_fileDialogs, 4);
    EXPECT_EQ(LoadGamePath(m_key), (m_dir.Path() / "gone").string());

    // The "..." button checks its choice the same way, without starting anything.
    m_dialogs.m_errors.clear();
    m_dialogs.m_files = {text, m_game.string()};
    ChooseGameExecutable(m_key, m_dialogs);
    EXPECT_EQ(m_dialogs.m_errors,
              std::vector<std::string>{"Cannot start the game \"" + text + "\": not a program."});
    EXPECT_EQ(LoadGamePath(m_key), m_game.string());
    EXPECT_FALSE(fs::exists(m_dir.Path() / "record"));
}
