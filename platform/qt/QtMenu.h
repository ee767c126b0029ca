// Popup menus as QMenu: items are actions carrying their command identifier; tracking runs the
// menu modally and returns the chosen identifier, 0 when it was dismissed.
#pragma once

#include "platform/Menu.h"

#include <QMenu>

#include <memory>
#include <vector>

namespace PlatformQt {

class QtMenu : public Platform::IMenu {
public:
    QtMenu();
    ~QtMenu() override;

    bool AppendMenu(unsigned flags, unsigned id, const std::string& caption) override;
    bool InsertMenu(unsigned position, unsigned flags, unsigned id,
                    const std::string& caption) override;
    bool GetMenuString(unsigned position, unsigned flags, std::string& caption) const override;
    bool ModifyMenuPopup(unsigned id, const std::string& caption,
                         std::unique_ptr<Platform::IMenu> submenu) override;
    // The marked action joins an exclusive action group, which Qt draws as a radio mark.
    bool CheckMenuRadioItem(unsigned first, unsigned last, unsigned check, unsigned flags) override;
    // Returns the chosen command whatever the flags (callers always ask for it).
    unsigned TrackPopupMenu(unsigned flags, int x, int y) override;

    QMenu& Menu() { return *m_menu; }

private:
    struct Found {
        QMenu* menu;
        QAction* action;
    };
    QAction* MakeAction(unsigned flags, unsigned id, const std::string& caption);
    // The item at the position: an index into this menu, or a command searched depth first.
    Found Find(unsigned position, unsigned flags) const;

    std::unique_ptr<QMenu> m_menu;
    std::vector<std::unique_ptr<QtMenu>> m_submenus;
};

class QtMenuFactory : public Platform::IMenuFactory {
public:
    std::unique_ptr<Platform::IMenu> CreatePopupMenu() override;
};

} // namespace PlatformQt
