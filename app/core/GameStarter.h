// Starting the game executable for a join. The command goes to the game as its single
// argument, never through a shell; a ".exe" runs through wine when wine is installed. Only the
// started process runs in the game's folder: the browser's own working directory never changes,
// because the favourites file is found relative to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The file-open dialog that asks for the game executable.
inline constexpr const char* kGameFileName = "jk2mp.exe";
inline constexpr const char* kGameFileFilter = "*.exe|*.exe||";

// The folder the game starts in: the path up to, not including, its last slash; empty when
// the path has none, and the game then starts in the browser's working directory.
std::string GameFolder(std::string_view executable);

// The full path of `program` found through PATH, or empty.
std::string FindInPath(std::string_view program);

// The arguments the game is started with: the executable and the command, or wine, the
// executable and the command.
std::vector<std::string> GameArguments(const std::string& executable, const std::string& command);

// Starts the game without waiting for it. Returns 0 on success, else the errno of the failure
// (missing or non-executable file, no process), so the caller can ask for the executable
// again. A folder that cannot be entered is not a failure: the game then starts where the
// browser runs.
int StartGame(const std::string& executable, const std::string& command);
