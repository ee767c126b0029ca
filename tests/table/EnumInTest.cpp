#include "table/EnumIn.h"
#include "table/Enum.h"
#include "tests/table/TableCtrlFixture.h"

#include <memory>

using namespace Platform;
using namespace Tavex;
using TableCtrlTesting::TableCtrlTest;

namespace {

// Remembers the command codes a combo sends its parent.
class ComboParent : public CWnd {
public:
    void OnCommand(unsigned, unsigned code, CWnd*) override { codes.push_back(code); }
    std::vector<unsigned> codes;
};

class ChoiceListener : public CWnd {
public:
    long OnNotify(NMHDR& hdr) override {
        auto& record = static_cast<NMTABLE&>(hdr);
        if (record.code == TVN_CHOICELISTOPENING || record.code == TVN_CHOICECHANGED)
            choices.push_back({record.code, record.value ? record.value->GetInt() : -99});
        return 0;
    }
    std::vector<std::pair<int, int>> choices;
};

// A Name column and an editable Kind column over an enumeration of the given entries.
class EnumInTest : public TableCtrlTest {
protected:
    void MakeWith(const char* entries, int rows = 3) {
        kinds = std::make_unique<CEnum>(entries);
        kindCol = std::make_unique<CEnumCol>(*kinds, 0);
        Make(400, 200);
        ctrl->SetColumnCount(2);
        ctrl->SetColumn(0, &stringCol, "Name", 100);
        ctrl->SetColumn(1, kindCol.get(), "Kind", 100);
        ctrl->Build();
        for (int r = 0; r < rows; ++r) {
            CRow* row = ctrl->AddRow();
            row->GetCell(0)->SetString("Row " + std::to_string(r));
            row->GetCell(1)->SetInt(r);
        }
        editor = new CEnumIn(*kinds, 0, kStringColumnFormat);
        ctrl->SetColumnView(1, kindCol->CreateOutput(), editor, "Kind", 100);
        ctrl->SetColumnsEditable(true);
        ctrl->Col(0).m_editable = false;
        ctrl->Redraw(false);
        listener.Create(dialog, {0, 0, 1, 1}, WS_CHILD, 78);
        ctrl->SetNotifyTarget(&listener);
    }
    // A click x pixels left of the Kind cell's right edge (the editor's right edge is 198).
    void ClickKind(int row, int fromRight) {
        platform.Click(ctrl->GetBody(), RowPoint(row, 198 - fromRight));
    }
    struct FakeWindowRef {
        TestSupport::FakePlatform& platform;
        CComboTableDrop& list;
        const TestSupport::FakeWindow& Window() const { return platform.Window(list); }
        bool BarShown() const { return platform.Window(list.GetVertBar()).visible; }
    };
    FakeWindowRef List() { return {platform, editor->GetList()}; }
    int ListRowY(int row) const {
        // Screen y inside a list row, turned into the combo's client coordinates.
        CComboTableDrop& list = editor->GetList();
        const Point screen = list.GetBody().ClientToScreen({5, list.RowToY(row) + 3});
        return editor->ScreenToClient(screen).y;
    }

    std::unique_ptr<CEnum> kinds;
    std::unique_ptr<CEnumCol> kindCol;
    CEnumIn* editor = nullptr;
    ChoiceListener listener;
};

std::string Entries(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "\n" : "") + std::string("Value ") + static_cast<char>('A' + i);
    return text;
}

} // namespace

TEST_F(EnumInTest, AClickNearTheRightEdgeDropsTheListAtOnce) {
    MakeWith("Alpha\nBeta\nGamma");
    ClickKind(1, 40);
    ASSERT_TRUE(ctrl->GetEditController().IsEditing());
    EXPECT_TRUE(platform.Window(*editor).visible);
    EXPECT_FALSE(editor->IsDropped());
    EXPECT_EQ(editor->GetSelectedRow(), 1);
    EXPECT_EQ(listener.choices, (std::vector<std::pair<int, int>>{{TVN_CHOICELISTOPENING, 1}}));
    platform.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(platform.Window(*editor).visible);

    ClickKind(2, 10);
    EXPECT_TRUE(editor->IsDropped());
    EXPECT_TRUE(List().Window().visible);
    EXPECT_EQ(platform.GetFocus(), editor);
    EXPECT_EQ(editor->GetList().GetCurrentRow(), 2);
}

