#include "app/core/FriendWatch.h"

#include "platform/Text.h"
#include "query/ServerRecord.h"

#include <algorithm>

bool CFriendWatch::CNoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return Platform::CompareNoCase(a, b) < 0;
}

std::vector<CFriendSighting> FindFriendsOnServers(const CServerList& list,
                                                  const CFriendList& friends) {
    std::vector<CFriendSighting> seen;
    if (friends.Empty())
        return seen;
    for (const auto& [address, record] : list) {
        if (record.m_state != CServerRecord::kStateAnswered)
            continue;
        for (const CPlayerInfo& player : record.m_players) {
            if (!friends.Contains(player.name))
                continue;
            const std::string name = FriendName(player.name);
            const bool known = std::any_of(seen.begin(), seen.end(), [&](const auto& s) {
                return Platform::CompareNoCase(s.m_name, name) == 0;
            });
            if (!known)
                seen.push_back({name, record.m_name});
        }
    }
    return seen;
}

std::string FriendOnlineText(const CFriendSighting& sighting) {
    return sighting.m_name + " is playing on " + sighting.m_server;
}

std::vector<CFriendSighting> CFriendWatch::OnResults(const std::vector<CFriendSighting>& seen) {
    const Clock::time_point now = m_now();
    std::vector<CFriendSighting> announce;
    std::set<std::string, CNoCaseLess> online;
    for (const CFriendSighting& sighting : seen) {
        if (!online.insert(sighting.m_name).second)
            continue;
        if (!m_haveResults || m_online.contains(sighting.m_name))
            continue;
        auto last = m_announced.find(sighting.m_name);
        if (last != m_announced.end() && now - last->second < kQuietTime)
            continue;
        m_announced[sighting.m_name] = now;
        announce.push_back(sighting);
    }
    m_online = std::move(online);
    m_haveResults = true;
    return announce;
}
