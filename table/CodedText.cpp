#include "table/CodedText.h"

#include "table/ColourCodes.h"

namespace Tavex {

void SetCodedText(CCellData* cell, const std::string& plain, const std::string& coded) {
    cell->SetString(plain);
    if (auto* codedCell = dynamic_cast<CDCodedString*>(cell))
        codedCell->SetCoded(coded);
}

void CCodedStringOut::Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) {
    const auto* coded = dynamic_cast<const CDCodedString*>(&cell);
    if (!Context() || selected || !m_codedLook->m_coloursShown || coded == nullptr) {
        CStringOut::Draw(rect, cell, selected);
        return;
    }
    const std::vector<CColourRun> runs = SplitColourCodes(coded->Coded());
    // Only a coded text that reads as the plain one is drawn: a cell whose plain text was set
    // alone shows what it holds.
    std::string joined;
    for (const CColourRun& run : runs)
        joined += run.m_text;
    const std::size_t first = joined.find_first_not_of(" \t\r\n\v\f");
    const std::size_t last = joined.find_last_not_of(" \t\r\n\v\f");
    const std::string_view trimmed = first == std::string::npos
                                         ? std::string_view()
                                         : std::string_view(joined).substr(first, last - first + 1);
    if (trimmed != coded->Value()) {
        CStringOut::Draw(rect, cell, selected);
        return;
    }
    const Platform::ColorRef text = DrawColour(cell, false);
    const Platform::ColorRef background = GetRowBackground();
    // One run after the other, each laid out by the column's own flags from where the last
    // ended; the one that reaches the edge ends in an ellipsis.
    Platform::Rect r = rect;
    for (const CColourRun& run : runs) {
        if (r.left >= r.right)
            break;
        Context()->SetTextColor(run.m_coded ? LegibleColour(run.m_colour, background, text) : text);
        Platform::Rect place = r;
        Context()->DrawText(run.m_text, place, GetFormat());
        r.left += TextWidth(run.m_text);
    }
}

CCellFactory* CCodedStringCol::CreateFactory() const {
    return new CFAny<CDCodedString>;
}

CCellOutput* CCodedStringCol::CreateOutput() const {
    return new CCodedStringOut(kStringColumnFormat, m_look);
}

} // namespace Tavex
