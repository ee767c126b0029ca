// Cell outputs: the one source of a cell's text, colour, drawing and measurements, for
// display, copy and export. Measuring and drawing happen between Begin and End.
#pragma once

#include "platform/DrawContext.h"
#include "table/Format.h"

#include <string>
#include <string_view>

namespace Tavex {

class CAbstractEnum;
class CCellData;
class CColData;

// The control's look as outputs see it; the control keeps it and hands its address over.
struct CCellLook {
    Platform::ColorRef m_textColour = 0x000000;
    Platform::ColorRef m_selectedTextColour = 0xFFFFFF;
    Platform::Font m_font; // the default GUI font
    // On a dark desktop, the grounds that cells' own colours (a red negative number) must stay
    // readable on: the lighter band and the selection. kNoColour leaves own colours as they are.
    Platform::ColorRef m_ownColourGround = 0x7FFFFFFF;
    Platform::ColorRef m_ownSelectedGround = 0x7FFFFFFF;
};

class CCellOutput {
public:
    explicit CCellOutput(unsigned format) : m_format(format) {}
    virtual ~CCellOutput() = default;
    CCellOutput(const CCellOutput&) = delete;
    CCellOutput& operator=(const CCellOutput&) = delete;

    virtual void Reserved1(int) {}
    // Saves the context's state, selects the look's font, transparent background.
    virtual void Begin(Platform::IDrawContext& dc);
    virtual void End();
    virtual void Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) = 0;
    virtual int GetRowHeight();
    virtual int GetMinWidth();
    virtual int GetDefaultWidth() { return 80; }
    virtual int GetTextWidth(const CCellData& cell) = 0;
    virtual std::string GetText(const CCellData& cell) const = 0;
    // The text when it does not fit the available width, else empty.
    virtual std::string GetTipText(const CCellData& cell, int availableWidth);
    // The widest text of the column over all rows; 0 without rows.
    virtual int GetContentWidth(const CColData& column);
    // kNoColour when the cell has no colour of its own.
    virtual Platform::ColorRef GetTextColour(const CCellData& cell, bool selected) const;

    // The look must outlive the output; until one is set a default look is used.
    void SetLook(const CCellLook* look) { m_look = look; }
    // The background of the row drawn next, for outputs that pick colours against it.
    void SetRowBackground(Platform::ColorRef colour) { m_rowBackground = colour; }
    Platform::ColorRef GetRowBackground() const { return m_rowBackground; }
    const CCellLook& GetLook() const { return *m_look; }
    unsigned GetFormat() const { return m_format; }

protected:
    // Text extent in the context of Begin; 0 outside Begin/End.
    int TextWidth(std::string_view text) const;
    Platform::IDrawContext* Context() const { return m_dc; }
    // The colour a text is drawn in: the cell's own, else the look's.
    Platform::ColorRef DrawColour(const CCellData& cell, bool selected) const;

private:
    static const CCellLook s_defaultLook;
    const CCellLook* m_look = &s_defaultLook;
    Platform::IDrawContext* m_dc = nullptr;
    unsigned m_format;
    int m_savedState = 0;
    Platform::ColorRef m_rowBackground = 0xFFFFFF;
};

// Text outputs that produce a string per cell.
class CCellOutputCString : public CCellOutput {
public:
    using CCellOutput::CCellOutput;
    void Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) override;
    int GetTextWidth(const CCellData& cell) override { return TextWidth(GetText(cell)); }
};

// Text outputs that produce characters in a buffer of their own, valid until the next call.
class CCellOutputCharPtr : public CCellOutput {
public:
    using CCellOutput::CCellOutput;
    void Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) override;
    int GetTextWidth(const CCellData& cell) override { return TextWidth(GetCharText(cell)); }
    std::string GetText(const CCellData& cell) const override { return GetCharText(cell); }
    virtual const char* GetCharText(const CCellData& cell) const = 0;
};

class CStringOut : public CCellOutputCString {
public:
    CStringOut(unsigned format, const CFormat& valueFormat)
        : CCellOutputCString(format), m_valueFormat(valueFormat) {}
    std::string GetText(const CCellData& cell) const override;
    Platform::ColorRef GetTextColour(const CCellData& cell, bool selected) const override;

private:
    bool SpecialApplies(const CCellData& cell) const;
    CFormat m_valueFormat;
};

class CIntOut : public CCellOutputCharPtr {
public:
    CIntOut(unsigned format, const CIntFormat& valueFormat)
        : CCellOutputCharPtr(format), m_valueFormat(valueFormat) {}
    int GetMinWidth() override { return TextWidth("0..."); }
    int GetDefaultWidth() override;
    // Measures only the smallest, the largest value and the special text, not every row.
    int GetContentWidth(const CColData& column) override;
    Platform::ColorRef GetTextColour(const CCellData& cell, bool selected) const override;
    const char* GetCharText(const CCellData& cell) const override;

private:
    bool SpecialInUse() const { return m_valueFormat.m_special; }
    const char* Format(int value) const;

    CIntFormat m_valueFormat;
    mutable char m_buffer[64] = {};
};

// Enumeration cells: entry text, image or both (mode 0 image and text, 1 text, 2 image).
class CEnumOut : public CCellOutputCString {
public:
    CEnumOut(CAbstractEnum* enumeration, int mode, unsigned format);
    ~CEnumOut() override;

    void Begin(Platform::IDrawContext& dc) override;
    void Draw(const Platform::Rect& rect, const CCellData& cell, bool selected) override;
    int GetRowHeight() override;
    int GetMinWidth() override;
    int GetDefaultWidth() override;
    int GetTextWidth(const CCellData& cell) override;
    std::string GetText(const CCellData& cell) const override;
    std::string GetTipText(const CCellData& cell, int availableWidth) override;
    int GetContentWidth(const CColData& column) override;

    int GetMode() const { return m_mode; }

private:
    int ImagePart() const { return m_mode == 0 ? m_imageSize.cx + 5 : 0; }

    CAbstractEnum* m_enum;
    int m_mode;
    Platform::Size m_imageSize;
    unsigned m_drawFlags;
};

} // namespace Tavex
