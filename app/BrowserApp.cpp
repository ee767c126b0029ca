#include "app/BrowserApp.h"

#include "app/MainDialog.h"

#include <filesystem>

int CBrowserApp::Run(Platform::IPlatform& platform) {
    CMainDialog dialog(m_commandLine);
    dialog.DoModal(platform, nullptr);
    if (m_commandLine.m_screenshot) {
        std::error_code error;
        return std::filesystem::exists(*m_commandLine.m_screenshot, error) ? 0 : 1;
    }
    return 0;
}
