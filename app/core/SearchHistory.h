// The player search history: a sorted list of texts, kept in the "LastPlayers" setting, and
// the guard that keeps a double-click right after choosing an item from searching twice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSearchHistory {
public:
    // The item data the window gives every history item.
    static constexpr int kItemData = 1;

    // The setting's text: each item followed by a line feed. Text after the last line feed is
    // an item too; an empty piece between two line feeds is an empty item.
    static CSearchHistory FromSetting(std::string_view lastPlayers);
    // Items from the last to the first, each followed by a line feed.
    std::string ToSetting() const;

    // Index of the item equal to `text` with case ignored, or -1.
    int FindExact(std::string_view text) const;
    // Inserts `text` at its sorted place (after items that sort equal) and returns that index.
    int Add(std::string text);
    // Adds `text` unless an item equals it with case ignored; the index to select if added.
    std::optional<int> AddIfNew(std::string_view text);

    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::vector<std::string> m_items;
};

// "Are you sure to delete '%s'?" for a history item.
std::string DeleteQuestion(std::string_view item);

// A double-click in the history list searches only if it is not the tail of the click that
// chose an item: choosing sets a mark 100 ms ahead of the tick count, and a double-click
// before the mark is ignored. Tick counts are milliseconds that wrap at 2^32.
class CSelectionTimeMark {
public:
    static constexpr std::uint32_t kGuardMs = 100;

    void OnItemChosen(std::uint32_t nowMs);
    bool AllowsDoubleClick(std::uint32_t nowMs) const;

private:
    std::uint32_t m_mark = 0;
    bool m_set = false;
};
