#include "app/core/Friends.h"

#include "app/core/TextTrim.h"
#include "net/AtomicFile.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Player names are short; a line far longer than any is not a name.
constexpr std::size_t kMaxNameBytes = 256;
// Ten thousand names of the longest kind: anything larger was never written by us.
constexpr std::size_t kMaxFileBytes = 10000 * (kMaxNameBytes + 2);

bool IsName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes)
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// 0 with the text, ENOENT when missing, or why it cannot be read. A pipe or device would block
// or never end, so only a regular file is read.
int ReadText(const std::string& path, std::string& text) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat info {};
    int error = 0;
    if (fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    else if (static_cast<std::size_t>(info.st_size) > kMaxFileBytes)
        error = EFBIG;
    char buffer[4096];
    while (error == 0) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error = errno;
        else if (got == 0)
            break;
        else if (text.size() + static_cast<std::size_t>(got) > kMaxFileBytes)
            error = EFBIG;
        else
            text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return error;
}

} // namespace

std::string FriendName(std::string_view playerName) {
    return std::string(TrimBlanks(playerName));
}

bool CFriendList::Contains(std::string_view playerName) const {
    if (m_names.empty())
        return false;
    const std::string name = FriendName(playerName);
    return !name.empty() && std::any_of(m_names.begin(), m_names.end(), [&](const std::string& n) {
        return Platform::CompareNoCase(n, name) == 0;
    });
}

bool CFriendList::Add(std::string_view playerName) {
    std::string name = FriendName(playerName);
    if (!IsName(name) || Contains(name))
        return false;
    m_names.push_back(std::move(name));
    return true;
}

bool CFriendList::Remove(std::string_view playerName) {
    const std::string name = FriendName(playerName);
    const auto gone = std::remove_if(m_names.begin(), m_names.end(), [&](const std::string& n) {
        return Platform::CompareNoCase(n, name) == 0;
    });
    const bool removed = gone != m_names.end();
    m_names.erase(gone, m_names.end());
    return removed;
}

CFriendList ReadFriends(const std::string& path, int* error) {
    CFriendList list;
    std::string text;
    int failure = ReadText(path, text);
    // A zero byte means the file is something other than our list of names.
    if (failure == 0 && text.find('\0') != std::string::npos)
        failure = EILSEQ;
    if (error)
        *error = failure == ENOENT ? 0 : failure;
    if (failure != 0)
        return list;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (IsName(TrimBlanks(line)))
            list.Add(line);
        start = end + 1;
    }
    return list;
}

void CFriendsStore::Load() {
    m_list = ReadFriends(m_path);
}

int CFriendsStore::Add(std::string_view playerName) {
    return Change(playerName, true);
}

int CFriendsStore::Remove(std::string_view playerName) {
    return Change(playerName, false);
}

int CFriendsStore::Change(std::string_view playerName, bool add) {
    int error = 0;
    CFriendList now = ReadFriends(m_path, &error);
    // Unreadable but there: writing the one change would lose whatever the file holds.
    if (error != 0 && error != EILSEQ && error != EFBIG) {
        m_list = now;
        return error;
    }
    const bool changed = add ? now.Add(playerName) : now.Remove(playerName);
    if (changed || error != 0) {
        std::string text;
        for (const std::string& name : now.Names())
            text += name + "\n";
        if (const int writeError = ReplaceFileAtomically(m_path, text); writeError != 0) {
            m_list = ReadFriends(m_path);
            return writeError;
        }
    }
    m_list = std::move(now);
    return 0;
}

std::string FriendsFileError(const std::string& path, int error) {
    return "Cannot write the friends file \"" + path + "\": " + std::strerror(error) + ".";
}
