#include "table/SortKeys.h"

#include <algorithm>

namespace Tavex {

void CSortKeys::Assign(std::initializer_list<int> pairs) {
    m_keys.clear();
    for (auto it = pairs.begin(); it != pairs.end() && *it >= 0; it += 2) {
        const int column = *it;
        const int direction = it + 1 != pairs.end() ? *(it + 1) : kNotSorted;
        if (direction != kNotSorted)
            m_keys.push_back({column, direction});
        if (it + 1 == pairs.end())
            break;
    }
}

int CSortKeys::FindLast(int column) const {
    for (int i = GetCount() - 1; i >= 0; --i)
        if (m_keys[static_cast<std::size_t>(i)].m_column == column)
            return i;
    return -1;
}

int CSortKeys::GetSortState(int column) const {
    const int i = FindLast(column);
    return i < 0 ? kNotSorted : m_keys[static_cast<std::size_t>(i)].m_direction;
}

void CSortKeys::SetSortState(int column, int direction) {
    const int i = FindLast(column);
    if (i >= 0) {
        if (direction == kNotSorted)
            m_keys.erase(m_keys.begin() + i);
        else
            m_keys[static_cast<std::size_t>(i)].m_direction = direction;
    } else if (direction != kNotSorted) {
        m_keys.push_back({column, direction});
    }
}

void CSortKeys::SetSortStateAt(int column, int direction, int position) {
    std::erase_if(m_keys, [column](const Key& k) { return k.m_column == column; });
    if (direction == kNotSorted)
        return;
    if (position < 0 || position > GetCount())
        position = GetCount();
    m_keys.insert(m_keys.begin() + position, {column, direction});
}

void CSortKeys::OrderByDisplayPosition(const std::vector<int>& displayOrder) {
    auto position = [&displayOrder](int column) {
        const auto it = std::find(displayOrder.begin(), displayOrder.end(), column);
        return static_cast<int>(it - displayOrder.begin());
    };
    bool moved = true;
    while (moved) {
        moved = false;
        for (int i = 1; i < GetCount(); ++i) {
            const Key key = m_keys[static_cast<std::size_t>(i)];
            if (position(key.m_column) <
                position(m_keys[static_cast<std::size_t>(i - 1)].m_column)) {
                SetSortStateAt(key.m_column, key.m_direction, i - 1);
                moved = true;
            }
        }
    }
}

} // namespace Tavex
