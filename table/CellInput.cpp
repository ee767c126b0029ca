#include "table/CellInput.h"

namespace Tavex {

void CCellInput::InitEditor(Platform::CWnd& parent, CEditController& edit) {
    m_editorParent = &parent;
    m_controller = &edit;
}

} // namespace Tavex
