#include "app/core/SearchHistory.h"

#include "platform/Text.h"

#include <algorithm>

CSearchHistory CSearchHistory::FromSetting(std::string_view lastPlayers) {
    CSearchHistory history;
    while (!lastPlayers.empty()) {
        std::size_t end = lastPlayers.find('\n');
        history.Add(std::string(lastPlayers.substr(0, end)));
        if (end == std::string_view::npos)
            break;
        lastPlayers.remove_prefix(end + 1);
    }
    return history;
}

std::string CSearchHistory::ToSetting() const {
    std::string text;
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        text += *it;
        text += '\n';
    }
    return text;
}

int CSearchHistory::FindExact(std::string_view text) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (Platform::CompareNoCase(m_items[i], text) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int CSearchHistory::Add(std::string text) {
    auto at = std::upper_bound(m_items.begin(), m_items.end(), text,
                               [](const std::string& a, const std::string& b) {
                                   return Platform::CompareNoCase(a, b) < 0;
                               });
    int index = static_cast<int>(at - m_items.begin());
    m_items.insert(at, std::move(text));
    return index;
}

std::optional<int> CSearchHistory::AddIfNew(std::string_view text) {
    if (FindExact(text) >= 0)
        return std::nullopt;
    return Add(std::string(text));
}

std::string DeleteQuestion(std::string_view item) {
    return "Are you sure to delete '" + std::string(item) + "'?";
}

void CSelectionTimeMark::OnItemChosen(std::uint32_t nowMs) {
    m_mark = nowMs + kGuardMs;
    m_set = true;
}

bool CSelectionTimeMark::AllowsDoubleClick(std::uint32_t nowMs) const {
    // Compared as a signed distance so the guard also holds across the wrap of the tick count.
    return !m_set || static_cast<std::int32_t>(nowMs - m_mark) > 0;
}
