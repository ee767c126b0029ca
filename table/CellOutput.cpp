#include "table/CellOutput.h"

#include "platform/Contrast.h"

#include "table/Cells.h"
#include "table/Enum.h"
#include "table/Row.h"
#include "table/Table.h"

#include <algorithm>
#include <memory>

namespace Tavex {

const CCellLook CCellOutput::s_defaultLook{};

void CCellOutput::Begin(Platform::IDrawContext& dc) {
    m_dc = &dc;
    m_savedState = dc.SaveDC();
    dc.SelectFont(m_look->m_font);
    dc.SetBkMode(Platform::TRANSPARENT);
}

void CCellOutput::End() {
    if (m_dc)
        m_dc->RestoreDC(m_savedState);
    m_dc = nullptr;
    m_savedState = 0;
}

int CCellOutput::GetRowHeight() {
    return m_dc ? m_dc->GetTextMetrics().tmHeight + 2 : 0;
}

int CCellOutput::GetMinWidth() {
    return TextWidth("W...");
}

std::string CCellOutput::GetTipText(const CCellData& cell, int availableWidth) {
    return GetTextWidth(cell) > availableWidth ? GetText(cell) : std::string();
}

int CCellOutput::GetContentWidth(const CColData& column) {
    int widest = 0;
    for (int r = 0; r < column.GetRowCount(); ++r)
        widest = std::max(widest, GetTextWidth(column.GetCell(r)));
    return widest;
}

Platform::ColorRef CCellOutput::GetTextColour(const CCellData&, bool selected) const {
    return selected ? m_look->m_selectedTextColour : m_look->m_textColour;
}

int CCellOutput::TextWidth(std::string_view text) const {
    return m_dc ? m_dc->GetTextExtent(text).cx : 0;
}

Platform::ColorRef CCellOutput::DrawColour(const CCellData& cell, bool selected) const {
    const Platform::ColorRef own = GetTextColour(cell, selected);
    if (own != kNoColour) {
        const Platform::ColorRef ground =
            selected ? m_look->m_ownSelectedGround : m_look->m_ownColourGround;
        return ground == kNoColour ? own : Platform::ReadableOn(own, ground);
    }
    return selected ? m_look->m_selectedTextColour : m_look->m_textColour;
}

void CCellOutputCString::Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) {
    if (!Context())
        return;
    Context()->SetTextColor(DrawColour(cell, selected));
    Platform::Rect r = rect;
    Context()->DrawText(GetText(cell), r, GetFormat());
}

void CCellOutputCharPtr::Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) {
    if (!Context())
        return;
    Context()->SetTextColor(DrawColour(cell, selected));
    Platform::Rect r = rect;
    Context()->DrawText(GetCharText(cell), r, GetFormat());
}

bool CStringOut::SpecialApplies(const CCellData& cell) const {
    if (!m_valueFormat.m_special)
        return false;
    const char* text = cell.GetText();
    return text == nullptr || *text == '\0';
}

std::string CStringOut::GetText(const CCellData& cell) const {
    if (SpecialApplies(cell))
        return m_valueFormat.m_specialText;
    return cell.GetString();
}

Platform::ColorRef CStringOut::GetTextColour(const CCellData& cell, bool) const {
    return SpecialApplies(cell) ? m_valueFormat.m_specialColour : kNoColour;
}

const char* CIntOut::Format(int value) const {
    return m_valueFormat.FormatInt(value, m_buffer, sizeof m_buffer);
}

const char* CIntOut::GetCharText(const CCellData& cell) const {
    const int value = cell.GetInt();
    if (m_valueFormat.m_special && value == m_valueFormat.m_specialValue)
        return m_valueFormat.m_specialText.c_str();
    return Format(value);
}

Platform::ColorRef CIntOut::GetTextColour(const CCellData& cell, bool) const {
    const int value = cell.GetInt();
    if (m_valueFormat.m_special && value == m_valueFormat.m_specialValue)
        return m_valueFormat.m_specialColour;
    if (m_valueFormat.m_negativeColourOn && value < 0)
        return m_valueFormat.m_negativeColour;
    return kNoColour;
}

int CIntOut::GetDefaultWidth() {
    return TextWidth(Format(0x3FFFFFFF));
}

