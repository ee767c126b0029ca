#include "table/IntIn.h"
#include "table/TextIn.h"
#include "tests/table/TableCtrlFixture.h"

#include <climits>
#include <functional>

using namespace Platform;
using namespace Tavex;
using TableCtrlTesting::TableCtrlTest;

namespace {

// One edit notification as the parent saw it, with the value it carried at that moment.
struct EditNote {
    int code;
    int row;
    int column;
    std::string value;
    int x;
    bool operator==(const EditNote&) const = default;
};

void PrintTo(const EditNote& n, std::ostream* os) {
    *os << "{" << n.code << ", " << n.row << ", " << n.column << ", \"" << n.value << "\", " << n.x
        << "}";
}

bool IsEditCode(int code) {
    return code == LVN_BEGINLABELEDITA || code == LVN_ENDLABELEDITA || code == TVN_EDITCANCELLED ||
           code == TVN_PASTLASTROW || code == TVN_CELLCHANGED || code == TVN_CHOICELISTOPENING ||
           code == TVN_CHOICECHANGED;
}

// Receives the control's notifications; a test answers them through onNote.
class EditListener : public CWnd {
public:
    long OnNotify(NMHDR& hdr) override {
        auto& record = static_cast<NMTABLE&>(hdr);
        if (!IsEditCode(record.code))
            return 0;
        std::string value;
        if (record.value)
            value = record.value->GetText() ? record.value->GetString()
                                            : std::to_string(record.value->GetInt());
        notes.push_back({record.code, record.iRow, record.iColumn, value, record.x});
        return onNote ? onNote(record) : 0;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const EditNote& n : notes)
            codes.push_back(n.code);
        return codes;
    }

    std::vector<EditNote> notes;
    std::function<long(NMTABLE&)> onNote;
};

class EditControllerTest : public TableCtrlTest {
protected:
    void SetUp() override {
        Make(400, 200);
        Fill({"Ann", "Bob", "Cid"});
        ctrl->SetColumnView(0, stringCol.CreateOutput(), new CTextIn, "Name", 100);
        ctrl->SetColumnView(1, intCol.CreateOutput(), new CIntIn, "Score", 100);
        ctrl->SetColumnView(2, stringCol.CreateOutput(), new CTextIn, "City", 100);
        ctrl->SetColumnsEditable(true);
        ctrl->Redraw(false);
        listener.Create(dialog, {0, 0, 1, 1}, WS_CHILD, 77);
        ctrl->SetNotifyTarget(&listener);
    }
    // Columns are 100 px wide: Name at x 0, Score at 100, City at 200.
    void ClickCell(int row, int column) { platform.Click(ctrl->GetBody(), CellPoint(row, column)); }
    Point CellPoint(int row, int column) const { return RowPoint(row, column * 100 + 20); }
    CEditController& Edit() { return ctrl->GetEditController(); }
    CTextIn& NameEditor() { return dynamic_cast<CTextIn&>(*ctrl->Col(0).m_input); }
    CIntIn& ScoreEditor() { return dynamic_cast<CIntIn&>(*ctrl->Col(1).m_input); }
    std::pair<int, int> Current() const {
        return {ctrl->GetCurrentCell().GetRow(), ctrl->GetCurrentCell().GetColumn()};
    }
    void Type(const std::string& digits) {
        for (char c : digits)
            platform.Char(static_cast<unsigned char>(c));
    }

    EditListener listener;
};

} // namespace

