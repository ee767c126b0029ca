#include "platform/ToolTip.h"

namespace Platform {

void CToolTipCtrl::Pop() {
    if (m_owner.IsWindow())
        m_owner.GetPlatform().HideToolTip();
}

std::string CToolTipCtrl::TextFor(CWnd& tool, Point p) {
    CWnd* owner = tool.GetToolTipOwner();
    if (!owner)
        return {};
    NMTTDISPINFO info;
    info.hwndFrom = &tool;
    info.idFrom = tool.GetDlgCtrlID();
    info.code = TTN_NEEDTEXTA;
    info.x = p.x;
    info.y = p.y;
    owner->OnNotify(info);
    return info.text;
}

} // namespace Platform
