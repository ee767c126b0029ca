#include "tools/tavex-demo/DemoTable.h"

#include "table/EnumIn.h"
#include "table/IntIn.h"
#include "table/TextIn.h"

#include <string>

namespace TavexDemo {

using namespace Platform;

namespace {
constexpr int kMargin = 8;
const char* const kNames[] = {"Kyle", "Jan",    "Tavion", "Desann", "Luke",    "Lando",
                              "Rosh", "Reborn", "Galak",  "Alora",  "Cultist", "Boba"};
const char* const kMaps[] = {"ffa_bespin", "ffa_deathstar", "duel_carbon",  "ctf_yavin",
                             "ffa_raven",  "duel_pit",      "ctf_imperial", "ffa_ns_streets"};
} // namespace

CDemoWindow::CDemoWindow() : m_kinds("Server\nPlayer\nBot\nSpectator"), m_kindCol(m_kinds, 1) {}

void FillDemoRow(Tavex::CRow& row, int index) {
    // A simple mixing step so neighbouring rows look unrelated.
    const unsigned mix = static_cast<unsigned>(index) * 2654435761u;
    std::string name = std::string(kNames[mix % 12]) + " " + std::to_string(index);
    row.GetCell(0)->SetString(name);
    row.GetCell(1)->SetInt(static_cast<int>(mix >> 20) % 400 - 100);
    row.GetCell(2)->SetInt(static_cast<int>((mix >> 8) % 4));
    row.GetCell(3)->SetInt(static_cast<int>((mix >> 12) % 300) + 10);
    std::string comment = std::string("plays ") + kMaps[(mix >> 16) % 8];
    if (index % 3 == 0)
        comment += ", a long comment that does not fit its column and shows whole in a tool tip";
    row.GetCell(4)->SetString(comment);
}

bool CDemoWindow::Create(IPlatform& platform, int rows, bool editable) {
    if (!CreateTopLevel(platform, {100, 100, 100 + 760, 100 + 480}, WS_VISIBLE, "tavex-demo"))
        return false;
    m_placeholder.Create(*this, {kMargin, kMargin, 760 - kMargin, 480 - kMargin},
                         WS_VISIBLE | WS_TABSTOP, kTableId);
    if (!m_table.ReplaceDlgItem(kTableId, *this))
        return false;
    m_table.SetWindowText("Demo: players");
    m_table.SetColumnCount(5);
    m_table.SetColumn(0, &m_stringCol, "Name", 0);
    m_table.SetColumn(1, &m_intCol, "Score\nPoints, negative for suicides", 60);
    m_table.SetColumn(2, &m_kindCol, "Kind", 80);
    m_table.SetColumn(3, &m_intCol, "Ping", 50);
    m_table.SetColumn(4, &m_stringCol, "Comment", 260);
    m_table.Build();
    for (int i = 0; i < rows; ++i)
        FillDemoRow(*m_table.AddRow(), i);
    if (editable)
        MakeEditable();
    m_table.AutoSizeColumn(0, true);
    m_table.Redraw(false);
    return true;
}

void CDemoWindow::MakeEditable() {
    using Tavex::CEnumIn;
    using Tavex::CIntIn;
    using Tavex::CTextIn;
    m_table.SetColumnView(0, m_stringCol.CreateOutput(), new CTextIn, "Name", 0);
    m_table.SetColumnView(1, m_intCol.CreateOutput(), new CIntIn,
                          "Score\nPoints, negative for suicides", 60);
    m_table.SetColumnView(kKindColumn, m_kindCol.CreateOutput(),
                          new CEnumIn(m_kinds, 1, Tavex::kStringColumnFormat), "Kind", 80);
    m_table.SetColumnView(3, m_intCol.CreateOutput(), new CIntIn, "Ping", 50);
    m_table.SetColumnView(4, m_stringCol.CreateOutput(), new CTextIn(200), "Comment", 260);
    m_table.SetColumnsEditable(true);
}

void CDemoWindow::OnSize(int width, int height) {
    if (m_table.IsWindow())
        m_table.MoveWindow({kMargin, kMargin, width - kMargin, height - kMargin});
}

} // namespace TavexDemo
