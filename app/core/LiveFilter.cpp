#include "app/core/LiveFilter.h"

#include "app/core/MainTables.h"
#include "platform/Text.h"
#include "query/GameVersion.h"
#include "query/ServerRecord.h"
#include "table/Row.h"

#include <algorithm>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string VersionOf(const CServerRecord& record) {
    for (const CServerVariable& variable : record.m_variables)
        if (Platform::ToUpper(variable.key) == "VERSION")
            return variable.value;
    return {};
}

std::uint64_t WordsIn(const std::vector<std::string>& words, std::string_view text) {
    std::uint64_t found = 0;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (text.find(words[i]) != std::string_view::npos)
            found |= std::uint64_t{1} << i;
    return found;
}

} // namespace

CLiveFilter MakeLiveFilter(std::string_view text, bool onlyHumans) {
    CLiveFilter filter;
    filter.m_onlyHumans = onlyHumans;
    std::size_t i = 0;
    while (i < text.size() && filter.m_words.size() < CLiveFilter::kMaxWords) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start)
            filter.m_words.push_back(Platform::ToUpper(text.substr(start, i - start)));
    }
    return filter;
}

std::string ServerFilterText(const CServerRecord& record) {
    // The version as the column shows it, and as the server words it.
    return record.m_name + '\n' + record.m_map + '\n' + GameTypeName(record.m_gameType) + '\n' +
           VersionText(record) + '\n' + VersionOf(record) + '\n' + record.m_address.Format();
}

void CLiveFilterIndex::Reset(std::size_t records) {
    m_entries.assign(records, CEntry());
}

void CLiveFilterIndex::Add(int key, const CServerRecord& record) {
    if (key < 1)
        return;
    // Records listed by a later master join the run with keys after the first ones.
    if (static_cast<std::size_t>(key) > m_entries.size())
        m_entries.resize(static_cast<std::size_t>(key));
    CEntry& entry = m_entries[static_cast<std::size_t>(key - 1)];
    entry.m_known = true;
    entry.m_hasHumans = record.m_humans > 0;
    entry.m_server = Platform::ToUpper(ServerFilterText(record));
    entry.m_players.clear();
    for (const CPlayerInfo& player : record.m_players) {
        entry.m_players += Platform::ToUpper(player.name);
        entry.m_players += '\n';
    }
    // A record that comes in while a filter is on is judged at once.
    entry.m_serverWords = WordsIn(m_filter.m_words, entry.m_server);
    entry.m_shown =
        (!m_filter.m_onlyHumans || entry.m_hasHumans) &&
        (entry.m_serverWords | WordsIn(m_filter.m_words, entry.m_players)) == m_allWords;
}

void CLiveFilterIndex::Apply(const CLiveFilter& filter) {
    m_filter = filter;
    const std::size_t count = m_filter.m_words.size();
    m_allWords = count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    for (CEntry& entry : m_entries) {
        if (!entry.m_known)
            continue;
        entry.m_serverWords = WordsIn(m_filter.m_words, entry.m_server);
        entry.m_shown = !m_filter.m_onlyHumans || entry.m_hasHumans;
        if (entry.m_shown && entry.m_serverWords != m_allWords)
            entry.m_shown =
                (entry.m_serverWords | WordsIn(m_filter.m_words, entry.m_players)) == m_allWords;
    }
}

const CLiveFilterIndex::CEntry* CLiveFilterIndex::Find(int key) const {
    if (key < 1 || static_cast<std::size_t>(key) > m_entries.size())
        return nullptr;
    const CEntry& entry = m_entries[static_cast<std::size_t>(key - 1)];
    return entry.m_known ? &entry : nullptr;
}

bool CLiveFilterIndex::ServerShown(int key) const {
    if (!m_filter.IsActive())
        return true;
    const CEntry* entry = Find(key);
    return entry && entry->m_shown;
}

bool CLiveFilterIndex::PlayerShown(int key, std::string_view playerName) const {
    if (!m_filter.IsActive())
        return true;
    const CEntry* entry = Find(key);
    if (!entry || (m_filter.m_onlyHumans && !entry->m_hasHumans))
        return false;
    if (entry->m_serverWords == m_allWords)
        return true;
    return (entry->m_serverWords | WordsIn(m_filter.m_words, Platform::ToUpper(playerName))) ==
           m_allWords;
}

std::function<bool(const Tavex::CRow&)> CLiveFilterIndex::ServerRows() const {
    if (!m_filter.IsActive())
        return nullptr;
    return [this](const Tavex::CRow& row) {
        return ServerShown(row.GetCell(kRecordColumn)->GetInt());
    };
}

std::function<bool(const Tavex::CRow&)> CLiveFilterIndex::PlayerRows() const {
    if (!m_filter.IsActive())
        return nullptr;
    return [this](const Tavex::CRow& row) {
        const Tavex::CCellData* name = row.GetCell(AllPlayersColumn::kPlayer);
        return PlayerShown(row.GetCell(kRecordColumn)->GetInt(),
                           name->GetText() ? std::string_view(name->GetText()) : "");
    };
}
