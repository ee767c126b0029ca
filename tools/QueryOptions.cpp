#include "tools/QueryOptions.h"

#include <stdexcept>

const char* const kQueryUsage =
    "usage: vantrel-query [--master HOST:PORT ... | --favorites FILE] [--version 1.0|1.04|all]\n"
    "         [--speed 0..5] [--include-empty] [--no-full] [--format table|json|csv]\n"
    "         [--players] [--variables] [--timing] [--humans]\n"
    "       vantrel-query --help | --version\n";

CQueryOptions ParseQueryOptions(const std::vector<std::string>& arguments) {
    CQueryOptions options;
    bool masterGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size())
                throw std::invalid_argument("missing value after " + flag);
            return arguments[++i];
        };
        if (flag == "--master") {
            const std::string& master = value();
            std::size_t colon = master.find(':');
            if (colon == 0 || colon == std::string::npos || colon + 1 == master.size() ||
                master.find_first_not_of("0123456789", colon + 1) != std::string::npos)
                throw std::invalid_argument("--master needs HOST:PORT, not " + master);
            if (!masterGiven)
                options.masters.clear();
            options.masters.push_back(master);
            masterGiven = true;
        } else if (flag == "--favorites") {
            options.favorites = value();
            if (options.favorites.empty())
                throw std::invalid_argument("--favorites needs a file name");
        } else if (flag == "--help") {
            options.help = true;
        } else if (flag == "--version" &&
                   (i + 1 >= arguments.size() || arguments[i + 1].rfind("--", 0) == 0)) {
            // Followed by a game version it chooses the servers' version, as ever.
            options.showVersion = true;
        } else if (flag == "--version") {
            const std::string& version = value();
            if (version == "1.0")
                options.versionIndex = 0;
            else if (version == "1.04")
                options.versionIndex = 1;
            else if (version == "all")
                options.versionIndex = 2;
            else
                throw std::invalid_argument("--version must be 1.0, 1.04 or all, not " + version);
        } else if (flag == "--speed") {
            const std::string& speed = value();
            if (speed.size() != 1 || speed[0] < '0' || speed[0] > '5')
                throw std::invalid_argument("--speed must be 0 to 5, not " + speed);
            options.speedIndex = speed[0] - '0';
        } else if (flag == "--include-empty")
            options.includeEmpty = true;
        else if (flag == "--no-full")
            options.includeFull = false;
        else if (flag == "--format") {
            const std::string& format = value();
            if (format == "table")
                options.format = CQueryOptions::EFormat::Table;
            else if (format == "json")
                options.format = CQueryOptions::EFormat::Json;
            else if (format == "csv")
                options.format = CQueryOptions::EFormat::Csv;
            else
                throw std::invalid_argument("--format must be table, json or csv, not " + format);
        } else if (flag == "--players")
            options.players = true;
        else if (flag == "--variables")
            options.variables = true;
        else if (flag == "--timing")
            options.timing = true;
        else if (flag == "--humans")
            options.humansOnly = true;
        else
            throw std::invalid_argument("unknown argument " + flag);
    }
    if (masterGiven && !options.favorites.empty())
        throw std::invalid_argument("--master and --favorites exclude each other");
    return options;
}
