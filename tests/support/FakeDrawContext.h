// Headless drawing context with fixed metrics (every character 7 px wide, text 13 px high)
// that records each drawing call with the state in force, for tests to inspect.
#pragma once

#include "platform/DrawContext.h"

#include <string>
#include <vector>

namespace TestSupport {

// One recorded drawing call. Fields that a kind does not use keep their defaults.
struct DrawOp {
    enum class Kind { Text, TextOut, Fill, Line, FocusRect, FrameControl, Image };
    Kind kind = Kind::Text;
    Platform::Rect rect; // text and image rectangles; for lines (from.x, from.y, to.x, to.y)
    std::string text;    // Text and TextOut
    unsigned format = 0; // DT_* flags, frame-control state, or image style
    unsigned type = 0;   // frame-control type
    int image = -1;      // image index
    Platform::ColorRef colour = 0; // text colour for texts, fill colour, pen colour
    Platform::Font font;           // font in force for texts
    int bkMode = Platform::OPAQUE;
};

class FakeDrawContext : public Platform::IDrawContext {
public:
    static constexpr int kCharWidth = 7;
    static constexpr int kTextHeight = 13;

    int SaveDC() override;
    bool RestoreDC(int level) override;
    Platform::Font SelectFont(const Platform::Font& font) override;
    Platform::Pen SelectPen(const Platform::Pen& pen) override;
    Platform::ColorRef SetTextColor(Platform::ColorRef colour) override;
    Platform::ColorRef SetBkColor(Platform::ColorRef colour) override;
    int SetBkMode(int mode) override;
    Platform::Size GetTextExtent(std::string_view text) override;
    Platform::TextMetrics GetTextMetrics() override;
    int DrawText(std::string_view text, Platform::Rect& rect, unsigned format) override;
    void TextOut(int x, int y, std::string_view text) override;
    void FillSolidRect(const Platform::Rect& rect, Platform::ColorRef colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void DrawFocusRect(const Platform::Rect& rect) override;
    void DrawFrameControl(const Platform::Rect& rect, unsigned type, unsigned state) override;
    void DrawImage(const Platform::IImageList& list, int index, int x, int y,
                   unsigned style) override;

    const std::vector<DrawOp>& Ops() const { return m_ops; }
    void ClearOps() { m_ops.clear(); }
    // Texts measured with GetTextExtent since the last ClearMeasured, in order.
    const std::vector<std::string>& Measured() const { return m_measured; }
    void ClearMeasured() { m_measured.clear(); }
    int SavedLevels() const { return static_cast<int>(m_saved.size()); }

    struct State {
        Platform::Font font;
        Platform::Pen pen;
        Platform::ColorRef textColour = 0;
        Platform::ColorRef bkColour = 0xFFFFFF;
        int bkMode = Platform::OPAQUE;
        Platform::Point position;
    };
    const State& Current() const { return m_state; }

private:
    State m_state;
    std::vector<State> m_saved;
    std::vector<DrawOp> m_ops;
    std::vector<std::string> m_measured;
};

// An image list of count images of one size; drawing from it records the index.
class FakeImageList : public Platform::IImageList {
public:
    FakeImageList(int count, Platform::Size size) : m_count(count), m_size(size) {}
    int GetImageCount() const override { return m_count; }
    Platform::Size GetImageSize() const override { return m_size; }

private:
    int m_count;
    Platform::Size m_size;
};

} // namespace TestSupport
