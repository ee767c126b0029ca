#include "app/core/DataHome.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

// Like mkdir -p; folders it makes are private to the user, as the favourites may hold passwords.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

std::string DataHomeFolder() {
    // The XDG base directory rules say a relative value is to be ignored.
    if (const char* data = std::getenv("XDG_DATA_HOME"); IsAbsolute(data))
        return std::string(data) + "/vantrel";
    if (const char* home = std::getenv("HOME"); IsAbsolute(home))
        return std::string(home) + "/.local/share/vantrel";
    return std::string();
}

bool EnterDataHome(std::string& error) {
    std::string folder = DataHomeFolder();
    if (folder.empty()) {
        error = "no data folder: neither XDG_DATA_HOME nor HOME names an absolute folder";
        return false;
    }
    if (!MakeFolders(folder) || chdir(folder.c_str()) != 0) {
        error = "cannot use the data folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
