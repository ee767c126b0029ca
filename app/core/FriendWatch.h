// Who to announce when results come in: a friend seen on a server who was on none at the last
// results, at most once per friend in ten minutes. The first results only set what was seen.
// Threading: the window's thread only.
#pragma once

#include "app/core/Friends.h"

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class CServerList;

struct CFriendSighting {
    std::string m_name;   // as the player is named on the server
    std::string m_server; // the server's name
    bool operator==(const CFriendSighting&) const = default;
};

// The friends on the answered servers of the list, each once, on the first server found.
std::vector<CFriendSighting> FindFriendsOnServers(const CServerList& list,
                                                  const CFriendList& friends);

// "<name> is playing on <server>"
std::string FriendOnlineText(const CFriendSighting& sighting);

// Shows one line on the desktop. Where the desktop has no way to, nothing is shown and
// nothing fails.
class IDesktopNotifier {
public:
    virtual ~IDesktopNotifier() = default;
    virtual void Notify(const std::string& text) = 0;
};

class CFriendWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::minutes kQuietTime{10};

    explicit CFriendWatch(std::function<Clock::time_point()> now = Clock::now)
        : m_now(std::move(now)) {}

    // After a finished run or refresh, with the friends it found on servers: the ones to
    // announce now, in the order given.
    std::vector<CFriendSighting> OnResults(const std::vector<CFriendSighting>& seen);

private:
    struct CNoCaseLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };

    std::function<Clock::time_point()> m_now;
    bool m_haveResults = false;
    std::set<std::string, CNoCaseLess> m_online;
    std::map<std::string, Clock::time_point, CNoCaseLess> m_announced;
};
