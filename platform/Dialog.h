// Modal dialogs built from templates: a caption, a font, a size and controls placed in dialog
// units, each reached afterwards by its identifier. Enter chooses the default button (IDOK
// when none is marked), Escape and the close box cancel.
#pragma once

#include "platform/Controls.h"
#include "platform/DrawContext.h"
#include "platform/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace Platform {

// One control of a template. Placeholder makes a plain window that another control (a table
// control, say) replaces at initialisation.
struct DialogItem {
    enum class Kind {
        PushButton,
        DefPushButton,
        CheckBox,
        RadioButton,
        Static,
        GroupBox,
        Edit,
        ComboBox,
        Progress,
        Tab,
        Placeholder
    };
    Kind kind = Kind::Static;
    unsigned id = 0;
    std::string text;
    Rect units; // left, top, right, bottom in dialog units
    unsigned style = WS_VISIBLE;
};

struct DialogTemplate {
    std::string caption;
    Font font; // the default GUI font when empty
    Size units;
    std::vector<DialogItem> items;
};

class CDialog : public CWnd {
public:
    explicit CDialog(DialogTemplate dialogTemplate) : m_template(std::move(dialogTemplate)) {}

    // Creates the window and its controls, centred over owner (or the screen), calls
    // OnInitDialog and runs until EndDialog; returns EndDialog's result (IDCANCEL when the
    // window went away otherwise). The window is destroyed before it returns.
    int DoModal(IPlatform& platform, CWnd* owner);
    void EndDialog(int result);

    // The dialog font's base units, and a rectangle in dialog units in pixels.
    Size GetBaseUnits() const { return m_base; }
    Rect MapDialogRect(const Rect& units) const;

    void SetDlgItemText(unsigned id, const std::string& text);
    std::string GetDlgItemText(unsigned id) const;
    void CheckDlgButton(unsigned id, int state);
    int IsDlgButtonChecked(unsigned id) const;
    // Checks the radio button id and unchecks every other radio button from the control first
    // through the control last in window order (identifiers need not be consecutive). An id
    // outside them leaves all of them unchecked.
    void CheckRadioButton(unsigned first, unsigned last, unsigned id);

    // False keeps the focus where OnInitDialog put it; true focuses the first tab stop.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    void OnCommand(unsigned id, unsigned code, CWnd* from) override;
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    void OnClose() override { OnCancel(); }

private:
    DialogTemplate m_template;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    Size m_base;
};

} // namespace Platform
