// The application object: runs the main window modally; when it closes, the program ends.
#pragma once

#include "app/core/CommandLine.h"

namespace Platform {
class IPlatform;
}

class CBrowserApp {
public:
    static constexpr const char* kAppName = "Vantrel Jedi Knight 2";

    explicit CBrowserApp(CCommandLine commandLine) : m_commandLine(std::move(commandLine)) {}

    // Shows the main window until it is closed; the process's exit code.
    int Run(Platform::IPlatform& platform);

private:
    CCommandLine m_commandLine;
};
