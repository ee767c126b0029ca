// Headless popup menus: they keep their items for inspection, and tracking one asks the
// factory's chooser for the command, as a user picking an item (or dismissing) would.
#pragma once

#include "platform/Menu.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

// A menu item as a value, submenu included, so tests can look at menus after they are gone.
struct FakeMenuItem {
    unsigned flags = 0;
    unsigned id = 0;
    std::string caption;
    std::vector<FakeMenuItem> submenu;

    bool operator==(const FakeMenuItem&) const = default;
};

class FakeMenuFactory;

class FakeMenu : public Platform::IMenu {
public:
    explicit FakeMenu(FakeMenuFactory& factory) : m_factory(factory) {}

    bool AppendMenu(unsigned flags, unsigned id, const std::string& caption) override;
    bool InsertMenu(unsigned position, unsigned flags, unsigned id,
                    const std::string& caption) override;
    bool GetMenuString(unsigned position, unsigned flags, std::string& caption) const override;
    bool ModifyMenuPopup(unsigned id, const std::string& caption,
                         std::unique_ptr<Platform::IMenu> submenu) override;
    bool CheckMenuRadioItem(unsigned first, unsigned last, unsigned check, unsigned flags) override;
    unsigned TrackPopupMenu(unsigned flags, int x, int y) override;

    std::vector<FakeMenuItem> Items() const;

private:
    struct Entry {
        unsigned flags;
        unsigned id;
        std::string caption;
        std::unique_ptr<FakeMenu> submenu;
    };
    // The entry list holding the item and its index there, searched depth first.
    std::pair<std::vector<Entry>*, size_t> Find(unsigned id);

    FakeMenuFactory& m_factory;
    std::vector<Entry> m_entries;
};

class FakeMenuFactory : public Platform::IMenuFactory {
public:
    struct Tracked {
        unsigned flags;
        int x;
        int y;
        std::vector<FakeMenuItem> items;
    };

    std::unique_ptr<Platform::IMenu> CreatePopupMenu() override;

    // Picks the command when a menu is tracked; by default every menu is dismissed (0).
    std::function<unsigned(const std::vector<FakeMenuItem>&)> chooser;
    // Every tracked menu in order, as it was when it opened.
    std::vector<Tracked> tracked;
    int created = 0;
};

} // namespace TestSupport
