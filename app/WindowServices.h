// What the browser's windows need from the window system beyond the platform layer: the
// application icon, a minimum size, the minimised state, a picture of a window, and running
// work on the window's thread. Without the Qt platform (headless tests) they do nothing.
// Threading: PostToWindowThread may be called from any thread; everything else on the window's.
#pragma once

#include "platform/Window.h"

#include <functional>
#include <memory>
#include <string>

class QObject;

namespace AppWindow {

void SetAppIcon(Platform::CWnd& window);
void SetMinimumSize(Platform::CWnd& window, Platform::Size size);
bool IsMinimized(const Platform::CWnd& window);
// A modal dialog or message box above the window is open.
bool HasModalAbove(const Platform::CWnd& window);
// Renders the window with its children into a PNG file; false when that failed.
bool SaveScreenshot(const Platform::CWnd& window, const std::string& path);

// Runs tasks on the thread that made it, in order, after the events queued before them.
// Tasks still queued when it is destroyed are dropped.
class CWindowThreadQueue {
public:
    CWindowThreadQueue();
    ~CWindowThreadQueue();
    CWindowThreadQueue(const CWindowThreadQueue&) = delete;
    CWindowThreadQueue& operator=(const CWindowThreadQueue&) = delete;

    void Post(std::function<void()> task);

private:
    std::unique_ptr<QObject> m_context;
};

} // namespace AppWindow
