// Options of the browser's command line. They hold for this run only: nothing of them is
// written back to the settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CCommandLine {
    std::optional<std::string> m_master;         // --master HOST:PORT
    std::optional<std::uint32_t> m_startupQuery; // --startup-query nothing|favorites|master
    std::optional<int> m_view;                   // --view players|servers
    std::optional<std::string> m_screenshot;     // --screenshot FILE
    bool m_dataHome = false;                     // --data-home: run in DataHomeFolder()
    bool m_help = false;                         // --help: print kBrowserUsage and exit
    bool m_version = false;                      // --version: print the version and exit
};

// What --help prints.
extern const char* const kBrowserUsage;

// `arguments` without the program name; "--name value" and "--name=value" both work, and
// "--data-home", "--help" and "--version" take no value. On a bad
// command line returns nullopt and sets `error` to a one-line message.
std::optional<CCommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                             std::string& error);
