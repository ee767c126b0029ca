#include "tests/support/FakePlatform.h"

#include "platform/Controls.h"
#include "platform/ToolTip.h"
#include "tests/support/FakeDrawContext.h"

#include <stdexcept>

namespace TestSupport {

using namespace Platform;

namespace {
enum { Down, Up, Move, DblClk };
} // namespace

class FakePlatform::Peer : public IWindowPeer {
public:
    Peer(FakePlatform& platform, CWnd& owner, WindowKind kind, const Rect& rect, unsigned style)
        : m_platform(platform), m_owner(owner) {
        m_state.kind = kind;
        m_state.rect = rect;
        m_state.visible = (style & WS_VISIBLE) != 0;
        m_state.enabled = (style & WS_DISABLED) == 0;
        if (kind == WindowKind::ComboBox || kind == WindowKind::Tab)
            m_state.value = -1;
        m_platform.m_peers[&owner] = this;
    }
    ~Peer() override { m_platform.m_peers.erase(&m_owner); }

    void Move(const Rect& rect, bool repaint) override {
        bool resized =
            rect.Width() != m_state.rect.Width() || rect.Height() != m_state.rect.Height();
        m_state.rect = rect;
        if (repaint)
            Invalidate(nullptr);
        if (resized)
            m_owner.OnSize(rect.Width(), rect.Height());
    }
    Rect GetRect() const override { return m_state.rect; }
    Size GetClientSize() const override { return {m_state.rect.Width(), m_state.rect.Height()}; }
    Point ClientToScreen(Point p) const override {
        p.x += m_state.rect.left;
        p.y += m_state.rect.top;
        CWnd* parent = m_owner.GetParent();
        return parent ? parent->ClientToScreen(p) : p;
    }
    Point ScreenToClient(Point p) const override {
        Point origin = ClientToScreen({0, 0});
        return {p.x - origin.x, p.y - origin.y};
    }
    void Show(bool show) override { m_state.visible = show; }
    bool IsVisible() const override { return m_state.visible; }
    void Enable(bool enable) override { m_state.enabled = enable; }
    bool IsEnabled() const override { return m_state.enabled; }
    void SetText(const std::string& text) override { m_state.text = text; }
    std::string GetText() const override { return m_state.text; }
    void PlaceAfter(IWindowPeer*) override {}
    void Invalidate(const Rect* rect) override {
        Rect all{0, 0, m_state.rect.Width(), m_state.rect.Height()};
        Rect r = rect ? rect->Intersect(all) : all;
        m_state.invalid = m_state.invalid.Union(r);
    }
    void Update() override {
        if (m_state.invalid.IsEmpty())
            return;
        if (m_platform.paintTarget) {
            m_platform.Paint(m_owner, *m_platform.paintTarget);
        } else {
            m_state.invalid = {};
            ++m_state.paints;
        }
    }
    void SetTimer(unsigned id, unsigned milliseconds) override {
        m_platform.m_timers[{&m_owner, id}] = {milliseconds, m_platform.m_now + milliseconds,
                                               m_platform.m_timerOrder++};
    }
    void KillTimer(unsigned id) override { m_platform.m_timers.erase({&m_owner, id}); }
    void SetCursor(int cursorId) override { m_state.cursor = cursorId; }
    void SetScrollInfo(const ScrollInfo& info) override { m_state.scroll = info; }
    void SetValue(int value) override { m_state.value = value; }
    int GetValue() const override { return m_state.value; }
    void SetItems(const std::vector<std::string>& items) override { m_state.items = items; }
    void SetRange(int min, int max) override {
        m_state.rangeMin = min;
        m_state.rangeMax = max;
    }
    void SetSelection(int start, int end) override {
        m_state.selectionStart = start;
        m_state.selectionEnd = end;
    }
    void SetTextLimit(int limit) override { m_state.textLimit = limit; }

