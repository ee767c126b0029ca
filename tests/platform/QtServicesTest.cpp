#include "platform/Window.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtDrawContext.h"
#include "platform/qt/QtMenu.h"
#include "platform/qt/QtPlatform.h"
#include "tests/support/qt/QtTestApp.h"

#include <QActionGroup>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Platform;
using namespace PlatformQt;
using TestSupport::ProcessEventsFor;
using TestSupport::TestApp;

namespace {

class Source : public CWnd {
public:
    std::string OnRenderClipboardText() override {
        ++renders;
        return text;
    }
    std::string text;
    int renders = 0;
};

QString PastedText() {
    return QGuiApplication::clipboard()->mimeData()->text();
}

// Clicks the item with the text in the menu that is open once the event loop runs.
void ChooseLater(const QString& text) {
    QTimer::singleShot(0, [text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (action->text() != text)
                continue;
            QPoint at = menu->actionGeometry(action).center();
            QMouseEvent press(QEvent::MouseButtonPress, at, menu->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, menu->mapToGlobal(at),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(menu, &press);
            QApplication::sendEvent(menu, &release);
            return;
        }
        menu->close();
    });
}

} // namespace

TEST(QtClipboardTest, OfferedTextIsProducedWhenPastedAndOnlyOnce) {
    TestApp();
    QtPlatform platform;
    CWnd top;
    Source source;
    top.CreateTopLevel(platform, {0, 0, 100, 100}, 0);
    source.Create(top, {0, 0, 10, 10}, 0, 1);

    source.text = "copied";
    platform.OfferClipboardText(source);
    source.text = "\x80 a1\tb1\t\r\n";
    EXPECT_EQ(source.renders, 0);
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasText());
    EXPECT_EQ(PastedText(), QString::fromUtf8("\u20AC a1\tb1\t\r\n"));
    source.text = "changed";
    EXPECT_EQ(PastedText(), QString::fromUtf8("\u20AC a1\tb1\t\r\n"));
    EXPECT_EQ(source.renders, 1);

    platform.SetClipboardText("cell \xE4");
    EXPECT_EQ(PastedText(), QString::fromUtf8("cell \u00E4"));

    // An offer whose window went away gives nothing, and asks nobody.
    platform.OfferClipboardText(source);
    source.DestroyWindow();
    EXPECT_EQ(PastedText(), QString());
    EXPECT_EQ(source.renders, 1);
}

TEST(QtMenuTest, ARadioGroupMarksOneItemAsAnExclusiveChoice) {
    TestApp();
    QtMenuFactory factory;
    auto menu = factory.CreatePopupMenu();
    auto sub = factory.CreatePopupMenu();
    menu->AppendMenu(MF_CHECKED, 10, "Up");
    menu->AppendMenu(MF_STRING, 11, "Down");
    menu->AppendMenu(MF_STRING, 12, "None");
    menu->AppendMenu(MF_STRING, 13, "Other");
    sub->AppendMenu(MF_STRING, 20, "Inner");
    menu->AppendMenu(MF_STRING, 14, "Sub");
    ASSERT_TRUE(menu->ModifyMenuPopup(14, "Sub", std::move(sub)));
    QMenu& q = static_cast<QtMenu&>(*menu).Menu();
    auto state = [&] {
        std::vector<int> marks; // 0 none, 1 checked, 2 checked as a radio choice
        for (int i = 0; i < 4; ++i) {
            QAction* a = q.actions()[i];
            const bool radio = a->actionGroup() && a->actionGroup()->isExclusive();
            marks.push_back(!a->isChecked() ? 0 : radio ? 2 : 1);
        }
        return marks;
    };

    EXPECT_TRUE(menu->CheckMenuRadioItem(10, 12, 11, MF_BYCOMMAND));
    EXPECT_EQ(state(), (std::vector<int>{0, 2, 0, 0}));
    EXPECT_TRUE(menu->CheckMenuRadioItem(0, 2, 2, MF_BYPOSITION));
    EXPECT_EQ(state(), (std::vector<int>{0, 0, 2, 0}));
    // Outside the run, in another menu, or missing: nothing changes.
    EXPECT_FALSE(menu->CheckMenuRadioItem(10, 11, 12, MF_BYCOMMAND));
    EXPECT_FALSE(menu->CheckMenuRadioItem(10, 20, 11, MF_BYCOMMAND));
    EXPECT_FALSE(menu->CheckMenuRadioItem(10, 99, 11, MF_BYCOMMAND));
    EXPECT_EQ(state(), (std::vector<int>{0, 0, 2, 0}));
}

