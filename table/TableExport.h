// The text of a copy and the HTML export of a table, from any table interface plus the
// columns' display order, visibility, titles and outputs; the caller adds clipboard and file.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace Tavex {

class CCellOutput;
class CTableInterface;

// The columns as shown: indexes by display position, and per column index its visibility,
// title (first line) and output.
struct CExportColumns {
    std::vector<int> m_displayOrder;
    std::vector<bool> m_visible;
    std::vector<std::string> m_titles;
    std::vector<const CCellOutput*> m_outputs;
};

// The cell's text as its output makes it.
std::string CellText(CTableInterface& table, const CExportColumns& columns, int row, int column);

// Selected rows (or all) in display order: each visible cell, tabs and line ends in it
// turned into "*", followed by a tab; each row ended by CR LF. No header, no final zero byte.
std::string CopyText(CTableInterface& table, const CExportColumns& columns, bool allRows);

// Line ends dropped, & < > as entities; "&nbsp;" for text that is empty or only white space.
std::string EscapeHtml(std::string_view text);

// The whole table as an HTML page with a grey header row, streamed row by row.
void WriteHtml(std::ostream& out, CTableInterface& table, const CExportColumns& columns);

// The proposed file name: the window text with ":" replaced by "_", plus ".html".
std::string ExportFileName(std::string_view windowText);

} // namespace Tavex
