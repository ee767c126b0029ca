// An ordered list of sort keys (column, direction); the first key is the primary one.
#pragma once

#include <initializer_list>
#include <vector>

namespace Tavex {

class CSortKeys {
public:
    static constexpr int kAscending = 0;
    static constexpr int kDescending = 1;
    static constexpr int kNotSorted = 2; // answered for non-keys, never stored

    CSortKeys() = default;
    // Pairs column, direction, column, direction, ... up to the first negative column;
    // pairs with direction kNotSorted are skipped: CSortKeys{2, 0, 0, 1, -1}.
    CSortKeys(std::initializer_list<int> pairs) { Assign(pairs); }
    void Assign(std::initializer_list<int> pairs);

    // The direction of the column's last pair, or kNotSorted.
    int GetSortState(int column) const;
    // Replaces the direction in place (the key keeps its priority), removes the key for
    // kNotSorted, or appends a new key at the end.
    void SetSortState(int column, int direction);
    // Removes every pair of the column, then inserts (column, direction) at position; a
    // position below 0 or beyond the end means the end.
    void SetSortStateAt(int column, int direction, int position);

    // Orders the keys by the display position of their columns, leftmost first (positions
    // from displayOrder, which lists the column at each position), moving a key only past
    // its left neighbour, pass after pass, until nothing moves.
    void OrderByDisplayPosition(const std::vector<int>& displayOrder);

    int GetCount() const { return static_cast<int>(m_keys.size()); }
    int GetColumn(int index) const { return m_keys[static_cast<std::size_t>(index)].m_column; }
    int GetDirection(int index) const {
        return m_keys[static_cast<std::size_t>(index)].m_direction;
    }
    void RemoveAll() { m_keys.clear(); }
    bool operator==(const CSortKeys&) const = default;

private:
    struct Key {
        int m_column;
        int m_direction;
        bool operator==(const Key&) const = default;
    };
    int FindLast(int column) const;

    std::vector<Key> m_keys;
};

} // namespace Tavex
