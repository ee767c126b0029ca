#include "table/Enum.h"

#include "table/Cells.h"
#include "table/Table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Tavex;

namespace {

const char* const kGameTypes =
    "Free for all\nHolocron\nJedi Master\nDuel\n4?\nTeam Death Match\n6?\nCapture the flag\n"
    "Capture the Ysalamari\n9?\n10\n11?\n12?\n13?\n14?\n15?\n16?\n17?\n18?\n19?\n20?\n";

std::vector<int> Filled(CAbstractEnum* e) {
    CTable t;
    t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.Build();
    e->FillTable(&t);
    std::vector<int> values;
    for (int r = 0; r < t.GetRowCount(); ++r)
        values.push_back(t.GetCell(r, 0)->GetInt());
    return values;
}

} // namespace

TEST(EnumTest, EntriesFromLineFedText) {
    CEnum games(kGameTypes);
    EXPECT_EQ(games->GetEntryCount(), 22); // 0 to 20 plus the empty entry after the last LF
    EXPECT_EQ(games->Lookup(3).m_text, "Duel");
    EXPECT_EQ(games->Lookup(7).m_text, "Capture the flag");
    EXPECT_EQ(games->Lookup(21).m_text, "");
    EXPECT_EQ(games->Lookup(21).m_order, 21);
    const CEnumEntry& missing = games->Lookup(99);
    EXPECT_EQ(missing.m_text, "#Error#");
    EXPECT_EQ(missing.m_text2, "#Error#");
    EXPECT_EQ(missing.m_order, 0);
    EXPECT_EQ(games->Lookup(-1).m_text, "#Error#");

    CEnum empty("");
    EXPECT_EQ(empty->GetEntryCount(), 1);
    EXPECT_EQ(empty->Lookup(0).m_text, "");
    EXPECT_EQ(empty->Lookup(0).m_image, 0);
}

TEST(EnumTest, NextValuesContinueFromTheLastEntry) {
    CEnum e("a");
    e->AddEntry(10, "b", "tip", 4, 9);
    e->AddEntry(CEnum::CInternalEnum::kNext, "c");
    const CEnumEntry& c = e->Lookup(11);
    EXPECT_EQ(c.m_text, "c");
    EXPECT_EQ(c.m_image, 5);
    EXPECT_EQ(c.m_order, 10);
    EXPECT_EQ(e->Lookup(10).m_text2, "tip");
    EXPECT_LT(e->Compare(0, 10), 0);
    EXPECT_GT(e->Compare(11, 10), 0);
    EXPECT_EQ(e->Compare(77, 0), 0); // unknown uses order 0, as entry 0 has
}

TEST(EnumTest, LargeEnumerationIsSortedByValueOnFirstLookup) {
    CEnum e("ten");
    e->Lookup(0); // a small enumeration stays in definition order
    EXPECT_EQ(Filled(e), (std::vector<int>{0}));

    // Eleven entries defined with values 10, 9, ... 0.
    CEnum::CInternalEnum* d = new CEnum::CInternalEnum;
    d->Retain();
    for (int v = 10; v >= 0; --v)
        d->AddEntry(v, "v" + std::to_string(v), "", v, v);
    EXPECT_EQ(Filled(d), (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(d->Lookup(4).m_text, "v4");
    EXPECT_EQ(Filled(d), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(d->Lookup(11).m_text, "#Error#");
    EXPECT_EQ(d->Lookup(-1).m_text, "#Error#");
    d->AddEntry(20, "late"); // adding clears the sorted flag; lookups still find everything
    EXPECT_EQ(d->Lookup(20).m_text, "late");
    EXPECT_EQ(d->Lookup(0).m_text, "v0");
    d->Release();
}

TEST(EnumTest, HandlesShareOneReferenceCountedEnumeration) {
    CEnum a("x\ny");
    EXPECT_EQ(a->GetRefCount(), 1);
    {
        CEnum b(a);
        EXPECT_EQ(a->GetRefCount(), 2);
        CEnum c("other");
        c = a;
        EXPECT_EQ(a->GetRefCount(), 3);
        c = c; // self-assignment keeps the count
        EXPECT_EQ(a->GetRefCount(), 3);
    }
    EXPECT_EQ(a->GetRefCount(), 1);
    EXPECT_EQ(a->Lookup(1).m_text, "y");
}
