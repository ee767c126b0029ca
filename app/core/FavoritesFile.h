// The favourites file "favorites.dat" in the working directory: one favourite per line, address,
// name and password separated by tabs. The favourites dialog shows the lines bottom-up: each
// line read goes to the top of its table, and saving writes the rows from the last to the first.
#pragma once

#include "query/Favorites.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kFavoritesFile = "favorites.dat";

struct CFavorite {
    std::string m_address;  // "Ip": host:port text
    std::string m_name;     // "Name"
    std::string m_password; // "Password"; empty for none

    bool operator==(const CFavorite&) const = default;
};

// The lines of the file in file order; a CR before a line feed is dropped. A missing or
// unreadable file, or anything but a regular file (a pipe would block), is an empty list.
// *error (when given) is 0 for a file read or missing, else why the file could not be read.
std::vector<CFavorite> ReadFavoriteLines(const std::string& path, int* error = nullptr);

// The dialog's table, top row first: the file's lines in reverse.
std::vector<CFavorite> LoadFavoriteRows(const std::string& path, int* error = nullptr);

// The message when the file exists but cannot be read, so the dialog will not save over it.
std::string FavoritesReadError(const std::string& path, int error);

// The cleaning of the dialog's "OK", from the last row to the first: tabs in the name become
// blanks and both ends are trimmed; the address is parsed (host names are resolved) and stored
// back in dotted form with its port; the password is cleaned like the name. Stops at the first
// address that does not parse and returns that row (rows below it keep their cleaned values);
// -1 when every row is clean.
int CleanFavoriteRows(std::vector<CFavorite>& rows);

// Several windows share the file: what the dialog saves is its own rows (`rows`, top row first,
// cleaned) plus every line that another window added since the dialog read `loaded` (its rows
// then) and that is in `current` (the file now) under an address neither of those lists. The
// dialog's edits and deletions win; the others' additions keep their file order after its own
// lines, as "Add to favorites" appends them. Addresses compare as their text.
std::vector<CFavorite> MergeFavoriteRows(const std::vector<CFavorite>& rows,
                                         const std::vector<CFavorite>& loaded,
                                         const std::vector<CFavorite>& current);

// The message when the file cannot be written: its name and the system's reason.
std::string FavoritesFileError(const std::string& path, int error);

// The dialog's "OK" message for the row CleanFavoriteRows returned.
inline constexpr const char* kInvalidAddressText = "Invalid IP address.";

// Writes the rows from the last to the first, each line ended by CR LF. The file is replaced
// atomically (a temporary file renamed over it), so a failure never leaves half a list.
// Returns 0, or the errno of the failure.
int SaveFavoriteRows(const std::string& path, const std::vector<CFavorite>& rows);

enum class EAppendResult { Added, AlreadyListed, Failed };

// "Add to favorites": unless a line's address field equals `address` byte for byte, adds the line
// address, tab, cleaned name, tab (no password) at the end of the file, which is created when
// missing. A last line without a line end gets one first, so the new entry never merges into
// it. The file is replaced atomically like a save. On Failed, *error (when given) is the errno.
EAppendResult AppendFavorite(const std::string& path, std::string_view address,
                             std::string_view name, int* error = nullptr);
