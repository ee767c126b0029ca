#include "query/Favorites.h"

#include "query/ServerRecord.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string FavoriteField(std::string_view line, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos)
            return std::string();
        start = tab + 1;
    }
    std::size_t end = line.find('\t', start);
    return std::string(line.substr(start, end == std::string_view::npos ? end : end - start));
}

std::vector<std::string_view> SplitFavoriteLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool ReadFavoritesText(const std::string& path, std::string& text) {
    text.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    // Only a regular file is read: a pipe or a device in its place could block or never end.
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = error;
        return false;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    int readError = got < 0 ? errno : 0;
    close(fd);
    if (readError != 0) {
        text.clear();
        errno = readError;
        return false;
    }
    return true;
}

bool LoadFavoritesIntoList(const std::string& path, CServerList& list) {
    list.Clear();
    std::string text;
    if (!ReadFavoritesText(path, text))
        return false;
    for (std::string_view line : SplitFavoriteLines(text)) {
        CSockAddr address(FavoriteField(line, 0));
        list.FindOrInsert(address) =
            CServerRecord(address, FavoriteField(line, 1), FavoriteField(line, 2));
    }
    return true;
}
