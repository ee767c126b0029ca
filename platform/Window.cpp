#include "platform/Window.h"

#include "platform/ScrollBar.h"

#include <algorithm>

namespace Platform {

CWnd::~CWnd() {
    DestroyWindow();
}

bool CWnd::Create(CWnd& parent, const Rect& rect, unsigned style, unsigned id,
                  const std::string& text) {
    if (!parent.IsWindow())
        return false;
    return Attach(*parent.m_platform, &parent, rect, style | WS_CHILD, id, text, WindowKind::Plain);
}

bool CWnd::CreateTopLevel(IPlatform& platform, const Rect& rect, unsigned style,
                          const std::string& text) {
    return Attach(platform, nullptr, rect, style & ~WS_CHILD, 0, text, WindowKind::Plain);
}

bool CWnd::Attach(IPlatform& platform, CWnd* parent, const Rect& rect, unsigned style, unsigned id,
                  const std::string& text, WindowKind kind) {
    if (IsWindow())
        return false;
    m_platform = &platform;
    m_parent = parent;
    m_id = id;
    m_style = style;
    m_text = text;
    m_peer = platform.CreatePeer(*this, parent, kind, rect, style);
    if (!m_peer) {
        m_parent = nullptr;
        return false;
    }
    if (parent)
        parent->m_children.push_back(this);
    m_peer->SetText(text);
    OnCreate();
    // As on Win32, a new window hears its size once, after creation.
    if (m_peer) {
        Size s = m_peer->GetClientSize();
        OnSize(s.cx, s.cy);
    }
    return true;
}

void CWnd::DestroyWindow() {
    if (!IsWindow())
        return;
    // Children first: the window system would otherwise take their parts away under them.
    while (!m_children.empty())
        m_children.back()->DestroyWindow();
    m_platform->ForgetWindow(*this);
    m_peer.reset();
    if (m_parent)
        m_parent->Detach(*this);
    m_parent = nullptr;
}

void CWnd::Detach(CWnd& child) {
    std::erase(m_children, &child);
}

bool CWnd::IsChild(const CWnd* wnd) const {
    for (const CWnd* p = wnd ? wnd->m_parent : nullptr; p; p = p->m_parent)
        if (p == this)
            return true;
    return false;
}

CWnd* CWnd::GetDlgItem(unsigned id) const {
    for (CWnd* child : m_children)
        if (child->m_id == id)
            return child;
    return nullptr;
}

std::string CWnd::GetWindowText() const {
    return m_peer ? m_peer->GetText() : m_text;
}

void CWnd::SetWindowText(const std::string& text) {
    m_text = text;
    if (m_peer)
        m_peer->SetText(text);
}

void CWnd::MoveWindow(const Rect& rect, bool repaint) {
    if (m_peer)
        m_peer->Move(rect, repaint);
}

Rect CWnd::GetWindowRect() const {
    if (!m_peer)
        return {};
    Rect r = m_peer->GetRect();
    if (m_parent) {
        Point origin = m_parent->ClientToScreen({0, 0});
        r.Offset(origin.x, origin.y);
    }
    return r;
}

Rect CWnd::GetClientRect() const {
    if (!m_peer)
        return {};
    Size s = m_peer->GetClientSize();
    return {0, 0, s.cx, s.cy};
}

Point CWnd::ClientToScreen(Point p) const {
    return m_peer ? m_peer->ClientToScreen(p) : p;
}

Point CWnd::ScreenToClient(Point p) const {
    return m_peer ? m_peer->ScreenToClient(p) : p;
}

Rect CWnd::ClientToScreenRect(const Rect& r) const {
    Point tl = ClientToScreen({r.left, r.top});
    return {tl.x, tl.y, tl.x + r.Width(), tl.y + r.Height()};
}

Rect CWnd::ScreenToClientRect(const Rect& r) const {
    Point tl = ScreenToClient({r.left, r.top});
    return {tl.x, tl.y, tl.x + r.Width(), tl.y + r.Height()};
}

void CWnd::PlaceAfter(CWnd* sibling) {
    if (!m_peer || !m_parent)
        return;
    if (sibling && (sibling->m_parent != m_parent || !sibling->m_peer))
        sibling = nullptr;
    m_peer->PlaceAfter(sibling ? sibling->m_peer.get() : nullptr);
    // Keep the child list in z-order too, so enumeration sees the same order.
    auto& list = m_parent->m_children;
    std::erase(list, this);
    auto at = sibling ? std::find(list.begin(), list.end(), sibling) + 1 : list.begin();
    list.insert(at, this);
}

void CWnd::ShowWindow(bool show) {
    if (m_peer)
        m_peer->Show(show);
}

bool CWnd::IsWindowVisible() const {
    for (const CWnd* w = this; w; w = w->m_parent)
        if (!w->m_peer || !w->m_peer->IsVisible())
            return false;
    return true;
}

void CWnd::EnableWindow(bool enable) {
    if (m_peer)
        m_peer->Enable(enable);
}

bool CWnd::IsWindowEnabled() const {
    return m_peer && m_peer->IsEnabled();
}

void CWnd::InvalidateRect(const Rect* rect) {
    if (m_peer)
        m_peer->Invalidate(rect);
}

void CWnd::UpdateWindow() {
    if (m_peer)
        m_peer->Update();
}

void CWnd::RedrawWindow(const Rect* rect, unsigned flags) {
    if (!m_peer)
        return;
    if (flags & RDW_INVALIDATE) {
        m_peer->Invalidate(rect);
        if (flags & RDW_ALLCHILDREN)
            for (CWnd* child : m_children)
                child->RedrawWindow(nullptr, flags & ~RDW_UPDATENOW);
    }
    if (flags & RDW_UPDATENOW) {
        m_peer->Update();
        if (flags & RDW_ALLCHILDREN)
            for (CWnd* child : m_children)
                child->RedrawWindow(nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

CWnd* CWnd::SetFocus() {
    return m_peer ? m_platform->SetFocus(this) : nullptr;
}

CWnd* CWnd::GetFocus() const {
    return m_platform ? m_platform->GetFocus() : nullptr;
}

CWnd* CWnd::SetCapture() {
    return m_peer ? m_platform->SetCapture(*this) : nullptr;
}

void CWnd::ReleaseCapture() {
    if (m_platform)
        m_platform->ReleaseCapture();
}

CWnd* CWnd::GetCapture() const {
    return m_platform ? m_platform->GetCapture() : nullptr;
}

void CWnd::SetTimer(unsigned id, unsigned milliseconds) {
    if (m_peer)
        m_peer->SetTimer(id, milliseconds);
}

void CWnd::KillTimer(unsigned id) {
    if (m_peer)
        m_peer->KillTimer(id);
}

void CWnd::SetCursor(int cursorId) {
    if (m_peer)
        m_peer->SetCursor(cursorId);
}

long CWnd::SendNotify(NMHDR& hdr, CWnd* target) {
    hdr.hwndFrom = this;
    hdr.idFrom = m_id;
    if (!target)
        target = m_parent;
    return target ? target->OnNotify(hdr) : 0;
}

void CWnd::SendCommand(unsigned code) {
    if (m_parent)
        m_parent->OnCommand(m_id, code, this);
}

void CWnd::OnPaint(IDrawContext&, const Rect&) {}
void CWnd::OnSize(int, int) {}
void CWnd::OnLButtonDown(unsigned, Point) {}
void CWnd::OnLButtonUp(unsigned, Point) {}
void CWnd::OnLButtonDblClk(unsigned flags, Point p) {
    OnLButtonDown(flags, p);
}
void CWnd::OnMouseMove(unsigned, Point) {}

bool CWnd::OnMouseWheel(unsigned flags, int delta, Point p) {
    return m_parent && m_parent->OnMouseWheel(flags, delta, p);
}

void CWnd::OnKeyDown(unsigned, unsigned, unsigned) {}
void CWnd::OnChar(unsigned, unsigned, unsigned) {}
void CWnd::OnTimer(unsigned) {}
void CWnd::OnSetFocus(CWnd*) {}
void CWnd::OnKillFocus(CWnd*) {}
void CWnd::OnCaptureChanged(CWnd*) {}

bool CWnd::OnContextMenu(CWnd* wnd, Point p) {
    return m_parent && m_parent->OnContextMenu(wnd, p);
}

void CWnd::OnHScroll(unsigned, int, CScrollBar*) {}
void CWnd::OnVScroll(unsigned, int, CScrollBar*) {}
long CWnd::OnNotify(NMHDR&) {
    return 0;
}
void CWnd::OnCommand(unsigned, unsigned, CWnd*) {}
void CWnd::OnClose() {
    DestroyWindow();
}

} // namespace Platform
