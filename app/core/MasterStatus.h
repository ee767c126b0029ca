// The line under the main window's buttons after a master query: how many masters answered
// and which did not, until the next query.
#pragma once

#include <string>

struct CMasterReport;

inline constexpr const char* kIdleStatus = "Browse, find, join.";

// kIdleStatus when every master answered (or none did: that has its own message box).
std::string MasterStatusText(const CMasterReport& report);
