// The record and codes of the notifications a table control sends its parent, and the switch
// that lets them out only while a user-input handler runs.
#pragma once

#include "platform/Messages.h"

#include <string>

namespace Kivra {
class CPopupMenu;
}

namespace Tavex {

class CCellData;
class CTableCtrl;

// Codes beyond the common NM_* ones of the platform.
constexpr int LVN_BEGINLABELEDITA = -105;
constexpr int LVN_ENDLABELEDITA = -106;
constexpr int LVN_GETINFOTIPA = -157;
constexpr int TVN_SELCHANGING = -2000;
constexpr int TVN_SELCHANGED = -2001;
constexpr int TVN_SORTCHANGING = -2004;
constexpr int TVN_SORTED = -2005;
constexpr int TVN_BODYMENU = -2006;
constexpr int TVN_HEADERMENU = -2007;
constexpr int TVN_BODYMENUCOMMAND = -2008;
constexpr int TVN_HEADERMENUCOMMAND = -2009;
constexpr int TVN_EDITCANCELLED = -2012;
constexpr int TVN_PASTLASTROW = -2013;
constexpr int TVN_HEADERTIP = -2015;
constexpr int TVN_FOOTERTIP = -2016;
constexpr int TVN_CELLCHANGED = -2019;
constexpr int TVN_CHOICELISTOPENING = -2101;
constexpr int TVN_CHOICECHANGED = -2103;

struct NMTABLE : Platform::NMHDR {
    int iRow = -1;
    int iColumn = -1;
    std::string text;
    int command = 0;
    // The menu being built (menu notifications).
    Kivra::CPopupMenu* menu = nullptr;
    // The enumeration editor's combo (choice notifications).
    Platform::CWnd* combo = nullptr;
    // Screen coordinates for menus, the control's client coordinates for clicks.
    int x = -1;
    int y = -1;
    int rowKey = -1;
    // The value being edited (edit notifications).
    CCellData* value = nullptr;
    CTableCtrl* sender = nullptr;
};

// Enables notifications for the life of an input handler and restores the previous state.
class CNotifyScope {
public:
    explicit CNotifyScope(bool& enabled) : m_enabled(enabled), m_previous(enabled) {
        m_enabled = true;
    }
    ~CNotifyScope() { m_enabled = m_previous; }
    CNotifyScope(const CNotifyScope&) = delete;
    CNotifyScope& operator=(const CNotifyScope&) = delete;

private:
    bool& m_enabled;
    bool m_previous;
};

} // namespace Tavex
