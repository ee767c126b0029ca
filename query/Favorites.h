// Reading the favourites file into the server list for a favourites query.
#pragma once

#include <string>

class CServerList;

// Clears the list, then adds one record per line (address, name and password fields separated
// by tabs; a later line with the same address replaces an earlier one). A missing file leaves
// the list empty. Returns false if the file could not be opened.
bool LoadFavoritesIntoList(const std::string& path, CServerList& list);
