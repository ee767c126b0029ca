// Starting the game executable for a join, never through a shell. A native game gets the
// command as its single argument; a ".exe" runs through Wine and receives the whole command
// line exactly: its quoted Windows path directly followed by the command. Only the started
// process runs in the game's folder: the browser's own working directory never changes,
// because the favourites file is found relative to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The file-open dialog that asks for the game executable.
inline constexpr const char* kGameFileName = "jk2mp.exe";
// Windows builds of the game end in ".exe"; the native Linux builds have no extension.
inline constexpr const char* kGameFileFilter = "Game (*.exe)|*.exe|All files (*)|*||";

// StartGame's failure for a Windows game on a machine without Wine.
inline constexpr int kWineMissing = -1;

// "Wine is needed to start a Windows game: <path>".
std::string WineMissingMessage(std::string_view executable);

// Why a game file cannot be started, for a failure `error` of StartGame or GameFileProblem:
// "Cannot start the game "<path>": not found." (or "not a program", or the system's reason).
std::string GameStartMessage(std::string_view executable, int error);

// Whether `executable` can be a game without starting it: 0, ENOENT when it is missing, EACCES
// when it is no regular file or, being no Windows program, may not be run.
int GameFileProblem(const std::string& executable);

// Whether the file is a Windows program, which runs through Wine.
bool IsWindowsGame(std::string_view executable);

// The path Wine's programs see for a Unix path: drive Z: is the Unix root.
std::string WindowsPath(std::string_view unixPath);

// The command line the game receives: a double quote, the path, a double quote, and directly
// after it the command.
std::string GameCommandLine(std::string_view path, std::string_view command);

// The Windows launcher that hands Wine the raw command line: in $VANTREL_LIBEXEC_DIR when set,
// else in libexec/vantrel beside the program's own folder.
std::string WineLauncherPath();

// The folder the game starts in: the path up to, not including, its last slash; empty when
// the path has none, and the game then starts in the browser's working directory.
std::string GameFolder(std::string_view executable);

// The full path of `program` found through PATH, or empty.
std::string FindInPath(std::string_view program);

// The arguments the game is started with: the executable and the command, or for a Windows
// game `wine`, the launcher and the game's command line.
std::vector<std::string> GameArguments(const std::string& executable, const std::string& command,
                                       const std::string& wine, const std::string& launcher);

// Starts the game without waiting for it. Returns 0 on success, else the errno of the failure
// (missing or non-executable file, no process) or kWineMissing, so the caller can ask for the
// executable again. A folder that cannot be entered is not a failure: the game then starts where
// the browser runs.
int StartGame(const std::string& executable, const std::string& command);
