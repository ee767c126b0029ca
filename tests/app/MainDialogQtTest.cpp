#include "app/MainDialog.h"

#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "platform/qt/QtPlatform.h"
#include "tests/app/LoopbackMaster.h"
#include "tests/app/TempWorkDir.h"
#include "tests/support/qt/QtTestApp.h"

#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

CRegistryKey Key() {
    CRegistryKey key;
    OpenSettingsKey(key);
    return key;
}

// Opens the main window on Qt, plays the user once its loop runs, then closes it.
void OpenMain(PlatformQt::QtPlatform& platform, CMainDialog& dialog,
              const std::function<void(QWidget&)>& user) {
    QTimer::singleShot(0, [&] {
        user(*platform.Widget(dialog));
        dialog.OnCancel();
    });
    dialog.DoModal(platform, nullptr);
}

} // namespace

TEST(MainDialogQtTest, ClosingWhileMinimisedKeepsTheStoredRectangleAndSplitter) {
    TestSupport::TestApp();
    CTempWorkDir dir;
    // The default master is a host name, and resolving it would leave this machine.
    CRegistryKey key = Key();
    StoreLoopbackMaster(key, "127.0.0.1:28060");
    PlatformQt::QtPlatform platform;
    CWindowRect stored;
    {
        CMainDialog dialog;
        OpenMain(platform, dialog, [&](QWidget& window) {
            // Never smaller than it was created.
            EXPECT_EQ(window.minimumSize(), window.size());
        });
        stored = *ReadWindowRect(Key(), kLastPosValue);
    }
    Key().WriteNumber(kSplitPosValue, 33);
    CWindowRect wider = stored;
    wider.m_right += 80;
    WriteWindowRect(key, kLastPosValue, wider);

    CMainDialog dialog;
    OpenMain(platform, dialog, [&](QWidget& window) {
        EXPECT_EQ(dialog.Splitter().GetPos(), 33);
        dialog.Splitter().SetPos(50);
        window.showMinimized();
    });
    EXPECT_EQ(ReadWindowRect(Key(), kLastPosValue), wider);
    EXPECT_EQ(Key().ReadNumber(kSplitPosValue, 0), 33u);
}
