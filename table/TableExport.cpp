#include "table/TableExport.h"

#include "table/CellOutput.h"
#include "table/TableInterface.h"

namespace Tavex {

namespace {

bool IsShown(const CExportColumns& columns, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < columns.m_visible.size() &&
           columns.m_visible[static_cast<std::size_t>(column)];
}

} // namespace

std::string CellText(CTableInterface& table, const CExportColumns& columns, int row, int column) {
    return columns.m_outputs[static_cast<std::size_t>(column)]->GetText(
        *table.GetCell(row, column));
}

std::string CopyText(CTableInterface& table, const CExportColumns& columns, bool allRows) {
    std::string text;
    for (int row = 0; row < table.GetRowCount(); ++row) {
        if (!allRows && !table.IsRowSelected(row))
            continue;
        for (int column : columns.m_displayOrder) {
            if (!IsShown(columns, column))
                continue;
            for (char c : CellText(table, columns, row, column))
                text += (c == '\t' || c == '\n' || c == '\r') ? '*' : c;
            text += '\t';
        }
        text += "\r\n";
    }
    return text;
}

std::string EscapeHtml(std::string_view text) {
    if (text.find_first_not_of(" \t\n\r\v\f") == std::string_view::npos)
        return "&nbsp;";
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\n':
        case '\r':
            break;
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

void WriteHtml(std::ostream& out, CTableInterface& table, const CExportColumns& columns) {
    out << "<HTML><BODY BGCOLOR=White>\n\n";
    out << "<TABLE CELLSPACING=2 CELLPADDING=2 BORDER=2>\n";
    out << "  <TR BGCOLOR=#C0C0C0>\n";
    for (int column : columns.m_displayOrder)
        if (IsShown(columns, column))
            out << "    <TH>" << EscapeHtml(columns.m_titles[static_cast<std::size_t>(column)])
                << "</TH>\n";
    for (int row = 0; row < table.GetRowCount(); ++row) {
        out << "  <TR>\n";
        for (int column : columns.m_displayOrder)
            if (IsShown(columns, column))
                out << "    <TD>" << EscapeHtml(CellText(table, columns, row, column)) << "</TD>\n";
        out << "  </TR>\n";
    }
    out << "</TABLE>\n</BODY></HTML>";
}

std::string ExportFileName(std::string_view windowText) {
    std::string name(windowText);
    for (char& c : name)
        if (c == ':')
            c = '_';
    return name + ".html";
}

} // namespace Tavex
