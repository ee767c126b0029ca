// When the window refreshes its list in the background: every so many seconds of quiet, and
// never while a query or refresh runs, the window is minimised or a modal dialog is open.
// Times are the window's tick counts in milliseconds, so tests pass their own.
#pragma once

#include <cstdint>

class CRequerySchedule {
public:
    static constexpr std::uint32_t kDefaultSeconds = 60;
    static constexpr std::uint32_t kMinimumSeconds = 15;

    // The interval counts from now; seconds below the minimum count as the minimum.
    void Configure(bool on, std::uint32_t seconds, std::uint32_t nowMs);
    bool IsOn() const { return m_on; }
    std::uint32_t Seconds() const { return m_seconds; }

    // A query or refresh has just run: the interval starts again.
    void OnActivity(std::uint32_t nowMs) { m_since = nowMs; }
    // True when a refresh is due now; `idle`: nothing runs, the window is shown and no modal
    // dialog is open. A refresh that was due while busy comes as soon as the window is idle.
    bool IsDue(std::uint32_t nowMs, bool idle) const;

private:
    bool m_on = false;
    std::uint32_t m_seconds = kDefaultSeconds;
    std::uint32_t m_since = 0;
};

// The interval a user typed, as stored: at least the minimum; none or nonsense the default.
std::uint32_t RequerySecondsOfText(const char* text);