    FakeWindow m_state;

private:
    FakePlatform& m_platform;
    CWnd& m_owner;
};

FakePlatform::FakePlatform()
    : metrics{{SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768}, {SM_CXVSCROLL, 17},
              {SM_CYHSCROLL, 17},  {SM_CXHSCROLL, 17}, {SM_CXDOUBLECLK, 4},
              {SM_CYDOUBLECLK, 4}, {SM_CXDRAG, 4},     {SM_CYDRAG, 4}} {}

FakePlatform::~FakePlatform() = default;

std::unique_ptr<IWindowPeer> FakePlatform::CreatePeer(CWnd& owner, CWnd*, WindowKind kind,
                                                      const Rect& rect, unsigned style) {
    return std::make_unique<Peer>(*this, owner, kind, rect, style);
}

std::unique_ptr<IDrawContext> FakePlatform::CreateMeasureContext() {
    return std::make_unique<FakeDrawContext>();
}

void FakePlatform::ForgetWindow(CWnd& wnd) {
    if (m_focus == &wnd)
        m_focus = nullptr;
    if (m_capture == &wnd)
        m_capture = nullptr;
    if (m_clipboardOwner == &wnd)
        m_clipboardOwner = nullptr;
    std::erase_if(m_timers, [&](const auto& t) { return t.first.first == &wnd; });
    auto modal = m_modal.find(&wnd);
    if (modal != m_modal.end() && !modal->second)
        modal->second = IDCANCEL;
}

int FakePlatform::RunModalLoop(CWnd& window) {
    m_modal[&window].reset();
    if (auto it = m_peers.find(&window); it != m_peers.end())
        it->second->m_state.visible = true;
    if (onModal)
        onModal(window);
    int result = m_modal[&window].value_or(IDCANCEL);
    m_modal.erase(&window);
    return result;
}

void FakePlatform::EndModalLoop(CWnd& window, int result) {
    auto it = m_modal.find(&window);
    if (it != m_modal.end() && !it->second)
        it->second = result;
}

void FakePlatform::ClickButton(CWnd& control) {
    auto* button = dynamic_cast<CControl*>(&control);
    if (!button || !control.IsWindowEnabled())
        return;
    switch (button->GetKind()) {
    case WindowKind::PushButton:
    case WindowKind::DefPushButton:
        break;
    case WindowKind::CheckBox:
        button->SetCheck(button->GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        break;
    case WindowKind::RadioButton:
        button->CheckInGroup();
        break;
    default:
        return;
    }
    control.SendCommand(BN_CLICKED);
}

void FakePlatform::TypeText(CWnd& edit, const std::string& text) {
    auto it = m_peers.find(&edit);
    if (it == m_peers.end())
        return;
    FakeWindow& state = it->second->m_state;
    bool editableCombo = state.kind == WindowKind::ComboBox &&
                         (edit.GetStyle() & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST;
    if (state.kind != WindowKind::Edit && !editableCombo)
        return;
    state.text = text;
    edit.SendCommand(editableCombo ? CBN_EDITCHANGE : EN_CHANGE);
}

FakeWindow* FakePlatform::ListState(CWnd& control, int index) {
    auto it = m_peers.find(&control);
    if (it == m_peers.end() || index < 0)
        return nullptr;
    FakeWindow& state = it->second->m_state;
    if (index >= static_cast<int>(state.items.size()) || !state.enabled)
        return nullptr;
    return &state;
}

void FakePlatform::SelectItem(CWnd& control, int index) {
    FakeWindow* state = ListState(control, index);
    if (!state)
        return;
    state->value = index;
    if (state->kind == WindowKind::ComboBox) {
        if ((control.GetStyle() & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST)
            state->text = state->items[index];
        control.SendCommand(CBN_SELCHANGE);
    } else if (state->kind == WindowKind::Tab) {
        NMHDR hdr;
        hdr.code = TCN_SELCHANGE;
        control.SendNotify(hdr);
    }
}

void FakePlatform::ChooseItem(CWnd& control, int index) {
    FakeWindow* state = ListState(control, index);
    if (!state || state->kind != WindowKind::ComboBox)
        return;
    const bool changed = state->value != index;
    state->value = index;
    if ((control.GetStyle() & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST)
        state->text = state->items[index];
    control.SendCommand(CBN_SELENDOK);
    // The handler may have closed the window.
    if (changed && m_peers.contains(&control))
        control.SendCommand(CBN_SELCHANGE);
}

void FakePlatform::DoubleClickItem(CWnd& control, int index) {
    FakeWindow* state = ListState(control, index);
    if (!state || state->kind != WindowKind::ComboBox ||
        (control.GetStyle() & CBS_DROPDOWNLIST) != CBS_SIMPLE)
        return;
    // The first click chose the item already; the second chooses only what moved under it.
    if (state->value != index)
        ChooseItem(control, index);
    if (m_peers.contains(&control))
        control.SendCommand(CBN_DBLCLK);
}

CWnd* FakePlatform::SetFocus(CWnd* wnd) {
    CWnd* old = m_focus;
    if (old == wnd)
        return old;
    m_focus = wnd;
    if (old)
        old->OnKillFocus(wnd);
    if (wnd && m_focus == wnd)
        wnd->OnSetFocus(old);
    return old;
}

CWnd* FakePlatform::SetCapture(CWnd& wnd) {
    CWnd* old = m_capture;
    m_capture = &wnd;
    if (old && old != &wnd)
        old->OnCaptureChanged(&wnd);
    return old;
}

void FakePlatform::ReleaseCapture() {
    CWnd* old = m_capture;
    m_capture = nullptr;
    if (old)
        old->OnCaptureChanged(nullptr);
}

void FakePlatform::SetClipboardText(const std::string& text) {
    m_clipboard = text;
    m_clipboardOwner = nullptr;
}

void FakePlatform::OfferClipboardText(CWnd& owner) {
    m_clipboard.reset();
    m_clipboardOwner = &owner;
}

std::optional<std::string> FakePlatform::ClipboardText() {
    if (m_clipboardOwner) {
        // Produced once, as a rendered format stays on the clipboard.
        CWnd* owner = m_clipboardOwner;
        m_clipboardOwner = nullptr;
        ++clipboardRenders;
        m_clipboard = owner->OnRenderClipboardText();
    }
    return m_clipboard;
}

int FakePlatform::MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                             unsigned type) {
    messageBoxes.push_back({owner, text, caption, type, waitCursorDepth});
    return messageBoxAnswer;
}

bool FakePlatform::GetSaveFileName(CWnd*, const SaveFileRequest& request, std::string& path) {
    saveFileRequests.push_back(request);
    if (!saveFileAnswer)
        return false;
    path = *saveFileAnswer;
    return true;
}

bool FakePlatform::GetOpenFileName(CWnd*, const OpenFileRequest& request, std::string& path) {
    openFileRequests.push_back(request);
    if (openFileAnswers.empty())
        return false;
    std::optional<std::string> answer = std::move(openFileAnswers.front());
    openFileAnswers.pop_front();
    if (!answer)
        return false;
    path = *answer;
    return true;
}

int FakePlatform::OpenWithDefaultHandler(const std::string& target) {
    openedTargets.push_back(target);
    return openResult;
}

void FakePlatform::BeginWaitCursor() {
    ++waitCursorDepth;
    ++waitCursors;
}

short FakePlatform::GetKeyState(unsigned vk) const {
    auto it = m_keys.find(vk);
    return it != m_keys.end() && it->second ? short(-128) : short(0);
}

int FakePlatform::GetSystemMetrics(int index) const {
    auto it = metrics.find(index);
    return it == metrics.end() ? 0 : it->second;
}

ColorRef FakePlatform::GetSysColor(int index) const {
    if (auto it = sysColours.find(index); it != sysColours.end())
        return it->second;
    switch (index) {
    case COLOR_ALTERNATEBASE:
        return RGB(245, 245, 245);
    case COLOR_MID:
        return RGB(160, 160, 160);
    case COLOR_HOTLIGHT:
        return RGB(0, 0, 255);
    case COLOR_VISITEDLINK:
        return RGB(128, 0, 128);
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
        return RGB(0, 0, 128);
    case COLOR_BTNFACE:
        return RGB(212, 208, 200);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
        return RGB(128, 128, 128);
    default:
        return RGB(0, 0, 0);
    }
}

const FakeWindow& FakePlatform::Window(const CWnd& wnd) const {
    auto it = m_peers.find(&wnd);
    if (it == m_peers.end())
        throw std::logic_error("FakePlatform::Window: the window does not exist");
    return it->second->m_state;
}

unsigned FakePlatform::MouseFlags() const {
    unsigned flags = m_buttonDown ? MK_LBUTTON : 0;
    if (GetKeyState(VK_SHIFT) < 0)
        flags |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0)
        flags |= MK_CONTROL;
    return flags;
}

void FakePlatform::SendMouse(CWnd& wnd, Point p, int what) {
    CWnd* target = &wnd;
    if (m_capture && m_capture != &wnd) {
        target = m_capture;
        p = target->ScreenToClient(wnd.ClientToScreen(p));
    }
    switch (what) {
    case Down:
        m_buttonDown = true;
        target->OnLButtonDown(MouseFlags(), p);
        break;
    case DblClk:
        m_buttonDown = true;
        target->OnLButtonDblClk(MouseFlags(), p);
        break;
    case Up:
        m_buttonDown = false;
        target->OnLButtonUp(MouseFlags(), p);
        break;
    default:
        target->OnMouseMove(MouseFlags(), p);
        break;
    }
}

void FakePlatform::LButtonDown(CWnd& wnd, Point p) {
    SendMouse(wnd, p, Down);
}
void FakePlatform::LButtonUp(CWnd& wnd, Point p) {
    SendMouse(wnd, p, Up);
}
void FakePlatform::MouseMove(CWnd& wnd, Point p) {
    SendMouse(wnd, p, Move);
}

void FakePlatform::Click(CWnd& wnd, Point p) {
    SendMouse(wnd, p, Down);
    SendMouse(wnd, p, Up);
}

void FakePlatform::DoubleClick(CWnd& wnd, Point p) {
    SendMouse(wnd, p, Down);
    SendMouse(wnd, p, Up);
    SendMouse(wnd, p, DblClk);
    SendMouse(wnd, p, Up);
}

void FakePlatform::Wheel(CWnd& wnd, Point p, int delta) {
    wnd.OnMouseWheel(MouseFlags(), delta, wnd.ClientToScreen(p));
}

void FakePlatform::ContextMenu(CWnd& wnd, std::optional<Point> p) {
    wnd.OnContextMenu(&wnd, p ? wnd.ClientToScreen(*p) : Point{-1, -1});
}

void FakePlatform::KeyDown(unsigned vk) {
    CWnd* target = m_focus;
    // Enter and Escape climb to the top-level window past every window not asking for them.
    if (vk == VK_RETURN || vk == VK_ESCAPE)
        while (target && target->GetParent() && !(target->OnGetDlgCode() & DLGC_WANTALLKEYS))
            target = target->GetParent();
    if (target)
        target->OnKeyDown(vk, 1, 0);
}

void FakePlatform::Char(unsigned ch) {
    if (m_focus)
        m_focus->OnChar(ch & 0xFF, 1, 0);
}

void FakePlatform::SetKeyDown(unsigned vk, bool down) {
    m_keys[vk] = down;
}

void FakePlatform::Advance(unsigned milliseconds) {
    const unsigned end = m_now + milliseconds;
    for (;;) {
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            const Timer& t = it->second;
            if (t.due - m_now > end - m_now)
                continue; // not due before the end (unsigned distances survive wrapping)
            if (next == m_timers.end() || t.due - m_now < next->second.due - m_now ||
                (t.due == next->second.due && t.order < next->second.order))
                next = it;
        }
        if (next == m_timers.end())
            break;
        auto [wnd, id] = next->first;
        m_now = next->second.due;
        // A zero interval would fire forever within one step; Win32 raises it to the minimum.
        next->second.due = m_now + std::max(next->second.interval, 10u);
        next->second.order = m_timerOrder++;
        wnd->OnTimer(id);
    }
    m_now = end;
}

bool FakePlatform::HasTimer(const CWnd& wnd, unsigned id) const {
    return m_timers.contains({const_cast<CWnd*>(&wnd), id});
}

Rect FakePlatform::Paint(CWnd& wnd, IDrawContext& dc) {
    auto it = m_peers.find(&wnd);
    if (it == m_peers.end())
        return {};
    FakeWindow& state = it->second->m_state;
    Rect clip = state.invalid.IsEmpty() ? Rect{0, 0, state.rect.Width(), state.rect.Height()}
                                        : state.invalid;
    state.invalid = {};
    ++state.paints;
    dc.FillSolidRect(clip, GetSysColor(COLOR_BTNFACE));
    wnd.OnPaint(dc, clip);
    return clip;
}

std::string FakePlatform::ToolTip(CWnd& tool, Point p) {
    return CToolTipCtrl::TextFor(tool, p);
}

} // namespace TestSupport
