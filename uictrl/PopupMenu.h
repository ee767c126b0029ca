// Context menus built from one item string: "Copy;-;~Hide;=Sorted". Items get consecutive
// command identifiers, and tracking returns the chosen command instead of posting it.
#pragma once

#include "platform/Menu.h"

#include <memory>
#include <string>

namespace Kivra {

// Token index of text split at separator; empty for a negative index or one past the end.
std::string GetToken(const std::string& text, int index, char separator);

// One item text read: "-" is a separator, leading "~" disables, leading "=" checks.
struct CMenuItemText {
    unsigned flags = 0;
    std::string caption;
};
CMenuItemText ParseMenuItem(const std::string& text);

class CPopupMenu {
public:
    explicit CPopupMenu(Platform::IMenuFactory& factory);

    // Both return the number of items the menu took, separators included; the list ends at
    // the first empty item text. Item i gets the identifier firstId + i.
    int AppendItems(const std::string& items, unsigned firstId);
    // With MF_BYPOSITION in extraFlags the items keep their order from position on;
    // otherwise position is a command identifier and each item goes before that item.
    int InsertItems(unsigned position, const std::string& items, unsigned firstId,
                    unsigned extraFlags);

    // The item with command identifier id opens submenu's menu from now on; submenu gets a
    // fresh empty menu, so it can be filled again or destroyed without harm. Nothing changes
    // when there is no such item or submenu is this menu.
    void SetSubMenu(unsigned id, CPopupMenu& submenu);

    // The chosen command identifier, or 0 when the menu was dismissed: 0 is never a command.
    unsigned Track(int screenX, int screenY, unsigned flags);

    Platform::IMenu& Menu() { return *m_menu; }

private:
    Platform::IMenuFactory& m_factory;
    std::unique_ptr<Platform::IMenu> m_menu;
};

} // namespace Kivra
