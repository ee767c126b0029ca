// Type-ahead search over a column's texts as its output makes them.
#pragma once

#include <string_view>

namespace Tavex {

class CCellOutput;
class CTableInterface;

// The first row whose text in column begins with prefix (the program's case-insensitive
// collation), searching rows after + 1 to the last, then 0 to after - 1; -1 when none.
int FindRowByPrefix(CTableInterface& table, const CCellOutput& output, int column,
                    std::string_view prefix, int after);

} // namespace Tavex
