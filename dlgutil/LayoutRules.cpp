#include "dlgutil/LayoutRules.h"

namespace Dorlu_DlgUtil {

using Platform::Rect;
using Platform::Size;

namespace {

// One axis of a rectangle, so the horizontal and vertical rules share one implementation.
struct Span {
    int nearEdge;
    int farEdge;
    int Length() const { return farEdge - nearEdge; }
};

struct Axis {
    int growth;
    double scale;
};

Span HorizontalOf(const Rect& r) {
    return {r.left, r.right};
}
Span VerticalOf(const Rect& r) {
    return {r.top, r.bottom};
}

// The reference an edge follows: its rectangle before and after this pass, along one axis.
struct Ref {
    bool present = false;
    Span before{};
    Span after{};
};

// An edge with rule 0 or 1: stays or moves by the growth, or keeps its distance to the
// reference's near (rule 0) or far (rule 1) edge.
int FollowEdge(int rule, int oldPos, const Ref& ref, int growth) {
    if (!ref.present)
        return rule == RuleGrow ? oldPos + growth : oldPos;
    if (rule == RuleGrow)
        return ref.after.farEdge + oldPos - ref.before.farEdge;
    return ref.after.nearEdge + oldPos - ref.before.nearEdge;
}

Span PlaceSpan(Span old, int nearRule, int farRule, const Ref& nearRef, const Ref& farRef,
               Axis axis) {
    Span out{};
    switch (nearRule) {
    case RuleStay:
    case RuleGrow:
        out.nearEdge = FollowEdge(nearRule, old.nearEdge, nearRef, axis.growth);
        break;
    case RuleScale:
        out.nearEdge = static_cast<int>(old.nearEdge * axis.scale);
        break;
    case RuleCentre:
        if (farRule != RuleCentre) {
            out.nearEdge = old.nearEdge;
        } else if (!nearRef.present) {
            const int half = old.Length() / 2;
            out.nearEdge = static_cast<int>((old.nearEdge + half) * axis.scale - half);
        } else {
            // The centre keeps its scaled distance from the reference's centre.
            const int half = old.Length() / 2;
            const int offset =
                old.nearEdge + half - nearRef.before.Length() / 2 - nearRef.before.nearEdge;
            out.nearEdge = static_cast<int>(offset * axis.scale - half +
                                            nearRef.after.Length() / 2 + nearRef.after.nearEdge);
        }
        break;
    }
    switch (farRule) {
    case RuleStay:
    case RuleGrow:
        out.farEdge = FollowEdge(farRule, old.farEdge, farRef, axis.growth);
        break;
    case RuleScale:
        out.farEdge = static_cast<int>(old.farEdge * axis.scale);
        break;
    case RuleCentre:
        out.farEdge = out.nearEdge + old.Length();
        break;
    }
    return out;
}

} // namespace

std::vector<Rect> PlaceItems(const std::vector<CLayoutItem>& items, Size oldSize, Size newSize,
                             const std::vector<const Rect*>& given) {
    const Axis horizontal{newSize.cx - oldSize.cx,
                          oldSize.cx ? double(newSize.cx) / oldSize.cx : 1.0};
    const Axis vertical{newSize.cy - oldSize.cy,
                        oldSize.cy ? double(newSize.cy) / oldSize.cy : 1.0};

    std::vector<Rect> placed;
    placed.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        if (i < given.size() && given[i]) {
            placed.push_back(*given[i]);
            continue;
        }
        const CLayoutItem& item = items[i];
        auto refFor = [&](Edge edge, Span (*axisOf)(const Rect&)) {
            const int r = item.refs[edge];
            if (r < 0 || static_cast<size_t>(r) >= i)
                return Ref{};
            return Ref{true, axisOf(items[static_cast<size_t>(r)].rect),
                       axisOf(placed[static_cast<size_t>(r)])};
        };
        const Span x = PlaceSpan(HorizontalOf(item.rect), EdgeRuleOf(item.flags, EdgeLeft),
                                 EdgeRuleOf(item.flags, EdgeRight), refFor(EdgeLeft, HorizontalOf),
                                 refFor(EdgeRight, HorizontalOf), horizontal);
        const Span y = PlaceSpan(VerticalOf(item.rect), EdgeRuleOf(item.flags, EdgeTop),
                                 EdgeRuleOf(item.flags, EdgeBottom), refFor(EdgeTop, VerticalOf),
                                 refFor(EdgeBottom, VerticalOf), vertical);
        placed.push_back({x.nearEdge, y.nearEdge, x.farEdge, y.farEdge});
    }
    return placed;
}

bool IsPlacementInside(const std::vector<Rect>& rects, Size client) {
    for (const Rect& r : rects) {
        if (r.left < 0 || r.top < 0 || r.right > client.cx || r.bottom > client.cy ||
            r.Width() < 1 || r.Height() < 1)
            return false;
    }
    return true;
}

} // namespace Dorlu_DlgUtil
