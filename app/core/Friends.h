// The user's friends: player names kept in "friends.dat" beside the favourites, one a line.
// A name matches a player when it equals the player's name as the tables show it (colour codes
// already gone, blanks at both ends trimmed), case ignored by the program's one collation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kFriendsFile = "friends.dat";

// The name a player is befriended by: the shown name, trimmed; empty when nothing is left.
std::string FriendName(std::string_view playerName);

class CFriendList {
public:
    bool Contains(std::string_view playerName) const;
    // False when the name is empty or already listed (in any case).
    bool Add(std::string_view playerName);
    // False when it was not listed.
    bool Remove(std::string_view playerName);
    bool Empty() const { return m_names.empty(); }
    // In the order they were added.
    const std::vector<std::string>& Names() const { return m_names; }

private:
    std::vector<std::string> m_names;
};

// The file's names. Missing, not a regular file, unreadable or damaged (a zero byte, or larger
// than any list of names could be) is no friends; a line that is blank, holds a control
// character or is too long for a player's name is left out, and so are repeats.
// *error (when given) is 0 for a file read or missing, else why there was nothing to read.
CFriendList ReadFriends(const std::string& path, int* error = nullptr);

// The friends of one window. Several windows share the file, so every change is made to the
// file as it is at that moment: names another window added or removed since this one read it
// stay so, and this window's list becomes the file's.
class CFriendsStore {
public:
    explicit CFriendsStore(std::string path = kFriendsFile) : m_path(std::move(path)) {}

    // Reads the file again; a file that cannot be read is no friends.
    void Load();
    const CFriendList& List() const { return m_list; }
    bool IsFriend(std::string_view playerName) const { return m_list.Contains(playerName); }

    // Each returns 0, or the errno of the failure; the file is then as it was. A file that
    // exists but cannot be read is not written over; a damaged one, which means no friends,
    // is replaced by the list the change makes.
    int Add(std::string_view playerName);
    int Remove(std::string_view playerName);

    const std::string& Path() const { return m_path; }

private:
    int Change(std::string_view playerName, bool add);

    std::string m_path;
    CFriendList m_list;
};

// The message when a change cannot be written: the file's name and the system's reason.
std::string FriendsFileError(const std::string& path, int error);
