#include "query/Favorites.h"

#include "query/ServerRecord.h"

#include <fstream>

namespace {

// Field 0 is the text before the first tab, field n the text after the n-th tab.
std::string Field(const std::string& line, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos)
            return std::string();
        start = tab + 1;
    }
    std::size_t end = line.find('\t', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

bool LoadFavoritesIntoList(const std::string& path, CServerList& list) {
    list.Clear();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        CSockAddr address(Field(line, 0));
        list.FindOrInsert(address) = CServerRecord(address, Field(line, 1), Field(line, 2));
    }
    return true;
}
