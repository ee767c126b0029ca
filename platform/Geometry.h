// Points, sizes and rectangles in pixels, with the Windows conventions the callers were
// designed against: a rectangle includes its left and top edges and excludes right and bottom.
#pragma once

#include <algorithm>

namespace Platform {

struct Point {
    int x = 0;
    int y = 0;

    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;

    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const Rect&) const = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Nothing inside: zero or negative width or height.
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void Offset(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    // Grows every side by dx and dy (shrinks for negative values).
    void Inflate(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    // The same rectangle shrunk to fit `area` where it is larger, then moved the least
    // distance that brings it inside.
    Rect FittedInto(const Rect& area) const {
        const int width = std::min(Width(), area.Width());
        const int height = std::min(Height(), area.Height());
        const int x = std::clamp(left, area.left, area.right - width);
        const int y = std::clamp(top, area.top, area.bottom - height);
        return {x, y, x + width, y + height};
    }
    // The common part of both; an empty rectangle at 0 when they do not meet.
    Rect Intersect(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.IsEmpty() ? Rect{} : r;
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    Rect Union(const Rect& o) const {
        if (IsEmpty())
            return o;
        if (o.IsEmpty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
};

} // namespace Platform
