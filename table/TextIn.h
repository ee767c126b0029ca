// The text editor of string columns: a single-line edit field created over the cell for each
// edit. User-interface thread only.
#pragma once

#include "platform/Controls.h"
#include "table/CellInput.h"

namespace Tavex {

class CTextIn : public Platform::CControl, public CCellInput {
public:
    // limit: the longest text the field takes; 0 for the platform's maximum.
    explicit CTextIn(int limit = 0) : m_limit(limit) {}

    int GetEditorWidth() const override { return 16; }
    int GetEditorHeight() const override { return 10; }
    void GetValue(CCellData& value) override;
    void SetValue(const CCellData& value) override;
    void OpenEditor(const CCellData& value, const Platform::Rect& rect, bool byUser) override;
    void CloseEditor() override { DestroyWindow(); }
    void FocusEditor() override { SetFocus(); }
    void MoveEditor(const Platform::Rect& rect) override { MoveWindow(rect); }
    Platform::CWnd* GetEditorWindow() override { return IsWindow() ? this : nullptr; }

    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    unsigned OnGetDlgCode() override { return Platform::DLGC_WANTALLKEYS; }
    void OnSetFocus(Platform::CWnd* oldWnd) override;
    void OnKillFocus(Platform::CWnd* newWnd) override;

private:
    int m_limit;
};

} // namespace Tavex
