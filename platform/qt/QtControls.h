// Standard dialog controls as Qt widgets: push buttons, check boxes, labels, group boxes and
// line edits, reporting clicks and typing to their window as BN_CLICKED and EN_CHANGE.
#pragma once

#include "platform/Platform.h"

#include <QWidget>

#include <string>

namespace PlatformQt {

// The widget for a control kind (PushButton to Edit) with the Win32 style bits applied.
QWidget* CreateControlWidget(Platform::WindowKind kind, unsigned style, QWidget* parent);

// Shows the window text in the widget the way its kind shows text: the title of a plain
// window, the caption of a control ("&" marks the mnemonic; a label shows it underlined on
// Windows and plain here).
void ShowText(QWidget* widget, const std::string& text);

} // namespace PlatformQt
