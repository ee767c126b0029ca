// The column layout record: widths, visibility and display order of a table's columns as
// 16-bit words, tied to the column titles by a hash so a foreign layout is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tavex {

using CWordArray = std::vector<std::uint16_t>;

constexpr std::uint16_t kLayoutFormat = 2;

// What the record keeps of one column. The title is its first line only.
struct CLayoutColumn {
    std::string m_title;
    int m_width = 0;
    bool m_visible = false;
};

// h := h * 33 + byte (as a signed 8-bit value), modulo 65536, over the titles from the last
// column to the first.
std::uint16_t TitleHash(const std::vector<CLayoutColumn>& columns);

// Words: format, hash, n, then per column width, 0, visible, display position.
void SaveLayout(CWordArray& words, const std::vector<CLayoutColumn>& columns,
                const std::vector<int>& displayOrder);

// Applies a record written for the same titles: widths as stored (not clamped), visibility
// only for titled columns, and the display order when the stored positions form one (each
// column at exactly one position). A record of an earlier column set, whose titles are the
// leading ones of today's and to which only titled columns were appended, applies to those
// columns; the appended ones keep their default width and follow them in the order.
// Returns false and changes nothing for a foreign or short record.
bool RestoreLayout(const CWordArray& words, std::vector<CLayoutColumn>& columns,
                   std::vector<int>& displayOrder);

// The registry form: the words, least significant byte first.
std::vector<std::uint8_t> LayoutToBytes(const CWordArray& words);
// Overlays stored bytes on words (filled by SaveLayout first); a longer value is ignored
// whole, a shorter one overlays what it has.
void OverlayLayoutBytes(CWordArray& words, const std::vector<std::uint8_t>& bytes);

} // namespace Tavex
