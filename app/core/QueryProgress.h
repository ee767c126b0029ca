// The "Servers to Query:" counter and the progress bar of a running query. Both move only on
// every second finished server, which halves the window updates of a large run.
#pragma once

class CQueryProgress {
public:
    // A run over `servers` records: the counter shows them all, the bar runs from 0 to that
    // number (limited to the 16 bits a progress range holds).
    void Start(int servers);

    // One server finished. True when the counter and the bar changed: the remaining count is
    // even. Filtered servers count as well.
    bool OnServerDone();
    // The last server is in: the tables get their final sort and the bar goes back to 0.
    bool IsComplete() const { return m_toQuery == 0; }

    int ToQuery() const { return m_toQuery; }
    int Shown() const { return m_shown; }
    int Position() const { return m_position; }
    int Range() const { return m_range; }

private:
    int m_toQuery = 0;
    int m_shown = 0;
    int m_position = 0;
    int m_range = 0;
};
