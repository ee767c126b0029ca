// Every dialog template shown with the dialog font on the offscreen Qt platform: each static
// text, check box, radio button, group box title and button label fits its control. A text
// that is too wide for one line may wrap when its control has room for more lines.
// With VANTREL_DIALOG_SHOTS set to a folder, a picture of each dialog is written there.
#include "platform/Dialog.h"
#include "platform/qt/QtPlatform.h"
#include "resources/DialogTemplates.h"
#include "tests/support/qt/QtTestApp.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

// Why `widget`'s text does not fit it, or empty when it does.
std::string Misfit(QWidget& widget) {
    const QFontMetrics metrics = widget.fontMetrics();
    const int width = widget.width();
    auto tooWide = [&](const QString& text, int needed) {
        return "\"" + text.toStdString() + "\" needs " + std::to_string(needed) + " px, has " +
               std::to_string(width);
    };
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        const QString text = label->text();
        if (text.isEmpty())
            return {};
        const int oneLine = metrics.horizontalAdvance(text);
        if (oneLine <= width)
            return {};
        if (!label->wordWrap())
            return tooWide(text, oneLine);
        // Wrapped: every word fits a line, and the lines fit the height.
        for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (metrics.horizontalAdvance(word) > width)
                return tooWide(word, metrics.horizontalAdvance(word));
        const int height = label->heightForWidth(width);
        if (height > label->height())
            return "\"" + text.toStdString() + "\" wraps to " + std::to_string(height) +
                   " px, has " + std::to_string(label->height());
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        const QString text = button->text().remove(QLatin1Char('&'));
        if (text.isEmpty())
            return {};
        int needed = 0;
        if (qobject_cast<QPushButton*>(button)) {
            // The text and the button's own margins and frame, no minimum width of the style.
            QStyle* style = button->style();
            needed = metrics.horizontalAdvance(text) +
                     style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                     2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        } else {
            needed = button->sizeHint().width(); // indicator, spacing and text
        }
        return needed <= width ? std::string() : tooWide(text, needed);
    }
    if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        const int needed = metrics.horizontalAdvance(group->title()) + 2 * metrics.height();
        return needed <= width ? std::string() : tooWide(group->title(), needed);
    }
    return {};
}

struct CTemplateCase {
    const char* name;
    Platform::DialogTemplate (*make)();
};

void PrintTo(const CTemplateCase& templateCase, std::ostream* out) {
    *out << templateCase.name;
}

class DialogTextFitTest : public testing::TestWithParam<CTemplateCase> {};

} // namespace

TEST_P(DialogTextFitTest, EveryTextFitsItsControl) {
    TestSupport::TestApp();
    PlatformQt::QtPlatform platform;
    Platform::CDialog dialog(GetParam().make());
    int checked = 0;
    QTimer::singleShot(0, [&] {
        QWidget* window = platform.Widget(dialog);
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (!child->isVisible() || child->isWindow())
                continue;
            ++checked;
            const std::string misfit = Misfit(*child);
            EXPECT_TRUE(misfit.empty()) << GetParam().name << ": " << misfit;
        }
        if (const char* folder = std::getenv("VANTREL_DIALOG_SHOTS"))
            window->grab().save(QString::fromLocal8Bit(folder) + "/" + GetParam().name + ".png");
        dialog.EndDialog(Platform::IDCANCEL);
    });
    dialog.DoModal(platform, nullptr);
    EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogTextFitTest,
    testing::Values(CTemplateCase{"main", Res::MainDialogTemplate},
                    CTemplateCase{"options", Res::OptionsDialogTemplate},
                    CTemplateCase{"master", Res::MasterServerDialogTemplate},
                    CTemplateCase{"password", Res::ServerPasswordDialogTemplate},
                    CTemplateCase{"serverinfo", Res::ServerInfoDialogTemplate},
                    CTemplateCase{"favorites", Res::FavoritesDialogTemplate}),
    [](const testing::TestParamInfo<CTemplateCase>& info) { return std::string(info.param.name); });
