#include "tests/support/FakeDrawContext.h"

#include <algorithm>
#include <utility>

namespace TestSupport {

int FakeDrawContext::SaveDC() {
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool FakeDrawContext::RestoreDC(int level) {
    if (level < 0)
        level = static_cast<int>(m_saved.size()) + 1 + level;
    if (level < 1 || level > static_cast<int>(m_saved.size()))
        return false;
    m_state = m_saved[static_cast<std::size_t>(level - 1)];
    m_saved.resize(static_cast<std::size_t>(level - 1));
    return true;
}

Platform::Font FakeDrawContext::SelectFont(const Platform::Font& font) {
    return std::exchange(m_state.font, font);
}

Platform::Pen FakeDrawContext::SelectPen(const Platform::Pen& pen) {
    return std::exchange(m_state.pen, pen);
}

Platform::ColorRef FakeDrawContext::SetTextColor(Platform::ColorRef colour) {
    return std::exchange(m_state.textColour, colour);
}

Platform::ColorRef FakeDrawContext::SetBkColor(Platform::ColorRef colour) {
    return std::exchange(m_state.bkColour, colour);
}

int FakeDrawContext::SetBkMode(int mode) {
    return std::exchange(m_state.bkMode, mode);
}

Platform::Size FakeDrawContext::GetTextExtent(std::string_view text) {
    m_measured.emplace_back(text);
    return {kCharWidth * static_cast<int>(text.size()), kTextHeight};
}

Platform::TextMetrics FakeDrawContext::GetTextMetrics() {
    Platform::TextMetrics tm;
    tm.tmHeight = kTextHeight;
    tm.tmAscent = 10;
    tm.tmDescent = 3;
    tm.tmAveCharWidth = kCharWidth;
    tm.tmMaxCharWidth = kCharWidth;
    return tm;
}

int FakeDrawContext::DrawText(std::string_view text, Platform::Rect& rect, unsigned format) {
    int lines = 1;
    int widest = 0;
    if (format & Platform::DT_SINGLELINE) {
        widest = static_cast<int>(text.size());
    } else {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find('\n', start);
            const std::size_t len = (end == text.npos ? text.size() : end) - start;
            widest = std::max(widest, static_cast<int>(len));
            if (end == text.npos)
                break;
            ++lines;
            start = end + 1;
        }
    }
    const int height = lines * kTextHeight;
    if (format & Platform::DT_CALCRECT) {
        rect.right = rect.left + widest * kCharWidth;
        rect.bottom = rect.top + height;
        return height;
    }
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.rect = rect;
    op.text = std::string(text);
    op.format = format;
    op.colour = m_state.textColour;
    op.font = m_state.font;
    op.bkMode = m_state.bkMode;
    m_ops.push_back(std::move(op));
    return height;
}

void FakeDrawContext::TextOut(int x, int y, std::string_view text) {
    DrawOp op;
    op.kind = DrawOp::Kind::TextOut;
    op.rect = {x, y, x + kCharWidth * static_cast<int>(text.size()), y + kTextHeight};
    op.text = std::string(text);
    op.colour = m_state.textColour;
    op.font = m_state.font;
    op.bkMode = m_state.bkMode;
    m_ops.push_back(std::move(op));
}

void FakeDrawContext::FillSolidRect(const Platform::Rect& rect, Platform::ColorRef colour) {
    DrawOp op;
    op.kind = DrawOp::Kind::Fill;
    op.rect = rect;
    op.colour = colour;
    m_ops.push_back(std::move(op));
}

void FakeDrawContext::MoveTo(int x, int y) {
    m_state.position = {x, y};
}

void FakeDrawContext::LineTo(int x, int y) {
    DrawOp op;
    op.kind = DrawOp::Kind::Line;
    op.rect = {m_state.position.x, m_state.position.y, x, y};
    op.colour = m_state.pen.colour;
    m_ops.push_back(std::move(op));
    m_state.position = {x, y};
}

void FakeDrawContext::DrawFocusRect(const Platform::Rect& rect) {
    DrawOp op;
    op.kind = DrawOp::Kind::FocusRect;
    op.rect = rect;
    m_ops.push_back(std::move(op));
}

void FakeDrawContext::DrawFrameControl(const Platform::Rect& rect, unsigned type, unsigned state) {
    DrawOp op;
    op.kind = DrawOp::Kind::FrameControl;
    op.rect = rect;
    op.type = type;
    op.format = state;
    m_ops.push_back(std::move(op));
}

void FakeDrawContext::DrawImage(const Platform::IImageList& list, int index, int x, int y,
                                unsigned style) {
    const Platform::Size size = list.GetImageSize();
    DrawOp op;
    op.kind = DrawOp::Kind::Image;
    op.rect = {x, y, x + size.cx, y + size.cy};
    op.image = index;
    op.format = style;
    m_ops.push_back(std::move(op));
}

} // namespace TestSupport
