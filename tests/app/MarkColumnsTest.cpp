// The columns that draw more than their text: the country's flag and the lock.
#include "app/core/CountryColumn.h"
#include "app/core/LockColumn.h"

#include "table/Cells.h"
#include "tests/support/FakeDrawContext.h"

#include <gtest/gtest.h>

#include <memory>

using TestSupport::DrawOp;
using TestSupport::FakeDrawContext;
using TestSupport::FakeImageList;

namespace {

std::vector<DrawOp> Drawn(Tavex::CCellOutput& out, const std::string& text, int width = 60) {
    FakeDrawContext dc;
    Tavex::CDString cell(text);
    out.Begin(dc);
    out.Draw({10, 0, 10 + width, 15}, cell, false);
    out.End();
    return dc.Ops();
}

} // namespace

TEST(MarkColumnsTest, FlagsAreLoadedOnceByTheirCodeAndDrawnBeforeIt) {
    CCountryCol col;
    std::vector<std::string> loaded;
    col.Flags().SetSource("/flags", [&](const std::string& path) {
        loaded.push_back(path);
        return path.ends_with("/xx.png")
                   ? nullptr
                   : std::make_shared<FakeImageList>(1, Platform::Size{16, 11});
    });
    std::unique_ptr<Tavex::CCellOutput> out(col.CreateOutput());
    EXPECT_EQ(out->GetText(Tavex::CDString("DE")), "DE"); // the text for sorting and copy

    std::vector<DrawOp> ops = Drawn(*out, "DE");
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, DrawOp::Kind::Image);
    EXPECT_EQ(ops[0].rect.left, 10);
    EXPECT_EQ(ops[1].kind, DrawOp::Kind::Text);
    EXPECT_EQ(ops[1].text, "DE");
    EXPECT_EQ(ops[1].rect.left, 10 + 16 + CCountryOut::kGap);
    Drawn(*out, "DE");
    EXPECT_EQ(loaded, (std::vector<std::string>{"/flags/de.png"})); // once

    // A missing flag leaves the code alone; codes that are no two letters load nothing.
    ops = Drawn(*out, "XX");
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].text, "XX");
    EXPECT_EQ(ops[0].rect.left, 10);
    for (const char* odd : {"../", "d", "de", "D/", "DEU"})
        Drawn(*out, odd);
    EXPECT_EQ(loaded, (std::vector<std::string>{"/flags/de.png", "/flags/xx.png"}));
    EXPECT_TRUE(Drawn(*out, "").empty() || Drawn(*out, "")[0].text.empty());
    // No room for the flag: only the code.
    ops = Drawn(*out, "DE", 12);
    EXPECT_EQ(ops[0].kind, DrawOp::Kind::Text);
}

TEST(MarkColumnsTest, TheLockIsDrawnOnlyWhereTheTextSaysYes) {
    CLockCol col;
    std::unique_ptr<Tavex::CCellOutput> out(col.CreateOutput());
    EXPECT_TRUE(Drawn(*out, "").empty());
    const std::vector<DrawOp> ops = Drawn(*out, "yes", 20);
    ASSERT_FALSE(ops.empty());
    for (const DrawOp& op : ops) {
        EXPECT_NE(op.kind, DrawOp::Kind::Text); // a picture, not the word
        if (op.kind == DrawOp::Kind::Fill) {
            EXPECT_TRUE(op.rect.left >= 10 && op.rect.right <= 30);
        }
    }
    EXPECT_EQ(out->GetText(Tavex::CDString("yes")), "yes");
}
