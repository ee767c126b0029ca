// Standard dialog controls as Qt widgets: push buttons, check boxes, radio buttons (one
// exclusive group per run), labels, group boxes, line edits, combo boxes (a simple one is a line
// over its list), progress bars and tab bars, reporting what the user does to their window
// with the Win32 codes; what the program sets notifies nobody.
#pragma once

#include "platform/Platform.h"

#include <QKeyEvent>
#include <QWidget>

#include <string>
#include <vector>

namespace PlatformQt {

class QtPlatform;

// The widget for a control kind (PushButton to Tab) with the Win32 style bits applied. Keys
// reach the window's OnKeyDown first, and focus changes its OnSetFocus and OnKillFocus.
QWidget* CreateControlWidget(QtPlatform& platform, Platform::WindowKind kind, unsigned style,
                             QWidget* parent);

// The value of a control (check state, selected index, position) and a list's items.
void SetControlValue(QWidget* widget, int value);
int ControlValue(const QWidget* widget);
void SetControlItems(QWidget* widget, const std::vector<std::string>& items);

// Shows the window text in the widget the way its kind shows text: the title of a plain
// window, the caption of a control ("&" marks the mnemonic; a label shows it underlined on
// Windows and plain here).
void ShowText(QWidget* widget, const std::string& text);

// Ctrl+Tab and Ctrl+Shift+Tab turn the tabs of the window that `receiver` lies in, wherever
// the focus is, as in every tabbed dialog of the desktop. True when the key was one of them
// and a tab control took it.
bool TurnTabsByKey(QObject* receiver, const QKeyEvent& key);

} // namespace PlatformQt
