#include "table/ColDef.h"

#include "table/CellOutput.h"
#include "table/Cells.h"
#include "table/Enum.h"
#include "table/EnumIn.h"
#include "table/IntIn.h"
#include "table/TextIn.h"

namespace Tavex {

CCellFactory* CStringCol::CreateFactory() const {
    return new CFAny<CDString>;
}
CCellCompare* CStringCol::CreateCompare() const {
    return new CCellCompare;
}
CCellOutput* CStringCol::CreateOutput() const {
    return new CStringOut(m_format, m_valueFormat);
}

CCellFactory* CIntCol::CreateFactory() const {
    return new CFAny<CDInt>;
}
CCellCompare* CIntCol::CreateCompare() const {
    return new CCellCompare;
}
CCellOutput* CIntCol::CreateOutput() const {
    return new CIntOut(m_format, m_valueFormat);
}

CCellInput* CStringCol::CreateInput() const {
    return new CTextIn;
}

CCellInput* CIntCol::CreateInput() const {
    return new CIntIn;
}

CEnumCol::CEnumCol(CAbstractEnum* enumeration, int mode, int format)
    : m_enum(enumeration), m_mode(mode),
      m_format(format != -1 ? static_cast<unsigned>(format)
                            : (mode == 2 ? kCentredColumnFormat : kStringColumnFormat)) {
    m_enum->Retain();
}

CCellInput* CEnumCol::CreateInput() const {
    return new CEnumIn(m_enum, m_mode, m_format);
}

CEnumCol::~CEnumCol() {
    m_enum->Release();
}

CCellFactory* CEnumCol::CreateFactory() const {
    return new CFAny<CDInt>;
}
CCellCompare* CEnumCol::CreateCompare() const {
    return new CEnumCompare(m_enum);
}
CCellOutput* CEnumCol::CreateOutput() const {
    return new CEnumOut(m_enum, m_mode, m_format);
}

} // namespace Tavex
