// Command line of vantrel-query.
#pragma once

#include <string>
#include <vector>

struct CQueryOptions {
    enum class EFormat { Table, Json, Csv };

    // Every master asked; --master replaces the public ones.
    std::vector<std::string> masters = {"master.jk2mv.org:28060", "master.jkhub.org:28060",
                                        "masterjk2.ravensoft.com:28060"};
    std::string favorites; // when set, the favourites file is queried instead of the master
    int versionIndex = 2;  // 0 "1.0", 1 "1.04", 2 both
    int speedIndex = 1;
    bool includeEmpty = false;
    bool includeFull = true;
    EFormat format = EFormat::Table;
    bool players = false;
    bool variables = false;
    bool timing = false;      // on stderr: when the first result came and when the last
    bool humansOnly = false;  // --humans: only servers with at least one player who is no bot
    bool help = false;        // --help: print the usage and exit
    bool showVersion = false; // --version without a game version: print the program's
};

extern const char* const kQueryUsage;

// Throws std::invalid_argument with a one-line message for anything it does not accept.
CQueryOptions ParseQueryOptions(const std::vector<std::string>& arguments);
