// The in-place editor of a column: the control opens it over the current cell, moves it with
// scrolling and reads its value back when the edit ends. User-interface thread only.
#pragma once

#include "platform/Geometry.h"

namespace Platform {
class CWnd;
}

namespace Tavex {

class CCellData;
class CEditController;

class CCellInput {
public:
    virtual ~CCellInput() = default;
    // Remembers the window editors live in (the body) and who hears their keys.
    virtual void InitEditor(Platform::CWnd& parent, CEditController& edit);
    // The smallest width and the height the editor needs inside a cell.
    virtual int GetEditorWidth() const = 0;
    virtual int GetEditorHeight() const = 0;
    // Writes the editor's content into value, a cell of the column's own class.
    virtual void GetValue(CCellData& value) = 0;
    virtual void SetValue(const CCellData& value) = 0;
    // rect in the parent's client coordinates.
    virtual void OpenEditor(const CCellData& value, const Platform::Rect& rect, bool byUser) = 0;
    virtual void CloseEditor() = 0;
    virtual void FocusEditor() = 0;
    virtual void MoveEditor(const Platform::Rect& rect) = 0;
    // The window that holds the focus while the editor is open; nullptr when closed.
    virtual Platform::CWnd* GetEditorWindow() = 0;

    bool IsInitialised() const { return m_editorParent != nullptr; }

protected:
    Platform::CWnd* m_editorParent = nullptr;
    CEditController* m_controller = nullptr;
};

} // namespace Tavex
