#include "uictrl/HyperLink.h"

#include "tests/support/FakeDrawContext.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/PrintGeometry.h"

#include <gtest/gtest.h>

using namespace Kivra;
using namespace Platform;
using TestSupport::FakeDrawContext;
using TestSupport::FakePlatform;

namespace {

enum { IdLabel = 1040, IdOther = 1 };

struct HyperLinkTest : ::testing::Test {
    FakePlatform platform;
    CWnd dialog, label, other;
    CHyperLink link;

    void SetUp() override {
        dialog.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
        label.Create(dialog, {10, 10, 210, 40}, WS_CHILD | WS_VISIBLE, IdLabel, "Vantrel");
        other.Create(dialog, {10, 100, 100, 120}, WS_CHILD | WS_VISIBLE, IdOther);
    }

    void Attach(const std::string& target, unsigned options = CHyperLink::DefaultOptions) {
        link.SetLinkUrl(target);
        link.SetLinkOptions(options);
        ASSERT_TRUE(link.SubclassDlgItem(IdLabel, dialog));
    }
};

} // namespace

TEST_F(HyperLinkTest, TakesOverTheControlAndSizesItselfToTheText) {
    Attach("https://vantrel.example/");
    EXPECT_FALSE(label.IsWindow());
    EXPECT_EQ(dialog.GetDlgItem(IdLabel), &link);
    EXPECT_EQ(link.GetWindowText(), "Vantrel");
    // 7 characters of 7 px, 13 px high, from the left edge.
    EXPECT_EQ(dialog.ScreenToClientRect(link.GetWindowRect()), (Rect{10, 10, 59, 23}));
    EXPECT_EQ(platform.Window(link).cursor, IDC_HAND);
    EXPECT_EQ(platform.ToolTip(link, {1, 1}), "https://vantrel.example/");
}

TEST_F(HyperLinkTest, EmptyTextShowsTheTargetAndEmptyTargetTakesTheText) {
    label.SetWindowText("");
    Attach("mailto:team@vantrel.example", CHyperLink::UnderlineText);
    EXPECT_EQ(link.GetWindowText(), "mailto:team@vantrel.example");
    EXPECT_EQ(dialog.ScreenToClientRect(link.GetWindowRect()), (Rect{10, 10, 210, 40}))
        << "not sized without option 4";

    CHyperLink second;
    other.SetWindowText("https://other.example/");
    second.SubclassDlgItem(IdOther, dialog);
    EXPECT_EQ(second.GetLinkUrl(), "https://other.example/");
    EXPECT_EQ(platform.Window(second).cursor, IDC_HAND);
}

TEST_F(HyperLinkTest, SizingToTheTextKeepsTheControlsAlignment) {
    struct Case {
        unsigned style;
        Rect expected;
    };
    // "Vantrel" measures 49 x 13 in the 200 x 30 control.
    for (const Case& c : {Case{CHyperLink::SS_RIGHT, {161, 10, 210, 23}},
                          Case{CHyperLink::SS_CENTER, {85, 10, 134, 23}},
                          Case{CHyperLink::SS_CENTERIMAGE, {10, 18, 59, 31}}}) {
        CWnd control;
        CHyperLink centred;
        control.Create(dialog, {10, 10, 210, 40}, WS_CHILD | WS_VISIBLE | c.style, 77, "Vantrel");
        ASSERT_TRUE(centred.SubclassDlgItem(77, dialog));
        EXPECT_EQ(dialog.ScreenToClientRect(centred.GetWindowRect()), c.expected)
            << "style " << c.style;
    }
}

TEST_F(HyperLinkTest, OpensOnButtonUpOnlyAfterADownOnTheLabel) {
    Attach("https://vantrel.example/");
    platform.LButtonUp(link, {2, 2});
    EXPECT_TRUE(platform.openedTargets.empty()) << "the button went down elsewhere";

    platform.LButtonDown(link, {2, 2});
    EXPECT_TRUE(platform.openedTargets.empty());
    EXPECT_EQ(platform.GetFocus(), &link) << "option 16 takes the focus";
    platform.LButtonUp(link, {2, 2});
    EXPECT_EQ(platform.openedTargets, (std::vector<std::string>{"https://vantrel.example/"}));

    platform.KeyDown(VK_SPACE);
    EXPECT_EQ(platform.openedTargets.size(), 2u);
    platform.KeyDown(VK_RETURN);
    EXPECT_EQ(platform.openedTargets.size(), 2u);

    // A press dragged off the label and released elsewhere opens nothing.
    platform.LButtonDown(link, {2, 2});
    platform.LButtonUp(link, {2, 200});
    EXPECT_EQ(platform.openedTargets.size(), 2u);
}

TEST_F(HyperLinkTest, ALabelThatExistsKeepsAnotherControl) {
    Attach("https://vantrel.example/");
    EXPECT_FALSE(link.SubclassDlgItem(IdOther, dialog));
    EXPECT_TRUE(other.IsWindow());
    EXPECT_EQ(link.GetDlgCtrlID(), unsigned(IdLabel));
}

TEST_F(HyperLinkTest, ColourFollowsVisitFocusAndHover) {
    Attach("https://vantrel.example/", CHyperLink::DefaultOptions | CHyperLink::UseHoverColour);
    EXPECT_EQ(link.CurrentColour(), CHyperLink::LinkColour);

    platform.Click(link, {2, 2});
    EXPECT_EQ(link.CurrentColour(), CHyperLink::FocusColour);
    other.SetFocus();
    EXPECT_EQ(link.CurrentColour(), CHyperLink::VisitedColour);
    link.SetFocus();
    EXPECT_EQ(link.CurrentColour(), CHyperLink::FocusColour);
    other.SetFocus();
    EXPECT_EQ(link.CurrentColour(), CHyperLink::VisitedColour);

    platform.MouseMove(link, {2, 2});
    EXPECT_EQ(link.CurrentColour(), CHyperLink::HoverColour);
    EXPECT_EQ(platform.GetCapture(), &link);
    platform.MouseMove(link, {300, 2});
    EXPECT_EQ(platform.GetCapture(), nullptr);
    EXPECT_EQ(link.CurrentColour(), CHyperLink::VisitedColour);

    FakeDrawContext dc;
    platform.Paint(link, dc);
    ASSERT_FALSE(dc.Ops().empty());
    EXPECT_EQ(dc.Ops().back().text, "Vantrel");
    EXPECT_EQ(dc.Ops().back().colour, CHyperLink::VisitedColour);
    EXPECT_TRUE(dc.Ops().back().font.underline);
}

TEST_F(HyperLinkTest, AFailedOpenBeepsAndSaysWhy) {
    Attach("https://vantrel.example/");
    platform.openResult = 31;
    platform.Click(link, {2, 2});
    EXPECT_FALSE(link.IsVisited());
    EXPECT_EQ(platform.beeps, (std::vector<unsigned>{MB_ICONEXCLAMATION}));
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text,
              "Can't open link:\n\nThere is no application associated\nwith the given filename "
              "extension.");
    EXPECT_EQ(platform.messageBoxes[0].type, MB_OK | MB_ICONEXCLAMATION);

    EXPECT_EQ(CHyperLink::FailureText(26), "A sharing violation occurred. ");
    EXPECT_EQ(CHyperLink::FailureText(-7), "Unknown Error (-7) occurred.");
    EXPECT_EQ(CHyperLink::FailureText(33), "Unknown Error (33) occurred.");
}
