// Column definitions: one object per kind of column that makes the factory, comparer, output
// and editor of each column it is used for. Immutable once constructed.
#pragma once

#include "table/Format.h"

namespace Tavex {

class CAbstractEnum;
class CCellCompare;
class CCellFactory;
class CCellInput;
class CCellOutput;

constexpr int kStringColumnFormat = 0x8924; // left, one line, vertically centred, ellipsis
constexpr int kCentredColumnFormat = 0x8925;
constexpr int kIntColumnFormat = 0x8926; // the same, right-aligned

// Each creator returns a new object owned by the caller.
class CColDef {
public:
    virtual ~CColDef() = default;
    virtual CCellFactory* CreateFactory() const = 0;
    virtual CCellCompare* CreateCompare() const = 0;
    virtual CCellOutput* CreateOutput() const = 0;
    // The in-place editor; null while the column kind has none.
    virtual CCellInput* CreateInput() const = 0;
};

class CStringCol : public CColDef {
public:
    explicit CStringCol(unsigned format = kStringColumnFormat) : m_format(format) {}
    CCellFactory* CreateFactory() const override;
    CCellCompare* CreateCompare() const override;
    CCellOutput* CreateOutput() const override;
    CCellInput* CreateInput() const override;

private:
    unsigned m_format;
    CFormat m_valueFormat;
};

// Negative numbers are shown in the format's negative colour.
class CIntCol : public CColDef {
public:
    explicit CIntCol(unsigned format = kIntColumnFormat) : m_format(format), m_valueFormat(true) {}
    // With an explicit value format (tests and special layouts).
    CIntCol(unsigned format, const CIntFormat& valueFormat)
        : m_format(format), m_valueFormat(valueFormat) {}
    CCellFactory* CreateFactory() const override;
    CCellCompare* CreateCompare() const override;
    CCellOutput* CreateOutput() const override;
    CCellInput* CreateInput() const override;

private:
    unsigned m_format;
    CIntFormat m_valueFormat;
};

class CEnumCol : public CColDef {
public:
    // format -1: kStringColumnFormat, or kCentredColumnFormat for mode 2 (image only).
    CEnumCol(CAbstractEnum* enumeration, int mode, int format = -1);
    ~CEnumCol() override;
    CEnumCol(const CEnumCol&) = delete;
    CEnumCol& operator=(const CEnumCol&) = delete;

    CCellFactory* CreateFactory() const override;
    CCellCompare* CreateCompare() const override;
    CCellOutput* CreateOutput() const override;
    CCellInput* CreateInput() const override;

private:
    CAbstractEnum* m_enum;
    int m_mode;
    unsigned m_format;
};

} // namespace Tavex
