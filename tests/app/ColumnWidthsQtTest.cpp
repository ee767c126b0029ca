// Default column widths were chosen for a small design font; on the desktop's font they scale
// with the dialog base units, so a three-digit ping and "32/32" show in full, while widths the
// user made come back exactly as stored.
#include "app/MainDialog.h"

#include "app/core/MainTables.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "platform/qt/QtPlatform.h"
#include "tests/app/LoopbackMaster.h"
#include "tests/app/TempWorkDir.h"
#include "tests/support/qt/QtTestApp.h"

#include <QFontMetrics>
#include <QTimer>

#include <gtest/gtest.h>

using Platform::CDesignScale;

namespace {

// Opens the main window on Qt, looks at it once its loop runs, then closes it.
void OpenMain(const std::function<void(CMainDialog&)>& look) {
    CRegistryKey key;
    OpenSettingsKey(key);
    StoreLoopbackMaster(key, "127.0.0.1:28060");
    PlatformQt::QtPlatform platform;
    CMainDialog dialog;
    QTimer::singleShot(0, [&] {
        look(dialog);
        dialog.OnCancel();
    });
    dialog.DoModal(platform, nullptr);
}

// Every fixed default width of `columns` in `table`, as scaled from the design font.
template <std::size_t N>
void ExpectScaledDefaults(Tavex::CTableCtrl& table, const std::array<CColumnSpec, N>& columns,
                          const CDesignScale& scale) {
    for (std::size_t i = 0; i < N; ++i) {
        if (columns[i].m_width > 0) {
            EXPECT_EQ(table.GetColumnWidth(static_cast<int>(i)), scale.X(columns[i].m_width))
                << columns[i].m_title;
        }
    }
}

// The widest texts these columns hold, with the table's text margins of 5 on either side.
void ExpectLongestTextsFit(CMainDialog& dialog) {
    const QFontMetrics metrics(QApplication::font());
    const auto fits = [&](Tavex::CTableCtrl& table, int column, const char* text) {
        EXPECT_LE(metrics.horizontalAdvance(QString::fromLatin1(text)) + 10 + 1,
                  table.GetColumnWidth(column))
            << text << " in column " << column;
    };
    fits(dialog.AllPlayersTable(), AllPlayersColumn::kPing, "999");
    fits(dialog.AllPlayersTable(), AllPlayersColumn::kServerPing, "999");
    fits(dialog.AllPlayersTable(), AllPlayersColumn::kPlayers, "32/32");
    fits(dialog.ServerTable(), ServerColumn::kPing, "999");
    fits(dialog.ServerTable(), ServerColumn::kPlayers, "32/32");
    fits(dialog.PlayersOnServerTable(), PlayerOnServerColumn::kPing, "999");
}

} // namespace

TEST(ColumnWidthsQtTest, TheDesignFontKeepsTheDesignedWidths) {
    const CDesignScale design;
    for (const CColumnSpec& spec : kAllPlayersColumns)
        EXPECT_EQ(design.X(spec.m_width), spec.m_width);
    for (const CColumnSpec& spec : kServerColumns)
        EXPECT_EQ(design.X(spec.m_width), spec.m_width);
    EXPECT_EQ(design.Y(18), 18);
    // A font 1.23 times wider, as the desktop's default against the design font.
    const CDesignScale wider{{7, 16}};
    EXPECT_EQ(wider.X(32), 37);
    EXPECT_EQ(wider.X(44), 51);
    EXPECT_EQ(wider.X(120), 140);
    EXPECT_EQ(wider.Y(18), 22);
}

TEST(ColumnWidthsQtTest, DefaultWidthsFollowTheDesktopFontAndHoldTheLongestValues) {
    TestSupport::TestApp();
    const QFont original = QApplication::font();
    for (qreal factor : {1.0, 1.6}) {
        SCOPED_TRACE(factor);
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * factor);
        QApplication::setFont(font);
        CTempWorkDir dir;
        OpenMain([&](CMainDialog& dialog) {
            const CDesignScale scale{dialog.GetBaseUnits()};
            EXPECT_GT(scale.base.cx, 6);
            ExpectScaledDefaults(dialog.AllPlayersTable(), kAllPlayersColumns, scale);
            ExpectScaledDefaults(dialog.ServerTable(), kServerColumns, scale);
            ExpectScaledDefaults(dialog.PlayersOnServerTable(), kPlayerOnServerColumns, scale);
            EXPECT_EQ(dialog.ServerTable().GetHeaderHeight(), scale.Y(18));
            EXPECT_GE(dialog.ServerTable().GetHeaderHeight(), QFontMetrics(font).height() + 2);
            ExpectLongestTextsFit(dialog);
        });
    }
    QApplication::setFont(original);
}

TEST(ColumnWidthsQtTest, AStoredLayoutComesBackAsItWasStored) {
    TestSupport::TestApp();
    const QFont original = QApplication::font();
    CTempWorkDir dir;
    OpenMain([](CMainDialog& dialog) {
        dialog.AllPlayersTable().SetColumnWidth(AllPlayersColumn::kPing, 50);
        dialog.ServerTable().SetColumnWidth(ServerColumn::kMap, 33);
    });
    // Even on a larger font, nothing the user sized is scaled again.
    QFont font = original;
    font.setPointSizeF(original.pointSizeF() * 1.6);
    QApplication::setFont(font);
    OpenMain([](CMainDialog& dialog) {
        EXPECT_EQ(dialog.AllPlayersTable().GetColumnWidth(AllPlayersColumn::kPing), 50);
        EXPECT_EQ(dialog.ServerTable().GetColumnWidth(ServerColumn::kMap), 33);
    });
    QApplication::setFont(original);
}
