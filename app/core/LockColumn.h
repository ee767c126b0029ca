// The narrow column that marks servers asking for a password: its text is "yes" or empty (for
// sorting, copy and export), and a padlock is drawn where it says yes.
#pragma once

#include "table/CellOutput.h"
#include "table/ColDef.h"

class CLockOut : public Tavex::CStringOut {
public:
    CLockOut() : CStringOut(Tavex::kCentredColumnFormat, Tavex::CFormat()) {}
    void Draw(const Platform::Rect& rect, const Tavex::CCellData& cell, bool selected) override;
    int GetTextWidth(const Tavex::CCellData& cell) override;
    int GetMinWidth() override { return kLockWidth; }

    static constexpr int kLockWidth = 10;
};

class CLockCol : public Tavex::CStringCol {
public:
    Tavex::CCellOutput* CreateOutput() const override { return new CLockOut; }
};