TEST_F(EditControllerTest, AClickOpensTheEditorOverTheCellAndAClickElsewhereCommitsFirst) {
    ClickCell(1, 0);
    ASSERT_TRUE(Edit().IsEditing());
    CTextIn& editor = NameEditor();
    ASSERT_TRUE(editor.IsWindow());
    EXPECT_EQ(platform.GetFocus(), &editor);
    EXPECT_EQ(editor.GetWindowText(), "Bob");
    const int rowHeight = ctrl->GetRowHeight();
    const Rect expected{1, rowHeight + 1, 1 + 100 - 3, 2 * rowHeight - ctrl->GetHorzGrid() - 1};
    EXPECT_EQ(Where(editor), expected);
    EXPECT_EQ(listener.notes, (std::vector<EditNote>{{LVN_BEGINLABELEDITA, 1, 0, "Bob", 1}}));
    EXPECT_EQ(Selected(), std::vector<int>{1});

    platform.TypeText(editor, "Bert");
    listener.notes.clear();
    ClickCell(2, 2);
    EXPECT_EQ(ctrl->GetCellText(1, 0), "Bert");
    EXPECT_EQ(listener.notes, (std::vector<EditNote>{{LVN_ENDLABELEDITA, 1, 0, "Bert", -1},
                                                     {TVN_CELLCHANGED, 1, 0, "Bert", -1},
                                                     {LVN_BEGINLABELEDITA, 2, 2, "City 2", 1}}));
    EXPECT_FALSE(editor.IsWindow());
    EXPECT_EQ(Current(), std::make_pair(2, 2));
    EXPECT_EQ(platform.GetFocus(), ctrl->Col(2).m_input->GetEditorWindow());

    // Scrolling keeps the editor over its cell.
    ctrl->SetColumnWidth(0, 150);
    ctrl->Redraw(true);
    EXPECT_EQ(Where(*ctrl->Col(2).m_input->GetEditorWindow()).left, 251);
}

TEST_F(EditControllerTest, EscapeKeepsTheOldValueAndEnterStores) {
    ClickCell(0, 1);
    ASSERT_TRUE(Edit().IsEditing());
    Type("42");
    EXPECT_EQ(ScoreEditor().GetText(), "42"); // the first key replaces the selected value
    platform.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_FALSE(ScoreEditor().IsWindow());
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), -20);
    EXPECT_EQ(listener.Codes(), (std::vector<int>{LVN_BEGINLABELEDITA, TVN_EDITCANCELLED}));
    EXPECT_EQ(platform.GetFocus(), ctrl.get());

    listener.notes.clear();
    platform.KeyDown(VK_SPACE);
    ASSERT_TRUE(Edit().IsEditing());
    Type("42");
    platform.KeyDown(VK_RETURN);
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), 42);
    EXPECT_EQ(listener.notes, (std::vector<EditNote>{{LVN_BEGINLABELEDITA, 0, 1, "-20", -1},
                                                     {LVN_ENDLABELEDITA, 0, 1, "42", -1},
                                                     {TVN_CELLCHANGED, 0, 1, "42", -1}}));
}

TEST_F(EditControllerTest, VetoesKeepTheEditorShutOrDiscardTheValue) {
    listener.onNote = [](NMTABLE& r) { return r.code == LVN_ENDLABELEDITA ? 1 : 0; };
    ClickCell(2, 1);
    Type("7");
    platform.KeyDown(VK_RETURN);
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ(ctrl->GetCell(2, 1)->GetInt(), 0);
    // Reported like a cancel, but without the cancel notification.
    EXPECT_EQ(listener.Codes(), (std::vector<int>{LVN_BEGINLABELEDITA, LVN_ENDLABELEDITA}));

    listener.notes.clear();
    listener.onNote = [](NMTABLE& r) { return r.code == LVN_BEGINLABELEDITA ? 1 : 0; };
    ClickCell(1, 0);
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_FALSE(NameEditor().IsWindow());
    EXPECT_EQ(listener.Codes(), std::vector<int>{LVN_BEGINLABELEDITA});

    // Columns that are not editable open nothing and ask nobody.
    listener.notes.clear();
    listener.onNote = nullptr;
    ctrl->Col(0).m_editable = false;
    ClickCell(1, 0);
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_TRUE(listener.notes.empty());
}

