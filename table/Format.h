// Value formats of cell outputs: padding, special text and colours, and the user's number
// conventions (grouping, separators, negative order) for integer texts.
#pragma once

#include "platform/DrawContext.h"

#include <cstddef>
#include <string>

namespace Tavex {

constexpr Platform::ColorRef kNoColour = 0x7FFFFFFF; // the cell has no colour of its own

// The user's number conventions, read once and shared by all formats.
struct CLocaleSettings {
    int m_digits = 2;        // digits after the decimal point
    int m_leadingZero = 1;   // 0: ".5", 1: "0.5"
    int m_negativeOrder = 1; // 0 "(1)", 1 "-1", 2 "- 1", 3 "1-", 4 "1 -"
    int m_grouping = 3;      // digits per group; 0 no grouping; 32 one group of 3, then 2s
    std::string m_decimal = ".";
    std::string m_thousand = ",";

    // From the C library's numeric conventions of the named locale ("" = the environment's),
    // without touching the process locale. Separators become Windows-1252 bytes; a locale
    // without grouping information ("C", "POSIX") or one that cannot be loaded keeps the
    // defaults above.
    static CLocaleSettings FromCLibrary(const char* localeName);
    // The environment's settings, read on first use.
    static const CLocaleSettings& UserDefault();
};

// The number layout handed to the number formatter.
struct CNumberFmt {
    int m_numDigits = 0;
    int m_leadingZero = 1;
    int m_grouping = 3;
    std::string m_decimalSep = ".";
    std::string m_thousandSep = ",";
    int m_negativeOrder = 1;
};

class CFormat {
public:
    explicit CFormat(const CLocaleSettings& locale = CLocaleSettings::UserDefault())
        : m_locale(&locale) {}
    virtual ~CFormat() = default;
    // The settings must outlive the format.
    virtual void SetLocale(const CLocaleSettings& locale) { m_locale = &locale; }

    const CLocaleSettings* m_locale;
    // Padding is carried for formats that set a width; no table column here sets one.
    int m_padAlign = 0; // 0 left, 1 centred, 2 right
    int m_minWidth = 0; // characters; 0 no padding
    char m_padChar = ' ';
    bool m_special = false; // the special text stands for empty (or special-valued) cells
    std::string m_specialText;
    Platform::ColorRef m_specialColour = 0xA9A9A9;
    Platform::ColorRef m_negativeColour = 0x0000FF;
};

class CNumberFormat : public CFormat {
public:
    explicit CNumberFormat(bool negativeColour,
                           const CLocaleSettings& locale = CLocaleSettings::UserDefault());
    void SetLocale(const CLocaleSettings& locale) override;

    unsigned m_flags = 0;
    CNumberFmt m_fmt;
    bool m_negativeColourOn;
};

class CIntFormat : public CNumberFormat {
public:
    explicit CIntFormat(bool negativeColour = false,
                        const CLocaleSettings& locale = CLocaleSettings::UserDefault());
    void SetLocale(const CLocaleSettings& locale) override;

    // Writes the value with grouping, separators and negative order into out (always
    // terminated; 32 bytes hold every int with one-byte separators) and returns out.
    char* FormatInt(int value, char* out, std::size_t size) const;

    int m_specialValue = 0;
};

} // namespace Tavex
