// The hand-off of records from the window's thread to a running worker: the run grows as later
// masters list servers. The window's thread constructs and resets a record before it adds it
// here and never writes it afterwards; the worker takes it at its next tick and owns it until
// it posts it. Threading: Add and Close on the window's thread, Take on the worker's; the
// pending list and the closed mark are the only shared state, under the one mutex.
#pragma once

#include <mutex>
#include <vector>

class CServerRecord;

class CRunFeed {
public:
    // Before a worker starts: these records, and whether more may come.
    void Reset(std::vector<CServerRecord*> records, bool closed);
    void Add(const std::vector<CServerRecord*>& records);
    // No record comes any more; the worker ends once it has finished those it has.
    void Close();
    // Moves the pending records to the end of `into`; true once the feed is closed (the
    // records taken with that answer are the last).
    bool Take(std::vector<CServerRecord*>& into);

private:
    std::mutex m_mutex;
    std::vector<CServerRecord*> m_pending;
    bool m_closed = true;
};