TEST_F(EditControllerTest, TabWalksTheEditableCellsAndAsksPastTheLastRow) {
    ctrl->Col(1).m_editable = false;
    ClickCell(0, 0);
    platform.KeyDown(VK_TAB);
    EXPECT_EQ(Current(), std::make_pair(0, 2)); // the read-only Score is skipped
    EXPECT_TRUE(Edit().IsEditing());
    platform.KeyDown(VK_TAB);
    EXPECT_EQ(Current(), std::make_pair(1, 0));
    EXPECT_EQ(Selected(), std::vector<int>{1});

    // Past the last row with the answer 0: back to the first editable cell of that row.
    ClickCell(2, 2);
    listener.notes.clear();
    platform.KeyDown(VK_TAB);
    EXPECT_EQ(listener.Codes(), (std::vector<int>{LVN_ENDLABELEDITA, TVN_CELLCHANGED,
                                                  TVN_PASTLASTROW, LVN_BEGINLABELEDITA}));
    EXPECT_EQ(listener.notes[2].row, 2);
    EXPECT_EQ(Current(), std::make_pair(2, 0));

    // The parent appends a row and answers 1: editing goes on in the new row.
    ClickCell(2, 2);
    listener.onNote = [this](NMTABLE& r) -> long {
        if (r.code != TVN_PASTLASTROW)
            return 0;
        ctrl->AddRow()->GetCell(0)->SetString("Dee");
        return 1;
    };
    platform.KeyDown(VK_TAB);
    EXPECT_EQ(ctrl->GetRowCount(), 4);
    EXPECT_EQ(Current(), std::make_pair(3, 0));
    ASSERT_TRUE(Edit().IsEditing());
    EXPECT_EQ(NameEditor().GetWindowText(), "Dee");
}

TEST_F(EditControllerTest, ShiftTabGoesBackAndStaysOnTheFirstEditableCell) {
    ClickCell(1, 0);
    platform.SetKeyDown(VK_SHIFT, true);
    platform.KeyDown(VK_TAB);
    EXPECT_EQ(Current(), std::make_pair(0, 2));

    ctrl->Col(0).m_editable = false;
    platform.SetKeyDown(VK_SHIFT, false);
    ClickCell(0, 1);
    platform.SetKeyDown(VK_SHIFT, true);
    listener.notes.clear();
    platform.KeyDown(VK_TAB);
    EXPECT_EQ(listener.Codes(),
              (std::vector<int>{LVN_ENDLABELEDITA, TVN_CELLCHANGED, LVN_BEGINLABELEDITA}));
    EXPECT_EQ(Current(), std::make_pair(0, 1));
    EXPECT_TRUE(Edit().IsEditing());
    EXPECT_TRUE(ScoreEditor().IsWindow());
}

TEST_F(EditControllerTest, PageKeysCommitAndMoveOneRowInTheSameColumn) {
    ClickCell(1, 1);
    Type("5");
    platform.KeyDown(VK_NEXT);
    EXPECT_EQ(ctrl->GetCell(1, 1)->GetInt(), 5);
    EXPECT_EQ(Current(), std::make_pair(2, 1));
    platform.KeyDown(VK_NEXT);
    EXPECT_EQ(Current(), std::make_pair(2, 1)); // nothing below the last row
    EXPECT_TRUE(Edit().IsEditing());
    platform.KeyDown(VK_PRIOR);
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    EXPECT_EQ(ScoreEditor().GetText(), "5");
}

TEST_F(EditControllerTest, TheNumberEditorStaysWithinTheIntRange) {
    ClickCell(0, 1);
    CIntIn& editor = ScoreEditor();
    Type("99999999999");
    EXPECT_EQ(editor.GetNumber(), INT_MAX);
    platform.KeyDown(VK_UP);
    EXPECT_EQ(editor.GetNumber(), INT_MAX);
    platform.Char(VK_BACK); // the stepped value is selected: Backspace empties it
    Type("-2147483648");
    EXPECT_EQ(editor.GetNumber(), INT_MIN);
    platform.KeyDown(VK_DOWN);
    EXPECT_EQ(editor.GetNumber(), INT_MIN);
    platform.Char(VK_BACK);
    Type("1-");
    EXPECT_EQ(editor.GetText(), "1"); // a minus sign only leads
    EXPECT_FALSE(platform.beeps.empty());
    // The spin buttons at the right edge step the number.
    const Rect r = editor.GetClientRect();
    platform.Click(editor, {r.right - 3, r.top + 1});
    EXPECT_EQ(editor.GetNumber(), 2);
    platform.Click(editor, {r.right - 3, r.bottom - 1});
    platform.Click(editor, {r.right - 3, r.bottom - 1});
    EXPECT_EQ(editor.GetNumber(), 0);
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(ctrl->GetCell(0, 1)->GetInt(), 0);
}

