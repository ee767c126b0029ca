// Text columns whose cells also keep the text with its colour codes: the plain text is the
// cell's value for sorting, searching, copy and export; the coded one is only drawn.
#pragma once

#include "table/CellOutput.h"
#include "table/Cells.h"
#include "table/ColDef.h"

#include <memory>

namespace Tavex {

class CDCodedString : public CDString {
public:
    void Assign(const CCellData& other) override {
        CDString::Assign(other);
        m_coded = static_cast<const CDCodedString&>(other).m_coded;
    }
    void SetCoded(std::string coded) { m_coded = std::move(coded); }
    const std::string& Coded() const { return m_coded; }

private:
    std::string m_coded;
};

// Sets a cell's plain text, and its coded text where the cell keeps one.
void SetCodedText(CCellData* cell, const std::string& plain, const std::string& coded);

// Switch shared by a column definition and every output it made.
struct CCodedTextLook {
    bool m_coloursShown = true;
};

// Draws the coded text in its colours, each made legible on the row's background; selected
// rows, and every row while colours are off, draw the plain text as any text column does.
class CCodedStringOut : public CStringOut {
public:
    CCodedStringOut(unsigned format, std::shared_ptr<const CCodedTextLook> look)
        : CStringOut(format, CFormat()), m_codedLook(std::move(look)) {}
    void Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) override;

private:
    std::shared_ptr<const CCodedTextLook> m_codedLook;
};

class CCodedStringCol : public CStringCol {
public:
    CCodedStringCol() : m_look(std::make_shared<CCodedTextLook>()) {}
    CCellFactory* CreateFactory() const override;
    CCellOutput* CreateOutput() const override;

    // Takes effect with the next paint of every column made from this definition.
    void SetColoursShown(bool shown) { m_look->m_coloursShown = shown; }
    bool GetColoursShown() const { return m_look->m_coloursShown; }

private:
    std::shared_ptr<CCodedTextLook> m_look;
};

} // namespace Tavex
