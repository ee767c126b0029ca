// Runs the window thread's events while the program waits for descriptors, so that its windows
// keep painting and taking input during a wait that cannot be avoided.
// Threading: the window's thread only.
#pragma once

#include <cstdint>
#include <vector>

namespace AppWindow {

// Handles events until one of the descriptors is readable or timeoutMs have passed; returns
// earlier if the event loop is asked to quit.
void RunEventsUntilReadable(const std::vector<int>& fds, std::uint32_t timeoutMs);

} // namespace AppWindow
