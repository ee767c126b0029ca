// Keeps a dialog's children in place when it is resized: each registered child has a rule
// per edge (stay, move with the growth, scale, centre) and all are re-placed in one pass.
// User-interface thread only.
#pragma once

#include "dlgutil/LayoutRules.h"
#include "platform/Window.h"

#include <functional>
#include <utility>
#include <vector>

namespace Dorlu_DlgUtil {

class CDialogLayout;

// A computed placement, offered to a callback before it is applied.
struct CPlacement {
    const CDialogLayout& layout;
    Platform::Size client;
    const std::vector<Platform::Rect>& rects; // in registration order
    bool valid;
};

// Answers whether the placement may be applied; first is the first overridden window or
// nullptr.
using LayoutCallback = std::function<bool(Platform::CWnd* first, const CPlacement& placement)>;
// Windows whose new rectangle is given rather than computed (a dragged splitter).
using LayoutOverrides = std::vector<std::pair<Platform::CWnd*, Platform::Rect>>;

// Bits 16 to 19 of AddWindow's flags clear the left, right, top and bottom rule first.
constexpr unsigned ClearLeft = 0x10000;
constexpr unsigned ClearRight = 0x20000;
constexpr unsigned ClearTop = 0x40000;
constexpr unsigned ClearBottom = 0x80000;

class CDialogLayout {
public:
    // templateItem -1: the reference size is the window's client size. Otherwise that item's
    // right and bottom edges are the reference size, and the item is destroyed.
    void Init(Platform::CWnd& reference, int expectedCount = 0, int templateItem = -1);

    // Registers wnd (or updates it when it is registered already) and returns its index;
    // -1 for no window. References >= 0 name earlier items the edges follow.
    int AddWindow(Platform::CWnd* wnd, unsigned flags, int leftRef = -1, int rightRef = -1,
                  int topRef = -1, int bottomRef = -1);
    int AddItem(unsigned id, unsigned flags, int leftRef = -1, int rightRef = -1, int topRef = -1,
                int bottomRef = -1);
    // Registers every direct child lying entirely inside the item's rectangle grown by margin.
    int AddItemsInRect(unsigned id, unsigned flags, int leftRef = -1, int rightRef = -1,
                       int topRef = -1, int bottomRef = -1, int margin = 0);

    // Places every item for the reference window's current size. With overrides, the current
    // positions first become the base and a placement leaving any child outside the client
    // area or empty is refused. Returns whether the placement was applied.
    bool Apply(const LayoutCallback& callback = {}, const LayoutOverrides* overrides = nullptr);

    // Re-reads one item's rectangle, or (nullptr) every item's and the reference size.
    void Refresh(Platform::CWnd* wnd = nullptr);

    Platform::CWnd* GetReference() const { return m_reference; }
    Platform::Size GetReferenceSize() const { return m_referenceSize; }
    Platform::Size GetMinimumSize() const { return m_minimumSize; }
    const std::vector<CLayoutItem>& GetItems() const { return m_items; }

private:
    Platform::Rect RectInReference(const Platform::CWnd& wnd) const;
    int IndexOf(const Platform::CWnd* wnd) const;

    Platform::CWnd* m_reference = nullptr;
    Platform::Size m_referenceSize;
    Platform::Size m_minimumSize;
    std::vector<CLayoutItem> m_items;
    std::vector<Platform::CWnd*> m_windows; // parallel to m_items
};

} // namespace Dorlu_DlgUtil