TEST_F(EnumInTest, TheListShowsAtMostEightRowsAndABarForTheRest) {
    MakeWith(Entries(20).c_str());
    ClickKind(0, 5);
    ASSERT_TRUE(editor->IsDropped());
    const int rowHeight = editor->GetList().GetRowHeight();
    const Rect list = List().Window().rect;
    EXPECT_EQ(list.Height(), 8 * rowHeight + 2);
    EXPECT_TRUE(List().BarShown());
    // Below the combo, at least as wide as it and as the column with the bar.
    const Rect combo = editor->GetWindowRect();
    EXPECT_EQ(list.top, combo.bottom);
    EXPECT_GE(list.Width(), combo.Width());
    EXPECT_GE(list.Width(), editor->GetList().GetTotalWidth() + 2 + 17);
    platform.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(editor->IsDropped());
    EXPECT_TRUE(ctrl->GetEditController().IsEditing()) << "Escape closed only the list";
}

TEST_F(EnumInTest, AShortListShowsAllRowsAndGoesUpNearTheScreenBottom) {
    MakeWith("Alpha\nBeta\nGamma");
    dialog.MoveWindow({0, 700, 800, 1300});
    ClickKind(0, 5);
    ASSERT_TRUE(editor->IsDropped());
    const Rect up = List().Window().rect;
    EXPECT_EQ(up.Height(), 3 * editor->GetList().GetRowHeight() + 2);
    EXPECT_FALSE(List().BarShown());
    EXPECT_EQ(up.bottom, editor->GetWindowRect().top);
}

TEST_F(EnumInTest, KeysPickFromTheListAndTheEditStoresThePick) {
    MakeWith("Alpha\nBeta\nGamma");
    ClickKind(0, 40);
    platform.KeyDown(VK_DOWN); // a closed combo opens
    ASSERT_TRUE(editor->IsDropped());
    platform.KeyDown(VK_DOWN);
    platform.KeyDown(VK_DOWN);
    EXPECT_EQ(editor->GetSelectedRow(), 0) << "moving in the list is not yet a pick";
    platform.KeyDown(VK_RETURN);
    EXPECT_FALSE(editor->IsDropped());
    EXPECT_EQ(editor->GetSelectedRow(), 2);
    EXPECT_EQ(listener.choices.back(), std::make_pair(TVN_CHOICECHANGED, 2));
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), 0);
    platform.KeyDown(VK_RETURN);
    EXPECT_FALSE(ctrl->GetEditController().IsEditing());
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), 2);
    EXPECT_EQ(ctrl->GetCellText(0, 1), "Gamma");

    // Escape in the open list goes back to the value it had.
    ClickKind(1, 5);
    platform.KeyDown(VK_UP);
    platform.KeyDown(VK_ESCAPE);
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(ctrl->GetCell(1, 1)->GetInt(), 1);
}

TEST_F(EnumInTest, TheMouseTracksRowsPicksOnReleaseAndAnOutsidePressCancels) {
    MakeWith("Alpha\nBeta\nGamma");
    ClickKind(0, 5);
    ASSERT_TRUE(editor->IsDropped());
    EXPECT_EQ(platform.GetCapture(), editor);
    platform.MouseMove(*editor, {5, ListRowY(1)});
    EXPECT_EQ(editor->GetList().GetCurrentRow(), 1);
    EXPECT_EQ(editor->GetSelectedRow(), 0);
    platform.LButtonUp(*editor, {5, ListRowY(1)});
    EXPECT_FALSE(editor->IsDropped());
    EXPECT_EQ(editor->GetSelectedRow(), 1);
    EXPECT_EQ(platform.GetCapture(), nullptr);

    editor->ShowDropDown(true);
    platform.MouseMove(*editor, {5, ListRowY(2)});
    platform.LButtonDown(dialog, {700, 500});
    EXPECT_FALSE(editor->IsDropped());
    EXPECT_EQ(editor->GetSelectedRow(), 1);
    EXPECT_EQ(editor->GetList().GetCurrentRow(), 1);
}

