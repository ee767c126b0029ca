// The master server asked when nothing else is set, and the master dialog's label naming it.
#pragma once

namespace Res {

inline constexpr const char* kDefaultMaster = "master.jk2mv.org:28060";
// The other public masters, asked besides the first.
inline constexpr const char* kDefaultMoreMasters =
    "master.jkhub.org:28060 masterjk2.ravensoft.com:28060";
inline constexpr const char* kMoreMastersLabel = "Other masters (separated by blanks):";
inline constexpr const char* kMasterDialogLabel =
    "Enter the address of the master server. Default = master.jk2mv.org:28060";

} // namespace Res
