// The browser: parses the run's options, then shows the main window until it is closed.
#include "app/BrowserApp.h"
#include "app/core/CommandLine.h"
#include "app/core/DataHome.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    std::optional<CCommandLine> commandLine = ParseCommandLine(arguments, error);
    if (!commandLine) {
        std::fprintf(stderr, "vantrel: %s\n%s", error.c_str(), kBrowserUsage);
        return 2;
    }
    // Answered before any window system is needed.
    if (commandLine->m_help) {
        std::fputs(kBrowserUsage, stdout);
        return 0;
    }
    if (commandLine->m_version) {
        std::puts("vantrel " VANTREL_VERSION);
        return 0;
    }
    // The browser still runs when its data folder cannot be used, in the folder it was given.
    if (std::string message; commandLine->m_dataHome && !EnterDataHome(message))
        std::fprintf(stderr, "vantrel: %s\n", message.c_str());
    // A picture of the window needs no display.
    if (commandLine->m_screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(CBrowserApp::kAppName);
    PlatformQt::QtPlatform platform;
    CBrowserApp app(*commandLine);
    return app.Run(platform);
}
