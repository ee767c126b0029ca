// A static text turned into a link: coloured, underlined, hand cursor, the target as tool tip,
// opened with the desktop's default handler on a click or the space key.
// User-interface thread only.
#pragma once

#include "platform/DrawContext.h"
#include "platform/ToolTip.h"
#include "platform/Window.h"

#include <string>

namespace Kivra {

class CHyperLink : public Platform::CWnd {
public:
    enum Option : unsigned {
        UnderlineText = 1,
        UseHoverColour = 2,
        SizeToText = 4,
        OpenOnButtonDown = 8,
        FocusOnClick = 16,
        NoHandCursor = 32,
        NoFocusColour = 64,
    };
    static constexpr unsigned DefaultOptions = UnderlineText | SizeToText | FocusOnClick;

    static constexpr Platform::ColorRef LinkColour = 0xFF0000;
    static constexpr Platform::ColorRef VisitedColour = 0x800080;
    static constexpr Platform::ColorRef FocusColour = 0x808000;
    static constexpr Platform::ColorRef HoverColour = 0x0000FF;

    // Static-control styles the label reads.
    static constexpr unsigned SS_CENTER = 0x1;
    static constexpr unsigned SS_RIGHT = 0x2;
    static constexpr unsigned SS_CENTERIMAGE = 0x200;

    CHyperLink() : m_toolTip(*this) {}

    // Both before the label takes over its control.
    void SetLinkUrl(const std::string& target) { m_target = target; }
    void SetLinkOptions(unsigned options) { m_options = options; }
    const std::string& GetLinkUrl() const { return m_target; }
    unsigned GetLinkOptions() const { return m_options; }
    bool IsVisited() const { return m_visited; }

    // Takes over the static control id of parent: its place, text, style and z-order. An
    // empty target becomes the control's text and an empty text the target. False when the
    // parent has no such control or this label exists already.
    bool SubclassDlgItem(unsigned id, Platform::CWnd& parent);

    // The text colour the label paints with now.
    Platform::ColorRef CurrentColour() const;

    // The message for a failure code of the desktop's opener, after "Can't open link:\n\n".
    static std::string FailureText(int code);

    void OnPaint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;
    void OnMouseMove(unsigned flags, Platform::Point p) override;
    void OnLButtonDown(unsigned flags, Platform::Point p) override;
    void OnLButtonUp(unsigned flags, Platform::Point p) override;
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    void OnSetFocus(Platform::CWnd* oldWnd) override;
    void OnKillFocus(Platform::CWnd* newWnd) override;
    void OnCaptureChanged(Platform::CWnd* newWnd) override;
    long OnNotify(Platform::NMHDR& hdr) override;

private:
    void ResizeToText();
    void OpenTarget();

    std::string m_target;
    unsigned m_options = DefaultOptions;
    Platform::Font m_font;
    Platform::CToolTipCtrl m_toolTip;
    bool m_focused = false;
    bool m_hover = false;
    bool m_visited = false;
};

} // namespace Kivra
