// The enumeration editor: a combo table over the cell whose list holds the enumeration's
// values. Created once per column, then shown and hidden. User-interface thread only.
#pragma once

#include "table/CellInput.h"
#include "table/ComboTable.h"

namespace Tavex {

class CAbstractEnum;

class CEnumIn : public CComboTable, public CCellInput {
public:
    // Pointer within this many pixels of the cell's right edge: a click drops the list at once.
    static constexpr int kDropZone = 15;

    CEnumIn(CAbstractEnum* enumeration, int mode, unsigned format);
    ~CEnumIn() override;
    CEnumIn(const CEnumIn&) = delete;
    CEnumIn& operator=(const CEnumIn&) = delete;

    void InitEditor(Platform::CWnd& parent, CEditController& edit) override;
    int GetEditorWidth() const override { return m_mode == 1 ? 12 : 18; }
    int GetEditorHeight() const override { return 10; }
    void GetValue(CCellData& value) override;
    void SetValue(const CCellData& value) override;
    void OpenEditor(const CCellData& value, const Platform::Rect& rect, bool byUser) override;
    void CloseEditor() override;
    void FocusEditor() override { SetFocus(); }
    void MoveEditor(const Platform::Rect& rect) override;
    Platform::CWnd* GetEditorWindow() override { return IsWindowVisible() ? this : nullptr; }

    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    unsigned OnGetDlgCode() override { return Platform::DLGC_WANTALLKEYS; }
    void OnSetFocus(Platform::CWnd* oldWnd) override;
    void OnKillFocus(Platform::CWnd* newWnd) override;

protected:
    void NotifyParent(unsigned code) override;

private:
    CAbstractEnum* m_enum;
    int m_mode;
    unsigned m_format;
};

} // namespace Tavex
