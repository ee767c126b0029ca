// The column definitions the main window's three tables share, one per kind of column.
#pragma once

#include "app/core/CountryColumn.h"
#include "app/core/LockColumn.h"
#include "app/core/MainTables.h"
#include "table/CodedText.h"
#include "table/ColDef.h"

class CMainColumnDefs {
public:
    explicit CMainColumnDefs(Tavex::CAbstractEnum* gameTypes) : m_gameType(gameTypes, 0) {}

    const Tavex::CColDef& For(EColumnKind kind) const {
        switch (kind) {
        case EColumnKind::Int:
            return m_number;
        case EColumnKind::GameType:
            return m_gameType;
        case EColumnKind::Coded:
            return m_coded;
        case EColumnKind::Lock:
            return m_lock;
        case EColumnKind::Country:
            return m_country;
        default:
            return m_text;
        }
    }
    // "Show colours in names": every coded column follows at its next paint.
    void SetColoursShown(bool shown) { m_coded.SetColoursShown(shown); }
    bool GetColoursShown() const { return m_coded.GetColoursShown(); }
    // Where the country column finds its flags; before the tables are built.
    CFlagImages& Flags() { return m_country.Flags(); }

private:
    Tavex::CStringCol m_text;
    Tavex::CIntCol m_number;
    Tavex::CEnumCol m_gameType;
    Tavex::CCodedStringCol m_coded;
    CLockCol m_lock;
    CCountryCol m_country;
};
