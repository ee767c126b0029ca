// The edge rules of the dialog layout as plain arithmetic: where each registered child goes
// when the reference client area changes size. No window is touched here.
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <vector>

namespace Dorlu_DlgUtil {

// One 4-bit field per edge in the flag word, in this order; the rule is the low two bits.
enum Edge { EdgeLeft = 0, EdgeRight = 1, EdgeTop = 2, EdgeBottom = 3 };

enum EdgeRule {
    RuleStay = 0,   // or keep the distance to the reference's near edge
    RuleGrow = 1,   // move by the growth, or keep the distance to the reference's far edge
    RuleScale = 2,  // old position times the scale
    RuleCentre = 3, // near edge: centre scaled (with 3 on the far edge); far edge: keep size
};

constexpr int EdgeRuleOf(std::uint16_t flags, Edge edge) {
    return (flags >> (4 * edge)) & 3;
}

struct CLayoutItem {
    Platform::Rect rect;
    std::uint16_t flags = 0;
    // Index of an earlier item whose new rectangle the edge follows, or -1 for the reference
    // window itself; indexed by Edge.
    int refs[4] = {-1, -1, -1, -1};
};

// New rectangles, in registration order. oldSize is the client size the items' rectangles
// were taken against. An item with a rectangle in given (indexed like items, nullptr or
// missing for none) is put there instead, and items after it follow that rectangle. A reference to
// an item that is not registered before this one (a later one, itself, or none at all) is read as
// no reference, so a careless registration misplaces a child instead of reading an unplaced
// rectangle.
std::vector<Platform::Rect> PlaceItems(const std::vector<CLayoutItem>& items,
                                       Platform::Size oldSize, Platform::Size newSize,
                                       const std::vector<const Platform::Rect*>& given = {});

// True when every rectangle lies inside the client area and is at least 1 pixel wide and high.
bool IsPlacementInside(const std::vector<Platform::Rect>& rects, Platform::Size client);

} // namespace Dorlu_DlgUtil