TEST(QtMenuTest, TrackingReturnsTheChosenIdentifierOrZero) {
    TestApp();
    QtMenuFactory factory;
    auto menu = factory.CreatePopupMenu();
    auto sub = factory.CreatePopupMenu();
    menu->AppendMenu(MF_STRING, 100, "&Copy");
    menu->AppendMenu(MF_GRAYED | MF_DISABLED, 101, "Disabled");
    menu->AppendMenu(MF_SEPARATOR, 102, "");
    menu->AppendMenu(MF_CHECKED, 103, "Show");
    sub->AppendMenu(MF_STRING, 200, "Inner \xE4");
    EXPECT_TRUE(menu->ModifyMenuPopup(103, "Show", std::move(sub)));
    EXPECT_TRUE(menu->InsertMenu(0, MF_BYPOSITION, 99, "First"));
    EXPECT_TRUE(menu->InsertMenu(200, MF_BYCOMMAND, 199, "Before inner"));
    EXPECT_FALSE(menu->InsertMenu(555, MF_BYCOMMAND, 1, "nowhere"));

    std::string caption;
    EXPECT_TRUE(menu->GetMenuString(100, MF_BYCOMMAND, caption));
    EXPECT_EQ(caption, "&Copy");
    EXPECT_TRUE(menu->GetMenuString(200, MF_BYCOMMAND, caption)); // found in the submenu
    EXPECT_EQ(caption, "Inner \xE4");
    EXPECT_TRUE(menu->GetMenuString(0, MF_BYPOSITION, caption));
    EXPECT_EQ(caption, "First");
    EXPECT_FALSE(menu->GetMenuString(9, MF_BYPOSITION, caption));

    QMenu& q = static_cast<QtMenu&>(*menu).Menu();
    ASSERT_EQ(q.actions().size(), 5);
    EXPECT_FALSE(q.actions()[2]->isEnabled());
    EXPECT_TRUE(q.actions()[3]->isSeparator());
    ASSERT_NE(q.actions()[4]->menu(), nullptr);
    EXPECT_EQ(q.actions()[4]->menu()->actions().size(), 2);

    ChooseLater("&Copy");
    EXPECT_EQ(menu->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 50, 50), 100u);
    ChooseLater("Disabled"); // cannot be chosen: the menu stays until closed
    QTimer::singleShot(50, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    EXPECT_EQ(menu->TrackPopupMenu(TPM_RETURNCMD, 50, 50), 0u);
    ChooseLater("no such item");
    EXPECT_EQ(menu->TrackPopupMenu(TPM_RETURNCMD, 50, 50), 0u);
}

TEST(QtDialogsTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(NameFilters("Html Dateien (*.html)|*.html|Alle Dateien (*.*)|*.*||"),
              (QStringList{"Html Dateien (*.html)", "Alle Dateien (*.*)"}));
    EXPECT_EQ(NameFilters("Texte|*.txt;*.log|"), (QStringList{"Texte (*.txt *.log)"}));
    EXPECT_EQ(NameFilters("A|*.a||B|*.b|"), (QStringList{"A (*.a)"}));
    EXPECT_EQ(NameFilters(""), QStringList());
    EXPECT_EQ(NameFilters("odd|"), (QStringList{"odd ()"}));

    // Nothing to open is "not found", without starting any program.
    TestApp();
    QtPlatform platform;
    EXPECT_EQ(platform.OpenWithDefaultHandler(""), 2);
}

TEST(QtDrawContextTest, LinesFocusFramesAndStateLevels) {
    TestApp();
    QImage image = QtDrawContext::ScreenImage(40, 20);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtDrawContext dc(painter, nullptr);
        dc.SelectPen({PS_SOLID, 1, RGB(0, 0, 255)});
        dc.MoveTo(2, 5);
        dc.LineTo(10, 5); // pixels 2..9, not 10
        dc.DrawFocusRect({20, 2, 30, 12});
        dc.DrawFocusRect({20, 2, 30, 12}); // the second one takes the first away

        EXPECT_EQ(dc.SaveDC(), 1);
        dc.SetTextColor(RGB(1, 2, 3));
        EXPECT_EQ(dc.SaveDC(), 2);
        dc.SetTextColor(RGB(4, 5, 6));
        EXPECT_TRUE(dc.RestoreDC(1));
        EXPECT_EQ(dc.SetTextColor(0), 0u); // back to the state before the first save
        EXPECT_FALSE(dc.RestoreDC(-1));    // nothing saved any more

        Rect calc{0, 0, 0, 0};
        int height = dc.DrawText("Wide text", calc, DT_CALCRECT | DT_SINGLELINE);
        EXPECT_GT(calc.right, 0);
        EXPECT_EQ(calc.bottom, height);
        EXPECT_EQ(calc.right, dc.GetTextExtent("Wide text").cx);
    }
    EXPECT_EQ(image.pixelColor(2, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(9, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::white));
    for (int x = 18; x < 32; ++x)
        for (int y = 0; y < 14; ++y)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;

    // One focus frame inverts every other pixel of the border.
    {
        QPainter painter(&image);
        QtDrawContext dc(painter, nullptr);
        dc.DrawFocusRect({20, 2, 30, 12});
    }
    EXPECT_EQ(image.pixelColor(20, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(21, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(29, 11), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(25, 6), QColor(Qt::white));
}

TEST(QtDrawContextTest, SymbolFontArrowsDrawAsArrows) {
    TestApp();
    auto dc = QtDrawContext::CreateMeasuring();
    Font symbols;
    symbols.face = "WingDings";
    dc->SelectFont(symbols);
    Size arrow = dc->GetTextExtent("\xEA");
    dc->SelectFont({});
    // Measured as the arrow look-alike, not as the letter e with circumflex.
    EXPECT_NE(arrow.cx, dc->GetTextExtent("\xEA").cx);
    EXPECT_EQ(arrow.cx, dc->GetTextExtent("\xE9").cx == 0 ? -1 : arrow.cx);
}
