// For tests of Qt code: the one QApplication of the test program (offscreen under ctest), and
// running the event loop for a while.
#pragma once

#include <QApplication>

#include <functional>

namespace TestSupport {

// Made on first use and never destroyed: at exit Qt's own globals may already be gone.
QApplication& TestApp();

// Runs the event loop for about the given time.
void ProcessEventsFor(int milliseconds);

// Runs the event loop until `done` holds (true) or the time is up (false).
bool AwaitTrue(const std::function<bool()>& done, int milliseconds = 5000);

} // namespace TestSupport
