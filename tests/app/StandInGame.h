// Test helper: a stand-in game executable, a shell script that records its working directory
// and its arguments so a test can check them byte for byte.
#pragma once

#include "TempWorkDir.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

// The script writes the physical working directory, a line feed, then each argument followed
// by a zero byte into `record`: first beside it, then renamed, so the file appears complete.
inline void WriteStandInGame(const std::filesystem::path& script,
                             const std::filesystem::path& record) {
    CTempWorkDir::WriteFile(script, "#!/bin/sh\n"
                                    "{ pwd -P; printf '%s\\000' \"$@\"; } > '" +
                                        record.string() + ".part'\n/bin/mv '" + record.string() +
                                        ".part' '" + record.string() + "'\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

// The game runs detached from the browser; wait for its record (up to ten seconds).
inline std::string AwaitStandInRecord(const std::filesystem::path& record) {
    for (int i = 0; i < 1000 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return CTempWorkDir::ReadFile(record);
}
