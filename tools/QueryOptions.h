// Command line of vantrel-query.
#pragma once

#include <string>
#include <vector>

struct CQueryOptions {
    enum class EFormat { Table, Json, Csv };

    std::string master = "master.jk2mv.org:28060";
    std::string favorites; // when set, the favourites file is queried instead of the master
    int versionIndex = 0;  // 0 "1.0", 1 "1.04"
    int speedIndex = 1;
    bool includeEmpty = false;
    bool includeFull = true;
    EFormat format = EFormat::Table;
    bool players = false;
    bool variables = false;
    bool help = false;        // --help: print the usage and exit
    bool showVersion = false; // --version without a game version: print the program's
};

extern const char* const kQueryUsage;

// Throws std::invalid_argument with a one-line message for anything it does not accept.
CQueryOptions ParseQueryOptions(const std::vector<std::string>& arguments);
