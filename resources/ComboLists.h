// The choices of the main window's drop-down lists, in index order.
#pragma once

namespace Res {

// The game versions the master is asked about: index + 15 is the protocol number.
inline constexpr const char* kVersionLines[] = {"1.0", "1.04", "All"};
// Connection speeds: how many servers are asked at once.
inline constexpr const char* kSpeedLines[] = {"Modem", "ISDN", "ISDN128", "DSL", "DSL*2", "DSL*4"};

} // namespace Res
