// The "Servers to Query:" counter and the progress bar of a running query. Both move only on
// every second finished server, which halves the window updates of a large run.
#pragma once

class CQueryProgress {
public:
    // A run over `servers` records: the counter shows them all, the bar runs from 0 to that
    // number (limited to the 16 bits a progress range holds). A run of no servers is complete
    // at once: no server will ever finish to end it.
    void Start(int servers);

    // One server finished. True when the counter and the bar changed: the remaining count is
    // even. Filtered servers count as well.
    bool OnServerDone();
    // The last server is in: the tables get their final sort and the bar goes back to 0.
    bool IsComplete() const { return m_toQuery == 0; }

    // While the masters are asked nobody knows how many servers will come, so the bar shows
    // the busy animation (a range of 0); at no other time, since it would never stop moving.
    void SetAskingMasters(bool asking) { m_askingMasters = asking; }

    int ToQuery() const { return m_toQuery; }
    int Shown() const { return m_shown; }
    int Position() const { return m_position; }
    // Never 0 outside the master exchange, even for a run of no servers.
    int Range() const { return m_askingMasters ? 0 : m_range; }

private:
    int m_toQuery = 0;
    int m_shown = 0;
    int m_position = 0;
    int m_range = 1;
    bool m_askingMasters = false;
};