TEST_F(EnumInTest, TypedPrefixesPickRowsAndAreForgottenAfterTwoSeconds) {
    MakeWith("Alpha\nBeta\nBravo\nCharlie");
    ClickKind(0, 40);
    platform.Char('b');
    EXPECT_EQ(editor->GetText(), "Beta");
    platform.Advance(1999);
    platform.Char('R');
    EXPECT_EQ(editor->GetText(), "Bravo");
    EXPECT_EQ(editor->GetTypedPrefix(), "bR");
    platform.KeyDown(VK_BACK);
    EXPECT_EQ(editor->GetTypedPrefix(), "b");
    EXPECT_EQ(editor->GetText(), "Beta") << "the first other row that starts with b";
    platform.Advance(2000);
    platform.Char('c');
    EXPECT_EQ(editor->GetText(), "Charlie");
    const std::size_t beeps = platform.beeps.size();
    platform.Char('x');
    EXPECT_EQ(platform.beeps.size(), beeps + 1);
    EXPECT_EQ(editor->GetText(), "Charlie");
    platform.KeyDown(VK_DELETE);
    EXPECT_EQ(editor->GetTypedPrefix(), "");
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), 3);
}

TEST_F(EnumInTest, TypedPrefixesFoldTheCaseOfAccentedLetters) {
    MakeWith("Alpha\n\xC9" "cole\n\xE4rger");
    ClickKind(0, 40);
    platform.Char(0xE9); // é finds École
    EXPECT_EQ(editor->GetText(), "\xC9" "cole");
    platform.Advance(2000);
    platform.Char(0xC4); // Ä finds ärger
    EXPECT_EQ(editor->GetText(), "\xE4rger");
}

TEST(ComboTableTest, TellsItsParentOfDroppingPickingAndClosing) {
    TestSupport::FakePlatform platform;
    ComboParent parent;
    ASSERT_TRUE(parent.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE));
    CComboTable combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE, {10, 10, 110, 30}, parent, 5));
    EXPECT_EQ(combo.GetWindowText(), "Tavex::CComboTable");
    EXPECT_EQ(platform.Window(combo).rect, (Rect{9, 9, 111, 31}));
    CStringCol text;
    CIntCol number;
    CComboTableDrop& list = combo.GetList();
    list.SetColumnCount(2);
    list.SetColumn(0, &text, "Name", 80);
    list.SetColumn(1, &number, "Id", 40);
    combo.SetUp(-1, 0, 1);
    for (int i = 0; i < 3; ++i) {
        CRow* row = list.AddRow();
        row->GetCell(0)->SetString(std::string("Item ") + static_cast<char>('A' + i));
        row->GetCell(1)->SetInt(100 + i);
    }
    list.Redraw(false);
    platform.LButtonDown(combo, {5, 5});
    EXPECT_EQ(combo.GetTrackingState(), 1);
    EXPECT_EQ(parent.codes, std::vector<unsigned>{CBN_DROPDOWN});
    platform.KeyDown(VK_DOWN);
    platform.KeyDown(VK_SPACE);
    EXPECT_EQ(combo.GetText(), "Item A");
    EXPECT_EQ(combo.GetValue(), 100);
    EXPECT_EQ(parent.codes, (std::vector<unsigned>{CBN_DROPDOWN, CBN_VALUETAKEN, CBN_SELENDOK,
                                                   CBN_CLOSEUP, CBN_SELCHANGE}));
    parent.codes.clear();
    platform.Click(combo, {combo.ButtonRect().left + 2, 5});
    EXPECT_EQ(combo.GetTrackingState(), 2);
    platform.SetFocus(&parent);
    EXPECT_FALSE(combo.IsDropped());
    EXPECT_EQ(parent.codes,
              (std::vector<unsigned>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_KILLFOCUS}));
    // Selecting no row leaves no text and no value behind.
    combo.SelectRow(1);
    EXPECT_EQ(combo.GetValue(), 101);
    combo.SelectRow(-1);
    EXPECT_EQ(combo.GetSelectedRow(), -1);
    EXPECT_EQ(combo.GetText(), "");
    EXPECT_EQ(combo.GetValue(), -1);
    // Without a text column typing has nothing to search.
    combo.SetUp(-1, -1, 1);
    combo.SetFocus();
    platform.Char('i');
    EXPECT_EQ(platform.beeps.size(), 1u);
}