int CIntOut::GetContentWidth(const CColData& column) {
    const int rows = column.GetRowCount();
    if (rows == 0)
        return 0;
    const bool special = SpecialInUse() && !m_valueFormat.m_specialText.empty();
    int low = column.GetCell(0).GetInt();
    int high = low;
    bool specialSeen = false;
    for (int r = rows - 1; r >= 0; --r) {
        const int value = column.GetCell(r).GetInt();
        if (special && value == m_valueFormat.m_specialValue) {
            specialSeen = true;
            continue;
        }
        low = std::min(low, value);
        high = std::max(high, value);
    }
    const int lowWidth = TextWidth(Format(low));
    int widest = std::max(lowWidth, TextWidth(Format(high)));
    if (specialSeen)
        widest = std::max(widest, TextWidth(m_valueFormat.m_specialText));
    return widest;
}

CEnumOut::CEnumOut(CAbstractEnum* enumeration, int mode, unsigned format)
    : CCellOutputCString(format), m_enum(enumeration), m_mode(mode),
      m_drawFlags(format & ~Platform::DT_NOCLIP) {
    m_enum->Retain();
    const Platform::IImageList* images = m_enum->GetImageList();
    if (images == nullptr || images->GetImageCount() == 0)
        m_mode = 1;
    else
        m_imageSize = images->GetImageSize();
}

CEnumOut::~CEnumOut() {
    m_enum->Release();
}

void CEnumOut::Begin(Platform::IDrawContext& dc) {
    CCellOutput::Begin(dc);
    m_drawFlags = GetFormat() & ~Platform::DT_NOCLIP; // entry texts are clipped to the cell
}

void CEnumOut::Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) {
    if (!Context())
        return;
    const CEnumEntry& entry = m_enum->Lookup(cell.GetInt());
    Platform::Rect textRect = rect;
    if (m_mode != 1) {
        int x = rect.left;
        if (GetFormat() == 0x8925)
            x = rect.left + (rect.Width() - m_imageSize.cx) / 2;
        else if (GetFormat() == 0x8926)
            x = rect.right - m_imageSize.cx;
        const int y = rect.top + (rect.Height() - m_imageSize.cy) / 2;
        Context()->DrawImage(*m_enum->GetImageList(), entry.m_image, x, y,
                             Platform::ILD_TRANSPARENT);
    }
    if (m_mode == 2)
        return;
    if (m_mode == 0) {
        if (GetFormat() == 0x8924)
            textRect.left += m_imageSize.cx + 5;
        else if (GetFormat() == 0x8926)
            textRect.right -= m_imageSize.cx + 5;
    }
    Context()->SetTextColor(selected ? GetLook().m_selectedTextColour : GetLook().m_textColour);
    Context()->DrawText(entry.m_text, textRect, m_drawFlags);
}

int CEnumOut::GetRowHeight() {
    const int text = CCellOutput::GetRowHeight();
    if (m_mode == 1)
        return text;
    if (m_mode == 2)
        return m_imageSize.cy;
    return std::max(text, m_imageSize.cy);
}

int CEnumOut::GetMinWidth() {
    return m_mode == 1 ? TextWidth("W...") : m_imageSize.cx;
}

int CEnumOut::GetDefaultWidth() {
    if (m_mode == 2)
        return m_imageSize.cx;
    CTable values;
    values.AddColumn(new CFAny<CDInt>, new CCellCompare);
    values.Build();
    m_enum->FillTable(&values);
    int widest = TextWidth("W...");
    for (int r = 0; r < values.GetRowCount(); ++r)
        widest = std::max(widest, TextWidth(m_enum->Lookup(values.GetCell(r, 0)->GetInt()).m_text));
    return widest + ImagePart();
}

int CEnumOut::GetTextWidth(const CCellData& cell) {
    if (m_mode == 2)
        return m_imageSize.cx;
    return TextWidth(GetText(cell)) + ImagePart();
}

std::string CEnumOut::GetText(const CCellData& cell) const {
    return m_enum->Lookup(cell.GetInt()).m_text;
}

std::string CEnumOut::GetTipText(const CCellData& cell, int availableWidth) {
    const CEnumEntry& entry = m_enum->Lookup(cell.GetInt());
    if (!entry.m_text2.empty())
        return entry.m_text2;
    if (m_mode != 2 && GetTextWidth(cell) <= availableWidth)
        return {};
    return entry.m_text;
}

int CEnumOut::GetContentWidth(const CColData& column) {
    if (m_mode == 2)
        return m_imageSize.cx;
    int widest = 0;
    for (int r = 0; r < column.GetRowCount(); ++r)
        widest = std::max(widest, TextWidth(GetText(column.GetCell(r))));
    return widest + ImagePart();
}

} // namespace Tavex
