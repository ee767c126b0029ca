#include "table/Format.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace Tavex {

namespace {

// A separator of the C library (UTF-8 or one byte) as Windows-1252 bytes; false when it has
// no such form.
bool ToCodePage(const char* text, std::string& out) {
    const std::string s = text ? text : "";
    if (s.size() == 1 && static_cast<unsigned char>(s[0]) < 0x80) {
        out = s;
        return true;
    }
    if (s == "\xC2\xA0" || s == "\xE2\x80\xAF" || s == "\xE2\x80\x89") { // no-break, thin spaces
        out = "\xA0";
        return true;
    }
    if (s == "\xE2\x80\x99") { // right single quotation mark
        out = "\x92";
        return true;
    }
    return false;
}

} // namespace

CLocaleSettings CLocaleSettings::FromCLibrary(const char* localeName) {
    CLocaleSettings settings;
    locale_t loc =
        newlocale(LC_NUMERIC_MASK, localeName ? localeName : "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0))
        return settings;
    const char* grouping = nl_langinfo_l(GROUPING, loc);
    const char* thousand = nl_langinfo_l(THOUSEP, loc);
    const char* decimal = nl_langinfo_l(RADIXCHAR, loc);
    const bool hasGrouping = grouping && grouping[0] > 0 && grouping[0] != CHAR_MAX;
    std::string sep;
    if (hasGrouping && thousand && thousand[0] && ToCodePage(thousand, sep)) {
        settings.m_thousand = sep;
        settings.m_grouping = grouping[0];
        if (grouping[0] == 3 && grouping[1] == 2)
            settings.m_grouping = 32;
    }
    if (ToCodePage(decimal, sep))
        settings.m_decimal = sep;
    freelocale(loc);
    return settings;
}

const CLocaleSettings& CLocaleSettings::UserDefault() {
    static const CLocaleSettings settings = FromCLibrary("");
    return settings;
}

CNumberFormat::CNumberFormat(bool negativeColour, const CLocaleSettings& locale)
    : CFormat(locale), m_negativeColourOn(negativeColour) {
    CNumberFormat::SetLocale(locale);
}

void CNumberFormat::SetLocale(const CLocaleSettings& locale) {
    CFormat::SetLocale(locale);
    m_fmt.m_numDigits = locale.m_digits;
    m_fmt.m_leadingZero = locale.m_leadingZero;
    m_fmt.m_grouping = locale.m_grouping;
    m_fmt.m_decimalSep = locale.m_decimal;
    m_fmt.m_thousandSep = locale.m_thousand;
    m_fmt.m_negativeOrder = locale.m_negativeOrder;
}

CIntFormat::CIntFormat(bool negativeColour, const CLocaleSettings& locale)
    : CNumberFormat(negativeColour, locale) {
    m_fmt.m_numDigits = 0;
}

void CIntFormat::SetLocale(const CLocaleSettings& locale) {
    CNumberFormat::SetLocale(locale);
    m_fmt.m_numDigits = 0;
}

char* CIntFormat::FormatInt(int value, char* out, std::size_t size) const {
    if (size == 0)
        return out;
    // Digits of the magnitude, least significant first.
    char digits[16];
    int n = 0;
    long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);

    // Build the grouped number backwards, then reverse it.
    std::string body;
    const std::string& sep = m_fmt.m_thousandSep;
    const std::string revSep(sep.rbegin(), sep.rend());
    int group = m_fmt.m_grouping == 32 ? 3 : m_fmt.m_grouping;
    int inGroup = 0;
    for (int i = 0; i < n; ++i) {
        if (group > 0 && inGroup == group) {
            body += revSep;
            inGroup = 0;
            if (m_fmt.m_grouping == 32)
                group = 2;
        }
        body += digits[i];
        ++inGroup;
    }
    std::reverse(body.begin(), body.end());

    std::string text;
    if (value < 0) {
        switch (m_fmt.m_negativeOrder) {
        case 0:
            text = "(" + body + ")";
            break;
        case 2:
            text = "- " + body;
            break;
        case 3:
            text = body + "-";
            break;
        case 4:
            text = body + " -";
            break;
        default:
            text = "-" + body;
            break;
        }
    } else {
        text = std::move(body);
    }
    const std::size_t len = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), len);
    out[len] = '\0';
    return out;
}

} // namespace Tavex
