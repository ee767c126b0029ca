#include "table/LayoutRecord.h"

#include <utility>

namespace Tavex {

std::uint16_t TitleHash(const std::vector<CLayoutColumn>& columns) {
    std::uint16_t h = 0;
    for (auto it = columns.rbegin(); it != columns.rend(); ++it)
        for (char c : it->m_title)
            h = static_cast<std::uint16_t>(h * 33 + static_cast<signed char>(c));
    return h;
}

void SaveLayout(CWordArray& words, const std::vector<CLayoutColumn>& columns,
                const std::vector<int>& displayOrder) {
    words.clear();
    const std::size_t n = columns.size();
    words.reserve(3 + 4 * n);
    words.push_back(kLayoutFormat);
    words.push_back(TitleHash(columns));
    words.push_back(static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        std::uint16_t position = 0;
        for (std::size_t p = 0; p < displayOrder.size(); ++p)
            if (displayOrder[p] == static_cast<int>(i))
                position = static_cast<std::uint16_t>(p);
        words.push_back(static_cast<std::uint16_t>(columns[i].m_width));
        words.push_back(0);
        words.push_back(columns[i].m_visible ? 1 : 0);
        words.push_back(position);
    }
}

bool RestoreLayout(const CWordArray& words, std::vector<CLayoutColumn>& columns,
                   std::vector<int>& displayOrder) {
    const std::size_t n = columns.size();
    if (words.size() < 3 || words[0] != kLayoutFormat)
        return false;
    // A record written before columns were appended names only the leading ones; it still
    // holds the user's widths and order for them. Columns with no title add nothing to the
    // hash, so only titled ones can be told apart as added.
    const std::size_t stored = words[2];
    if (stored > n)
        return false;
    const std::vector<CLayoutColumn> leading(columns.begin(), columns.begin() + stored);
    if (words[1] != TitleHash(leading))
        return false;
    for (std::size_t j = stored; j < n; ++j)
        if (columns[j].m_title.empty())
            return false;
    if (words.size() < 3 + 4 * stored)
        return false; // a cut-off record would be read past its end
    // Positions that do not form a permutation would show one column twice and lose
    // another; such an order is left as it is. Added columns follow the stored ones.
    std::vector<int> order(n, -1);
    bool permutation = displayOrder.size() == n;
    for (std::size_t j = 0; j < stored && permutation; ++j) {
        const std::size_t p = words[6 + 4 * j];
        permutation = p < stored && order[p] == -1;
        if (permutation)
            order[p] = static_cast<int>(j);
    }
    for (std::size_t j = stored; j < n; ++j)
        order[j] = static_cast<int>(j);
    for (std::size_t j = 0; j < stored; ++j) {
        columns[j].m_width = words[3 + 4 * j];
        if (!columns[j].m_title.empty())
            columns[j].m_visible = words[5 + 4 * j] != 0;
    }
    if (permutation)
        displayOrder = std::move(order);
    return true;
}

std::vector<std::uint8_t> LayoutToBytes(const CWordArray& words) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(words.size() * 2);
    for (std::uint16_t w : words) {
        bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return bytes;
}

void OverlayLayoutBytes(CWordArray& words, const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > words.size() * 2)
        return;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::uint16_t& w = words[i / 2];
        if (i % 2 == 0)
            w = static_cast<std::uint16_t>((w & 0xFF00) | bytes[i]);
        else
            w = static_cast<std::uint16_t>((w & 0x00FF) | (bytes[i] << 8));
    }
}

} // namespace Tavex
