#include "app/core/FavoritesFile.h"

#include "app/core/TextTrim.h"
#include "net/AtomicFile.h"
#include "net/SockAddr.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Splits at line feeds, dropping one CR before each; text after the last line feed is a line,
// the empty text after a final line feed is not.
std::vector<std::string_view> SplitLines(std::string_view text) {
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

// False when the file cannot be opened or read to its end (a folder in its place, say).
bool ReadWholeFile(const std::string& path, std::string& text) {
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

std::string FavoriteLine(std::string_view address, std::string_view name,
                         std::string_view password) {
    std::string line(address);
    line += '\t';
    line += name;
    line += '\t';
    line += password;
    line += "\r\n";
    return line;
}

} // namespace

std::vector<CFavorite> ReadFavoriteLines(const std::string& path, int* error) {
    std::string text;
    std::vector<CFavorite> favorites;
    if (error)
        *error = 0;
    if (!ReadWholeFile(path, text)) {
        if (error && errno != ENOENT)
            *error = errno;
        return favorites;
    }
    for (std::string_view line : SplitLines(text))
        favorites.push_back(
            {FavoriteField(line, 0), FavoriteField(line, 1), FavoriteField(line, 2)});
    return favorites;
}

std::vector<CFavorite> LoadFavoriteRows(const std::string& path, int* error) {
    std::vector<CFavorite> rows = ReadFavoriteLines(path, error);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

int CleanFavoriteRows(std::vector<CFavorite>& rows) {
    for (int row = static_cast<int>(rows.size()) - 1; row >= 0; --row) {
        CFavorite& favorite = rows[static_cast<std::size_t>(row)];
        favorite.m_name = CleanFieldText(favorite.m_name);
        CSockAddr address(favorite.m_address);
        if (address.sin_addr.s_addr == INADDR_NONE)
            return row;
        favorite.m_address = address.Format();
        favorite.m_password = CleanFieldText(favorite.m_password);
    }
    return -1;
}

int SaveFavoriteRows(const std::string& path, const std::vector<CFavorite>& rows) {
    std::string text;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        text += FavoriteLine(it->m_address, it->m_name, it->m_password);
    return ReplaceFileAtomically(path, text);
}

std::string FavoritesReadError(const std::string& path, int error) {
    return "Cannot read the favorites file \"" + path + "\": " + std::strerror(error) +
           ". It is not saved over.";
}

std::string FavoritesFileError(const std::string& path, int error) {
    return "Cannot write the favorites file \"" + path + "\": " + std::strerror(error) + ".";
}

EAppendResult AppendFavorite(const std::string& path, std::string_view address,
                             std::string_view name, int* error) {
    std::string text;
    // A missing file is an empty list and gets created; one that exists but cannot be read
    // must not be replaced by the single new line.
    if (!ReadWholeFile(path, text)) {
        const int readError = errno;
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 || errno != ENOENT) {
            if (error)
                *error = readError;
            return EAppendResult::Failed;
        }
    }
    for (std::string_view line : SplitLines(text)) {
        if (FavoriteField(line, 0) == address)
            return EAppendResult::AlreadyListed;
    }
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    text += FavoriteLine(address, CleanFieldText(name), "");
    if (const int writeError = ReplaceFileAtomically(path, text); writeError != 0) {
        if (error)
            *error = writeError;
        return EAppendResult::Failed;
    }
    return EAppendResult::Added;
}
