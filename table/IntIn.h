// The integer editor: a right-aligned number field with spin buttons over the whole signed
// 32-bit range, created over the cell for each edit. User-interface thread only.
#pragma once

#include "platform/Window.h"
#include "table/CellInput.h"

#include <string>

namespace Tavex {

class CIntIn : public Platform::CWnd, public CCellInput {
public:
    static constexpr int kSpinWidth = 14;

    int GetEditorWidth() const override { return 16; }
    int GetEditorHeight() const override { return 10; }
    void GetValue(CCellData& value) override;
    void SetValue(const CCellData& value) override;
    void OpenEditor(const CCellData& value, const Platform::Rect& rect, bool byUser) override;
    void CloseEditor() override { DestroyWindow(); }
    void FocusEditor() override { SetFocus(); }
    void MoveEditor(const Platform::Rect& rect) override { MoveWindow(rect); }
    Platform::CWnd* GetEditorWindow() override { return IsWindow() ? this : nullptr; }

    // The number the field shows, clamped to the int range; 0 for an empty field.
    int GetNumber() const;
    const std::string& GetText() const { return m_text; }

    void OnPaint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;
    void OnLButtonDown(unsigned flags, Platform::Point p) override;
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
    unsigned OnGetDlgCode() override { return Platform::DLGC_WANTALLKEYS; }
    void OnSetFocus(Platform::CWnd* oldWnd) override;
    void OnKillFocus(Platform::CWnd* newWnd) override;

private:
    void SetNumber(int value);
    // One spin step up or down, stopping at the ends of the range.
    void Step(int direction);

    std::string m_text;
    // The whole text is selected: the next typed character replaces it.
    bool m_allSelected = false;
};

} // namespace Tavex
