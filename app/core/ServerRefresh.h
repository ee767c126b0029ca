// The window's side of a refresh: each fresh result is taken over into the listed record and
// its rows, in place, and when the last is in both tables are re-sorted with their keys, the
// user's place in them kept throughout.
// Threading: the window's thread only.
#pragma once

#include <cstddef>

namespace Tavex {
class CTableCtrl;
} // namespace Tavex

class CServerRecord;

class CServerRefresh {
public:
    CServerRefresh(Tavex::CTableCtrl& servers, Tavex::CTableCtrl& allPlayers);

    void Start(unsigned refresh, std::size_t servers);
    bool IsRunning() const { return m_left > 0; }
    unsigned Current() const { return m_refresh; }

    struct CUpdate {
        bool m_complete = false; // the last result: both tables got their final sort
    };
    // One server's fresh result for the listed record numbered `key` (0: no longer shown; the
    // result only counts).
    CUpdate OnRefreshed(CServerRecord* listed, const CServerRecord& fresh, int key,
                        bool includeEmpty, bool includeFull);

private:
    Tavex::CTableCtrl& m_servers;
    Tavex::CTableCtrl& m_allPlayers;
    unsigned m_refresh = 0;
    std::size_t m_left = 0;
};
