#include "net/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A link is followed to the file it names: replacing the link itself would cut the user's
// file off and leave it stale.
std::string TargetOf(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

int ReplaceFileAtomically(const std::string& linkOrPath, std::string_view content,
                          mode_t newFileMode) {
    const std::string path = TargetOf(linkOrPath);
    std::string temporary = path + ".XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;

    struct stat old {};
    mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : newFileMode;
    int error = fchmod(fd, mode) == 0 ? 0 : errno;

    const char* data = content.data();
    std::size_t left = content.size();
    while (error == 0 && left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno != EINTR)
                error = errno;
            continue;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.c_str());
    return error;
}
