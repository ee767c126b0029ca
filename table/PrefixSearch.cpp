#include "table/PrefixSearch.h"

#include "platform/Text.h"
#include "table/CellOutput.h"
#include "table/TableInterface.h"

namespace Tavex {

int FindRowByPrefix(CTableInterface& table, const CCellOutput& output, int column,
                    std::string_view prefix, int after) {
    const int rows = table.GetRowCount();
    auto matches = [&](int row) {
        return Platform::HasPrefixNoCase(output.GetText(*table.GetCell(row, column)), prefix);
    };
    for (int row = after + 1; row < rows; ++row)
        if (row >= 0 && matches(row))
            return row;
    for (int row = 0; row < after && row < rows; ++row)
        if (matches(row))
            return row;
    return -1;
}

} // namespace Tavex
