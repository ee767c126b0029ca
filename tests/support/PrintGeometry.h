// Readable GoogleTest output for points, sizes and rectangles.
#pragma once

#include "platform/Geometry.h"

#include <ostream>

namespace Platform {

inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}
inline void PrintTo(const Size& s, std::ostream* os) {
    *os << s.cx << " x " << s.cy;
}
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

} // namespace Platform
