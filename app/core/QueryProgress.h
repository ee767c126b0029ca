// The "Servers to Query:" counter and the progress bar of a running query. Both move only on
// every second finished server, which halves the window updates of a large run.
#pragma once

class CQueryProgress {
public:
    // A run over `servers` records: the counter shows them all, the bar runs from 0 to that
    // number (limited to the 16 bits a progress range holds). `listing`: masters may still add
    // servers, so the run is not complete before CloseListing even when none is left. A run of
    // no servers that no master adds to is complete at once: no server will ever end it.
    void Start(int servers, bool listing = false);
    // Servers that a later master listed join the run: the counter and the range grow.
    void Grow(int servers);
    // No master adds any more; the bar goes back to 0 if nothing is left.
    void CloseListing();

    // One server finished. True when the counter and the bar changed: the remaining count is
    // even. Filtered servers count as well.
    bool OnServerDone();
    // The last server is in: the tables get their final sort and the bar goes back to 0.
    bool IsComplete() const { return m_toQuery == 0 && !m_listing; }

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
    int m_total = 0;
    bool m_listing = false;
    bool m_askingMasters = false;
};
