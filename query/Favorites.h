// The favourites file read as text, lines and fields, shared by the favourites dialog and the
// favourites query, which loads it into the server list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CServerList;

// One line's field: field 0 is the text before the first tab, field n the text after the n-th
// tab up to the next; empty when the line has fewer fields.
std::string FavoriteField(std::string_view line, int index);

// The whole file as it is; false (errno set) when it cannot be opened or read to its end, or is
// not a regular file: a pipe or a device in its place could block or never end.
bool ReadFavoritesText(const std::string& path, std::string& text);

// Splits at line feeds, dropping one CR before each; text after the last line feed is a line,
// the empty text after a final line feed is not.
std::vector<std::string_view> SplitFavoriteLines(std::string_view text);

// Clears the list, then adds one record per line (address, name and password fields separated
// by tabs; a later line with the same address replaces an earlier one). A missing file leaves
// the list empty. Returns false if the file could not be opened or is not a regular file.
bool LoadFavoritesIntoList(const std::string& path, CServerList& list);
