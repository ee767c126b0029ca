// The master server asked when nothing else is set, and the master dialog's label naming it.
#pragma once

namespace Res {

inline constexpr const char* kDefaultMaster = "master.jk2mv.org:28060";
inline constexpr const char* kMasterDialogLabel =
    "Enter the address of the master server. Default = master.jk2mv.org:28060";

} // namespace Res
