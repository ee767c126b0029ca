#include "app/core/CommandLine.h"

#include "app/core/MainView.h"
#include "app/core/StartupQuery.h"

#include <string_view>

namespace {

// A host (not resolved here) and a port 1 to 65535 in decimal digits only.
bool IsHostAndPort(std::string_view text) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    std::string_view port = text.substr(colon + 1);
    if (port.empty() || port.size() > 5)
        return false;
    long value = 0;
    for (char c : port) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

} // namespace

const char* const kBrowserUsage =
    "usage: vantrel [--master HOST:PORT] [--startup-query nothing|favorites|master]\n"
    "               [--view players|servers] [--screenshot FILE] [--data-home]\n"
    "       vantrel --help | --version\n";

std::optional<CCommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                             std::string& error) {
    CCommandLine options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        if (name == "--data-home") {
            options.m_dataHome = true;
            continue;
        }
        if (name == "--help" || name == "--version") {
            (name == "--help" ? options.m_help : options.m_version) = true;
            continue;
        }
        std::optional<std::string> value;
        if (std::size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name != "--master" && name != "--startup-query" && name != "--view" &&
            name != "--screenshot") {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }

        if (name == "--master") {
            if (!IsHostAndPort(*value)) {
                error =
                    "--master needs HOST:PORT with a port from 1 to 65535, not '" + *value + "'";
                return std::nullopt;
            }
            options.m_master = *value;
        } else if (name == "--startup-query") {
            if (*value == "nothing")
                options.m_startupQuery = kStartupNothing;
            else if (*value == "favorites")
                options.m_startupQuery = kStartupFavorites;
            else if (*value == "master")
                options.m_startupQuery = kStartupMaster;
            else {
                error =
                    "--startup-query must be nothing, favorites or master, not '" + *value + "'";
                return std::nullopt;
            }
        } else if (name == "--view") {
            if (*value == "players")
                options.m_view = kPlayerView;
            else if (*value == "servers")
                options.m_view = kServerView;
            else {
                error = "--view must be players or servers, not '" + *value + "'";
                return std::nullopt;
            }
        } else {
            if (value->empty()) {
                error = "--screenshot needs a file name";
                return std::nullopt;
            }
            options.m_screenshot = *value;
        }
    }
    return options;
}
