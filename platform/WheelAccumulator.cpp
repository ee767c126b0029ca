#include "platform/WheelAccumulator.h"

namespace Platform {

int CWheelAccumulator::Add(int delta) {
    constexpr int kNotch = 120;
    m_rest += delta;
    const int whole = m_rest / kNotch * kNotch; // toward zero, so both directions match
    m_rest -= whole;
    return whole;
}

} // namespace Platform
