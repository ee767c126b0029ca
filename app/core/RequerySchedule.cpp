#include "app/core/RequerySchedule.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

void CRequerySchedule::Configure(bool on, std::uint32_t seconds, std::uint32_t nowMs) {
    m_on = on;
    m_seconds = std::max(seconds, kMinimumSeconds);
    m_since = nowMs;
}

bool CRequerySchedule::IsDue(std::uint32_t nowMs, bool idle) const {
    // Tick counts wrap; the difference in unsigned arithmetic does not mind.
    return m_on && idle && nowMs - m_since >= m_seconds * 1000u;
}

std::uint32_t RequerySecondsOfText(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || errno != 0 || value < 0)
        return CRequerySchedule::kDefaultSeconds;
    return static_cast<std::uint32_t>(
        std::clamp<long long>(value, CRequerySchedule::kMinimumSeconds, 24 * 60 * 60));
}