TEST_F(EditControllerTest, AValueGoesToTheEditedRowEvenWhenTheParentMovesRowsWhileAsked) {
    // The parent removes the row above the one being edited before it answers.
    listener.onNote = [this](NMTABLE& r) -> long {
        if (r.code == LVN_ENDLABELEDITA)
            ctrl->DeleteRow(0);
        return 0;
    };
    ClickCell(1, 0);
    platform.TypeText(NameEditor(), "Bert");
    listener.notes.clear();
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(ctrl->GetCellText(0, 0), "Bert");
    EXPECT_EQ(ctrl->GetCellText(1, 0), "Cid");
    EXPECT_EQ(listener.notes, (std::vector<EditNote>{{LVN_ENDLABELEDITA, 1, 0, "Bert", -1},
                                                     {TVN_CELLCHANGED, 0, 0, "Bert", -1}}));

    // The parent removes the edited row itself: nothing is stored and no change reported.
    listener.onNote = [this](NMTABLE& r) -> long {
        if (r.code == LVN_ENDLABELEDITA)
            ctrl->DeleteRow(r.iRow);
        return 0;
    };
    ClickCell(0, 0);
    platform.TypeText(NameEditor(), "Zed");
    listener.notes.clear();
    platform.KeyDown(VK_RETURN);
    EXPECT_FALSE(Edit().IsEditing());
    ASSERT_EQ(ctrl->GetRowCount(), 1);
    EXPECT_EQ(ctrl->GetCellText(0, 0), "Cid");
    EXPECT_EQ(listener.Codes(), std::vector<int>{LVN_ENDLABELEDITA});
}

TEST_F(EditControllerTest, ReplacingTheOpenEditorsColumnViewCancelsTheEdit) {
    ClickCell(1, 0);
    platform.TypeText(NameEditor(), "Bert");
    ctrl->SetColumnView(0, stringCol.CreateOutput(), new CTextIn, "Name", 100);
    EXPECT_FALSE(Edit().IsEditing());
    Edit().EndEdit(false);
    EXPECT_EQ(ctrl->GetCellText(1, 0), "Bob");

    // Another column's view leaves the edit open.
    ClickCell(1, 0);
    ctrl->SetColumnView(2, stringCol.CreateOutput(), new CTextIn, "City", 100);
    EXPECT_TRUE(Edit().IsEditing());
    platform.TypeText(NameEditor(), "Bert");
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(ctrl->GetCellText(1, 0), "Bert");
}

TEST_F(EditControllerTest, MovingTheCurrentRowFromOutsideStoresTheOpenEditFirst) {
    // As the favourites dialog's New does: append a row and make it current mid-edit.
    ClickCell(0, 0);
    platform.TypeText(NameEditor(), "Anna");
    ctrl->AddRow()->GetCell(0)->SetString("New");
    ctrl->SetCurrentRow(3);
    ctrl->Redraw(false);
    EXPECT_FALSE(Edit().IsEditing());
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Anna", "Bob", "Cid", "New"}));

    // Making the edited row current again keeps the edit open.
    ClickCell(1, 0);
    ctrl->SetCurrentRow(1);
    EXPECT_TRUE(Edit().IsEditing());
}

TEST_F(EditControllerTest, DeletingTheCurrentRowLetsGoOfItBeforeItsRecordServesANewRow) {
    // The favourites dialog's Delete, then New: the recycled record must not come back current
    // with the old edit on it.
    ClickCell(1, 0);
    platform.TypeText(NameEditor(), "Bert");
    ctrl->DeleteRow(1);
    EXPECT_FALSE(Edit().IsEditing());
    ctrl->AddRow()->GetCell(0)->SetString("New");
    EXPECT_EQ(Current().first, -1);
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Ann", "Cid", "New"}));

    ClickCell(0, 0);
    ctrl->DeleteAllRows();
    EXPECT_FALSE(Edit().IsEditing());
    ctrl->AddRow()->GetCell(0)->SetString("Dan");
    ctrl->AddRow()->GetCell(0)->SetString("Eve");
    ctrl->Redraw(false);
    EXPECT_EQ(Current().first, -1);

    ClickCell(1, 2);
    platform.KeyDown(VK_ESCAPE);
    ctrl->SelectRow(1, true);
    ctrl->DeleteSelectedRows();
    ctrl->AddRow();
    EXPECT_EQ(Current().first, -1);
}
