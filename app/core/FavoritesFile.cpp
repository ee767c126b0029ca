#include "app/core/FavoritesFile.h"

#include "app/core/TextTrim.h"
#include "net/AtomicFile.h"
#include "net/SockAddr.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <sys/stat.h>

namespace {

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
    if (!ReadFavoritesText(path, text)) {
        if (error && errno != ENOENT)
            *error = errno;
        return favorites;
    }
    for (std::string_view line : SplitFavoriteLines(text))
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

std::vector<CFavorite> MergeFavoriteRows(const std::vector<CFavorite>& rows,
                                         const std::vector<CFavorite>& loaded,
                                         const std::vector<CFavorite>& current) {
    std::set<std::string_view> known;
    for (const std::vector<CFavorite>* list : {&rows, &loaded})
        for (const CFavorite& favorite : *list)
            known.insert(favorite.m_address);
    // `current` is top row first as well: its newest line, added last, is its first row.
    std::vector<CFavorite> merged;
    for (const CFavorite& favorite : current)
        if (known.insert(favorite.m_address).second)
            merged.push_back(favorite);
    merged.insert(merged.end(), rows.begin(), rows.end());
    return merged;
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
    if (!ReadFavoritesText(path, text)) {
        const int readError = errno;
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 || errno != ENOENT) {
            if (error)
                *error = readError;
            return EAppendResult::Failed;
        }
    }
    for (std::string_view line : SplitFavoriteLines(text)) {
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
