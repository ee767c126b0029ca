// The drawing context that windows paint and measure with: GDI's operations and numeric
// values (DT_* text flags, DFC_*/DFCS_* frame controls, colours as 0x00BBGGRR).
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Platform {

using ColorRef = std::uint32_t; // 0x00BBGGRR

constexpr ColorRef RGB(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// Text-drawing flags, with their Windows values.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Frame controls.
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFCS_BUTTONPUSH = 0x10;
constexpr unsigned DFCS_SCROLLUP = 0x0;
constexpr unsigned DFCS_SCROLLDOWN = 0x1;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x5;
constexpr unsigned DFCS_INACTIVE = 0x100;
constexpr unsigned DFCS_PUSHED = 0x200;
constexpr unsigned DFCS_FLAT = 0x4000;

// Image drawing styles.
constexpr unsigned ILD_NORMAL = 0x0;
constexpr unsigned ILD_TRANSPARENT = 0x1;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;

struct TextMetrics {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

// A font by description; the context that selects it finds the nearest real font.
// An empty face with size 0 is the window system's default GUI font.
struct Font {
    std::string face;
    int pointSize10 = 0; // tenths of a point, as CreatePointFont takes it; 0 = default
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

struct Pen {
    int style = PS_SOLID;
    int width = 1;
    ColorRef colour = 0;
    bool operator==(const Pen&) const = default;
};

// A list of equally sized images; the platform makes them, callers only draw and measure.
class IImageList {
public:
    virtual ~IImageList() = default;
    virtual int GetImageCount() const = 0;
    virtual Size GetImageSize() const = 0;
};

class IDrawContext {
public:
    virtual ~IDrawContext() = default;

    // Pushes font, pen, colours and background mode; returns the new state's level (>= 1).
    virtual int SaveDC() = 0;
    // Pops back to the state saved at level (-1: the last one saved).
    virtual bool RestoreDC(int level) = 0;

    // Each returns what was selected or set before.
    virtual Font SelectFont(const Font& font) = 0;
    virtual Pen SelectPen(const Pen& pen) = 0;
    virtual ColorRef SetTextColor(ColorRef colour) = 0;
    virtual ColorRef SetBkColor(ColorRef colour) = 0;
    virtual int SetBkMode(int mode) = 0;

    virtual Size GetTextExtent(std::string_view text) = 0;
    virtual TextMetrics GetTextMetrics() = 0;

    // DrawTextA: lays the text out in rect by the DT_* flags and returns the text height.
    // With DT_CALCRECT nothing is drawn and rect receives the size the text needs.
    virtual int DrawText(std::string_view text, Rect& rect, unsigned format) = 0;
    // TextOutA with left-top alignment: the text's top-left corner at (x, y).
    virtual void TextOut(int x, int y, std::string_view text) = 0;

    virtual void FillSolidRect(const Rect& rect, ColorRef colour) = 0;
    // Lines with the selected pen; the end point itself is not drawn, as with LineTo.
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Inverts the dotted frame, so drawing it twice removes it.
    virtual void DrawFocusRect(const Rect& rect) = 0;
    virtual void DrawFrameControl(const Rect& rect, unsigned type, unsigned state) = 0;
    // ImageList_Draw: image index of the list with its top-left corner at (x, y).
    virtual void DrawImage(const IImageList& list, int index, int x, int y, unsigned style) = 0;
};

} // namespace Platform
