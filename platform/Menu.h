// A popup menu as the window system offers it: items with command identifiers and the
// Windows menu flag values, which callers combine and pass through unchanged.
#pragma once

#include <memory>
#include <string>

namespace Platform {

constexpr unsigned MF_STRING = 0x0;
constexpr unsigned MF_BYCOMMAND = 0x0;
constexpr unsigned MF_GRAYED = 0x1;
constexpr unsigned MF_DISABLED = 0x2;
constexpr unsigned MF_CHECKED = 0x8;
constexpr unsigned MF_POPUP = 0x10;
constexpr unsigned MFT_RADIOCHECK = 0x200;
constexpr unsigned MF_BYPOSITION = 0x400;
constexpr unsigned MF_SEPARATOR = 0x800;

constexpr unsigned TPM_LEFTALIGN = 0x0;
constexpr unsigned TPM_RIGHTBUTTON = 0x2;
constexpr unsigned TPM_NONOTIFY = 0x80;
constexpr unsigned TPM_RETURNCMD = 0x100;

// One popup menu. Positions are item indexes when the flags hold MF_BYPOSITION, otherwise
// the command identifier of an item (searched in submenus too, as Windows does).
class IMenu {
public:
    virtual ~IMenu() = default;

    virtual bool AppendMenu(unsigned flags, unsigned id, const std::string& caption) = 0;
    // Inserts before the item at the position; an index at or past the end appends.
    virtual bool InsertMenu(unsigned position, unsigned flags, unsigned id,
                            const std::string& caption) = 0;
    // False when there is no such item.
    virtual bool GetMenuString(unsigned position, unsigned flags, std::string& caption) const = 0;
    // Turns the item with command identifier id into a popup item with the caption that opens
    // submenu; this menu owns the submenu from then on.
    virtual bool ModifyMenuPopup(unsigned id, const std::string& caption,
                                 std::unique_ptr<IMenu> submenu) = 0;
    // The items from first to last (one menu's run, by position or command) become a group of
    // choices: check gets a radio mark (MF_CHECKED | MFT_RADIOCHECK), the others lose theirs.
    // False, and nothing changes, when first or last is missing, they lie in different menus,
    // or check is not between them.
    virtual bool CheckMenuRadioItem(unsigned first, unsigned last, unsigned check,
                                    unsigned flags) = 0;
    // Shows the menu at screen coordinates and blocks until it closes. With TPM_RETURNCMD
    // the chosen command identifier is returned, 0 when the menu was dismissed.
    virtual unsigned TrackPopupMenu(unsigned flags, int x, int y) = 0;
};

// Where menus come from: the window system in the browser, a recording fake in tests.
class IMenuFactory {
public:
    virtual ~IMenuFactory() = default;
    virtual std::unique_ptr<IMenu> CreatePopupMenu() = 0;
};

} // namespace Platform
