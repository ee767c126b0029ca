#include "app/core/TextTrim.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string CleanFieldText(std::string_view text) {
    std::string cleaned(text);
    for (char& c : cleaned) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return std::string(TrimBlanks(cleaned));
}
