// The browser's dialog templates: caption, size and every control in dialog units. Dialogs are
// built from them when they are shown.
#pragma once

#include "platform/Dialog.h"

namespace Res {

// 422 x 272 units.
Platform::DialogTemplate MainDialogTemplate();
// 210 x 100 units.
Platform::DialogTemplate OptionsDialogTemplate();
// 196 x 50 units; the label names the default master server on its second line.
Platform::DialogTemplate MasterServerDialogTemplate();
// 186 x 50 units: the password of a locked server, asked for when joining it.
Platform::DialogTemplate ServerPasswordDialogTemplate();
// 221 x 201 units.
Platform::DialogTemplate ServerInfoDialogTemplate();
// 234 x 161 units.
Platform::DialogTemplate FavoritesDialogTemplate();

} // namespace Res
