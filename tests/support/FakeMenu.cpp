#include "tests/support/FakeMenu.h"

#include <algorithm>

namespace TestSupport {

using namespace Platform;

bool FakeMenu::AppendMenu(unsigned flags, unsigned id, const std::string& caption) {
    m_entries.push_back({flags, id, caption, nullptr});
    return true;
}

bool FakeMenu::InsertMenu(unsigned position, unsigned flags, unsigned id,
                          const std::string& caption) {
    Entry entry{flags & ~MF_BYPOSITION, id, caption, nullptr};
    if (flags & MF_BYPOSITION) {
        const size_t at = std::min<size_t>(position, m_entries.size());
        m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
        return true;
    }
    auto [list, index] = Find(position);
    if (!list)
        return false;
    list->insert(list->begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
    return true;
}

bool FakeMenu::GetMenuString(unsigned position, unsigned flags, std::string& caption) const {
    if (flags & MF_BYPOSITION) {
        if (position >= m_entries.size())
            return false;
        caption = m_entries[position].caption;
        return true;
    }
    auto [list, index] = const_cast<FakeMenu*>(this)->Find(position);
    if (!list)
        return false;
    caption = (*list)[index].caption;
    return true;
}

bool FakeMenu::ModifyMenuPopup(unsigned id, const std::string& caption,
                               std::unique_ptr<IMenu> submenu) {
    auto [list, index] = Find(id);
    auto* fake = dynamic_cast<FakeMenu*>(submenu.get());
    if (!list || !fake)
        return false;
    submenu.release();
    Entry& entry = (*list)[index];
    entry.flags = (entry.flags & ~MF_SEPARATOR) | MF_POPUP;
    entry.caption = caption;
    entry.submenu.reset(fake);
    return true;
}

bool FakeMenu::CheckMenuRadioItem(unsigned first, unsigned last, unsigned check, unsigned flags) {
    std::vector<Entry>* list = &m_entries;
    size_t from = first, to = last, mark = check;
    if (!(flags & MF_BYPOSITION)) {
        auto [firstList, firstIndex] = Find(first);
        auto [lastList, lastIndex] = Find(last);
        auto [checkList, checkIndex] = Find(check);
        if (!firstList || firstList != lastList || checkList != firstList)
            return false;
        list = firstList;
        from = firstIndex;
        to = lastIndex;
        mark = checkIndex;
    }
    if (from > to || to >= list->size() || mark < from || mark > to)
        return false;
    for (size_t i = from; i <= to; ++i) {
        unsigned& itemFlags = (*list)[i].flags;
        itemFlags &= ~(MF_CHECKED | MFT_RADIOCHECK);
        if (i == mark)
            itemFlags |= MF_CHECKED | MFT_RADIOCHECK;
    }
    return true;
}

unsigned FakeMenu::TrackPopupMenu(unsigned flags, int x, int y) {
    const auto items = Items();
    m_factory.tracked.push_back({flags, x, y, items});
    const unsigned chosen = m_factory.chooser ? m_factory.chooser(items) : 0;
    return (flags & TPM_RETURNCMD) ? chosen : 0;
}

std::vector<FakeMenuItem> FakeMenu::Items() const {
    std::vector<FakeMenuItem> items;
    for (const Entry& e : m_entries)
        items.push_back({e.flags, e.id, e.caption,
                         e.submenu ? e.submenu->Items() : std::vector<FakeMenuItem>{}});
    return items;
}

std::pair<std::vector<FakeMenu::Entry>*, size_t> FakeMenu::Find(unsigned id) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& e = m_entries[i];
        if (!(e.flags & MF_POPUP) && e.id == id)
            return {&m_entries, i};
        if (e.submenu) {
            auto found = e.submenu->Find(id);
            if (found.first)
                return found;
        }
    }
    return {nullptr, 0};
}

std::unique_ptr<IMenu> FakeMenuFactory::CreatePopupMenu() {
    ++created;
    return std::make_unique<FakeMenu>(*this);
}

} // namespace TestSupport
