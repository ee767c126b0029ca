#include "table/TableExport.h"

#include "table/CellOutput.h"
#include "table/Cells.h"
#include "table/ColDef.h"
#include "table/Table.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using namespace Tavex;

namespace {

// Columns: text "Name", integer "Score" (English grouping), hidden text "Note".
struct Fixture {
    CLocaleSettings english;
    CTable table;
    std::unique_ptr<CCellOutput> name{CStringCol().CreateOutput()};
    std::unique_ptr<CCellOutput> score{
        CIntCol(kIntColumnFormat, CIntFormat(true, english)).CreateOutput()};
    std::unique_ptr<CCellOutput> note{CStringCol().CreateOutput()};
    CExportColumns columns;

    Fixture() {
        table.AddColumn(new CFAny<CDString>, new CCellCompare);
        table.AddColumn(new CFAny<CDInt>, new CCellCompare);
        table.AddColumn(new CFAny<CDString>, new CCellCompare);
        table.Build();
        columns.m_displayOrder = {1, 0, 2};
        columns.m_visible = {true, true, false};
        columns.m_titles = {"Name", "Score", "Note"};
        columns.m_outputs = {name.get(), score.get(), note.get()};
    }
    void Add(const char* n, int s, const char* note, bool selected) {
        CRow* row = table.AddRow();
        row->GetCell(0)->SetString(n);
        row->GetCell(1)->SetInt(s);
        row->GetCell(2)->SetString(note);
        row->SetSelected(selected);
    }
    std::string Html() {
        std::ostringstream out;
        WriteHtml(out, table, columns);
        return out.str();
    }
};

} // namespace

TEST(TableExportTest, CopyTextInDisplayOrderWithTabsAndCrLf) {
    Fixture f;
    f.Add("a1", 1, "hidden", true);
    f.Add("tab\there", 1234, "x", false);
    f.Add("line\r\nend", -2, "y", true);
    EXPECT_EQ(CopyText(f.table, f.columns, false), "1\ta1\t\r\n-2\tline**end\t\r\n");
    EXPECT_EQ(CopyText(f.table, f.columns, true),
              "1\ta1\t\r\n1,234\ttab*here\t\r\n-2\tline**end\t\r\n");

    // The two-row example: every cell, the last too, followed by a tab.
    f.columns.m_displayOrder = {0, 1, 2};
    f.table.DeleteAllRows();
    f.Add("a1", 1, "", true);
    f.Add("a2", 2, "", true);
    f.columns.m_visible = {true, false, false};
    EXPECT_EQ(CopyText(f.table, f.columns, false), "a1\t\r\na2\t\r\n");
    f.table.SelectRows(0, 1, false);
    EXPECT_EQ(CopyText(f.table, f.columns, false), "");
}

TEST(TableExportTest, HtmlEscaping) {
    EXPECT_EQ(EscapeHtml("a<b & c>"), "a&lt;b &amp; c&gt;");
    EXPECT_EQ(EscapeHtml(""), "&nbsp;");
    EXPECT_EQ(EscapeHtml("   "), "&nbsp;");
    EXPECT_EQ(EscapeHtml("\t\r\n\v\f"), "&nbsp;");
    EXPECT_EQ(EscapeHtml(" x"), " x");
    EXPECT_EQ(EscapeHtml("two\nlines\r"), "twolines");
    EXPECT_EQ(EscapeHtml("\"quoted\" \xE4"), "\"quoted\" \xE4");
}

TEST(TableExportTest, HtmlDocumentByteForByte) {
    Fixture f;
    EXPECT_EQ(f.Html(), "<HTML><BODY BGCOLOR=White>\n\n"
                        "<TABLE CELLSPACING=2 CELLPADDING=2 BORDER=2>\n"
                        "  <TR BGCOLOR=#C0C0C0>\n"
                        "    <TH>Score</TH>\n"
                        "    <TH>Name</TH>\n"
                        "</TABLE>\n</BODY></HTML>");
    f.Add("a<b & c>", 1500, "n", false);
    f.Add(" ", -3, "n", true);
    f.columns.m_titles[1] = "<Score>";
    EXPECT_EQ(f.Html(), "<HTML><BODY BGCOLOR=White>\n\n"
                        "<TABLE CELLSPACING=2 CELLPADDING=2 BORDER=2>\n"
                        "  <TR BGCOLOR=#C0C0C0>\n"
                        "    <TH>&lt;Score&gt;</TH>\n"
                        "    <TH>Name</TH>\n"
                        "  <TR>\n"
                        "    <TD>1,500</TD>\n"
                        "    <TD>a&lt;b &amp; c&gt;</TD>\n"
                        "  </TR>\n"
                        "  <TR>\n"
                        "    <TD>-3</TD>\n"
                        "    <TD>&nbsp;</TD>\n"
                        "  </TR>\n"
                        "</TABLE>\n</BODY></HTML>");
}

TEST(TableExportTest, FileNameFromWindowText) {
    EXPECT_EQ(ExportFileName("Server: list"), "Server_ list.html");
    EXPECT_EQ(ExportFileName("a:b:c"), "a_b_c.html");
    EXPECT_EQ(ExportFileName(""), ".html");
}
