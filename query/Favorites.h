// Reading the favourites file into the server list for a favourites query.
#pragma once

#include <string>
#include <string_view>

class CServerList;

// One line's field: field 0 is the text before the first tab, field n the text after the n-th
// tab up to the next; empty when the line has fewer fields.
std::string FavoriteField(std::string_view line, int index);

// Clears the list, then adds one record per line (address, name and password fields separated
// by tabs; a later line with the same address replaces an earlier one). A missing file leaves
// the list empty. Returns false if the file could not be opened or is not a regular file.
bool LoadFavoritesIntoList(const std::string& path, CServerList& list);
