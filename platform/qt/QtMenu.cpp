#include "platform/qt/QtMenu.h"

#include "platform/qt/Cp1252.h"

#include <QAction>
#include <QActionGroup>

namespace PlatformQt {

using namespace Platform;

namespace {

unsigned IdOf(const QAction* action) {
    return action->data().toUInt();
}

QAction* FindCommand(const QMenu& menu, unsigned id, QMenu** owner) {
    for (QAction* action : menu.actions()) {
        if (IdOf(action) == id && !action->menu()) {
            *owner = const_cast<QMenu*>(&menu);
            return action;
        }
        if (QMenu* sub = action->menu())
            if (QAction* found = FindCommand(*sub, id, owner))
                return found;
    }
    return nullptr;
}

} // namespace

QtMenu::QtMenu() : m_menu(std::make_unique<QMenu>()) {}

QtMenu::~QtMenu() = default;

QAction* QtMenu::MakeAction(unsigned flags, unsigned id, const std::string& caption) {
    auto* action = new QAction(m_menu.get());
    action->setData(id);
    if (flags & MF_SEPARATOR) {
        action->setSeparator(true);
        return action;
    }
    // Both use "&" for the mnemonic and "&&" for a plain ampersand.
    action->setText(FromCp1252(caption));
    action->setEnabled(!(flags & (MF_GRAYED | MF_DISABLED)));
    if (flags & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    return action;
}

bool QtMenu::AppendMenu(unsigned flags, unsigned id, const std::string& caption) {
    m_menu->addAction(MakeAction(flags, id, caption));
    return true;
}

QtMenu::Found QtMenu::Find(unsigned position, unsigned flags) const {
    if (flags & MF_BYPOSITION) {
        auto actions = m_menu->actions();
        if (position < static_cast<unsigned>(actions.size()))
            return {m_menu.get(), actions[position]};
        return {m_menu.get(), nullptr};
    }
    QMenu* owner = nullptr;
    QAction* action = FindCommand(*m_menu, position, &owner);
    return {owner, action};
}

bool QtMenu::InsertMenu(unsigned position, unsigned flags, unsigned id,
                        const std::string& caption) {
    Found at = Find(position, flags);
    if (!at.action && !(flags & MF_BYPOSITION))
        return false;
    QAction* action = MakeAction(flags, id, caption);
    // Actions live in this menu's object tree; a submenu only shows them.
    at.menu->insertAction(at.action, action); // null: at the end
    return true;
}

bool QtMenu::GetMenuString(unsigned position, unsigned flags, std::string& caption) const {
    Found at = Find(position, flags);
    if (!at.action)
        return false;
    caption = ToCp1252(at.action->text());
    return true;
}

bool QtMenu::ModifyMenuPopup(unsigned id, const std::string& caption,
                             std::unique_ptr<IMenu> submenu) {
    Found at = Find(id, MF_BYCOMMAND);
    auto* sub = dynamic_cast<QtMenu*>(submenu.get());
    if (!at.action || !sub)
        return false;
    sub->m_menu->setTitle(FromCp1252(caption));
    QAction* popup = sub->m_menu->menuAction();
    popup->setData(id);
    at.menu->insertAction(at.action, popup);
    at.menu->removeAction(at.action);
    delete at.action;
    submenu.release();
    m_submenus.emplace_back(sub);
    return true;
}

bool QtMenu::CheckMenuRadioItem(unsigned first, unsigned last, unsigned check, unsigned flags) {
    const Found from = Find(first, flags);
    const Found to = Find(last, flags);
    const Found mark = Find(check, flags);
    if (!from.action || !to.action || !mark.action || from.menu != to.menu ||
        mark.menu != from.menu)
        return false;
    const QList<QAction*> actions = from.menu->actions();
    const qsizetype begin = actions.indexOf(from.action);
    const qsizetype end = actions.indexOf(to.action);
    const qsizetype marked = actions.indexOf(mark.action);
    if (begin > end || marked < begin || marked > end)
        return false;
    for (qsizetype i = begin; i <= end; ++i) {
        QAction* action = actions[i];
        if (action->actionGroup())
            action->actionGroup()->removeAction(action);
        action->setChecked(false);
        action->setCheckable(false);
    }
    // Owned by the marked action, so it goes with it.
    auto* group = new QActionGroup(mark.action);
    group->setExclusive(true);
    mark.action->setCheckable(true);
    mark.action->setChecked(true);
    group->addAction(mark.action);
    return true;
}

unsigned QtMenu::TrackPopupMenu(unsigned, int x, int y) {
    QAction* chosen = m_menu->exec(QPoint(x, y));
    return chosen ? IdOf(chosen) : 0;
}

std::unique_ptr<IMenu> QtMenuFactory::CreatePopupMenu() {
    return std::make_unique<QtMenu>();
}

} // namespace PlatformQt
