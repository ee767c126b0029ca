// Wheel turns as whole notches of 120. Touchpads and smooth wheels report a fraction of a notch
// per event, which on its own would never scroll; the fractions add up per window instead.
#pragma once

namespace Platform {

class CWheelAccumulator {
public:
    // Adds one event's turn; returns the whole notches now complete, times 120, and keeps the
    // rest. A turn back the other way takes from the rest first.
    int Add(int delta);

private:
    int m_rest = 0;
};

} // namespace Platform
