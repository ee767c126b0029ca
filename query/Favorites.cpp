#include "query/Favorites.h"

#include "query/ServerRecord.h"

#include <filesystem>
#include <fstream>

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

bool LoadFavoritesIntoList(const std::string& path, CServerList& list) {
    list.Clear();
    // A pipe or device in the file's place would block the window or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        CSockAddr address(FavoriteField(line, 0));
        list.FindOrInsert(address) =
            CServerRecord(address, FavoriteField(line, 1), FavoriteField(line, 2));
    }
    return true;
}
