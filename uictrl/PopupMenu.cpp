#include "uictrl/PopupMenu.h"

namespace Kivra {

using namespace Platform;

std::string GetToken(const std::string& text, int index, char separator) {
    if (index < 0)
        return {};
    std::string::size_type start = 0;
    for (int i = 0;; ++i) {
        const auto end = text.find(separator, start);
        if (i == index)
            return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

CMenuItemText ParseMenuItem(const std::string& text) {
    if (text == "-")
        return {MF_SEPARATOR, {}};
    CMenuItemText item;
    std::string::size_type i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '~')
            item.flags |= MF_GRAYED | MF_DISABLED;
        else if (text[i] == '=')
            item.flags |= MF_CHECKED;
        else
            break;
    }
    item.caption = text.substr(i);
    return item;
}

CPopupMenu::CPopupMenu(IMenuFactory& factory)
    : m_factory(factory), m_menu(factory.CreatePopupMenu()) {}

// The counts are of items the menu took, so a refused item is not reported as added; the
// identifiers still follow the item's place in the string.
int CPopupMenu::AppendItems(const std::string& items, unsigned firstId) {
    int added = 0;
    int n = 0;
    for (std::string text; !(text = GetToken(items, n, ';')).empty(); ++n) {
        const CMenuItemText item = ParseMenuItem(text);
        if (m_menu->AppendMenu(item.flags, firstId + n, item.caption))
            ++added;
    }
    return added;
}

int CPopupMenu::InsertItems(unsigned position, const std::string& items, unsigned firstId,
                            unsigned extraFlags) {
    int inserted = 0;
    int n = 0;
    for (std::string text; !(text = GetToken(items, n, ';')).empty(); ++n) {
        const CMenuItemText item = ParseMenuItem(text);
        if (!m_menu->InsertMenu(position, item.flags | extraFlags, firstId + n, item.caption))
            continue;
        ++inserted;
        if (extraFlags & MF_BYPOSITION)
            ++position;
    }
    return inserted;
}

void CPopupMenu::SetSubMenu(unsigned id, CPopupMenu& submenu) {
    // A menu cannot open itself: it would own itself and lose its items.
    if (&submenu == this)
        return;
    std::string caption;
    if (!m_menu->GetMenuString(id, MF_BYCOMMAND, caption))
        return;
    m_menu->ModifyMenuPopup(id, caption, std::move(submenu.m_menu));
    submenu.m_menu = submenu.m_factory.CreatePopupMenu();
}

unsigned CPopupMenu::Track(int screenX, int screenY, unsigned flags) {
    return m_menu->TrackPopupMenu(flags | TPM_NONOTIFY | TPM_RETURNCMD, screenX, screenY);
}

} // namespace Kivra
