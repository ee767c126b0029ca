// The main window's tables as bare models, for benchmarks that fill or filter them.
#pragma once

#include "app/core/MainTables.h"
#include "table/Cells.h"
#include "table/Table.h"

#include <array>

template <std::size_t N>
void BuildBenchTable(Tavex::CTable& table, const std::array<CColumnSpec, N>& columns) {
    for (const CColumnSpec& column : columns) {
        if (column.m_kind != EColumnKind::Int && column.m_kind != EColumnKind::GameType)
            table.AddColumn(new Tavex::CFAny<Tavex::CDString>, new Tavex::CCellCompare);
        else
            table.AddColumn(new Tavex::CFAny<Tavex::CDInt>, new Tavex::CCellCompare);
    }
    table.Build();
}
