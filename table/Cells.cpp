#include "table/Cells.h"

#include "platform/Text.h"
#include "table/Enum.h"

#include <cmath>
#include <limits>

namespace Tavex {

bool CDString::LessThan(const CCellData& other) const {
    return Platform::CompareNoCase(m_value, static_cast<const CDString&>(other).m_value) < 0;
}

int CDString::CompareTo(const CCellData& other) const {
    return Platform::CompareNoCase(m_value, static_cast<const CDString&>(other).m_value);
}

void CDInt::SetDouble(double value) {
    if (std::isnan(value)) {
        m_value = 0;
    } else if (value >= 2147483647.0) {
        m_value = std::numeric_limits<int>::max();
    } else if (value <= -2147483648.0) {
        m_value = std::numeric_limits<int>::min();
    } else {
        m_value = static_cast<int>(value); // truncates toward zero
    }
}

CEnumCompare::CEnumCompare(CAbstractEnum* enumeration) : m_enum(enumeration) {
    m_enum->Retain();
}

CEnumCompare::~CEnumCompare() {
    m_enum->Release();
}

int CEnumCompare::Compare(const CCellData& a, const CCellData& b) const {
    const int c = m_enum->Compare(a.GetInt(), b.GetInt());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace Tavex
