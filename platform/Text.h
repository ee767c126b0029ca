// Text rules for the program's 8-bit strings (Windows-1252 bytes in std::string): the one
// case-insensitive collation, upper-casing and prefix match that every caller uses.
#pragma once

#include <string>
#include <string_view>

namespace Platform {

// Collation of Windows-1252 text for sorting and searching, independent of the process
// locale so that tables sort alike on every machine:
// - Letters compare by their base letter, case ignored: "apple" = "Apple", "\xE4" (a umlaut)
//   sorts with "a", "\xDF" (sharp s) with "s", "\xC6"/"\xE6" (ae) with "a", "\xFE" (thorn)
//   after "z".
// - Weight classes in order: control bytes, white space, punctuation and symbols (in byte
//   order), digits, letters. So "" < " " < "!" < "0" < "a".
// - A shorter string that is a prefix of the longer one sorts first, so "" < "a".
// - Strings equal by base letters are then ordered by accents, position by position: a plain
//   letter before its accented forms ("a" < "\xE4"). Case never matters: the result is 0 only
//   when the strings differ at most in case.
// Returns -1, 0 or 1.
int CompareNoCase(std::string_view a, std::string_view b);

// CompareNoCase over at most the first n bytes of each string.
int CompareNoCase(std::string_view a, std::string_view b, std::size_t n);

// True when text begins with prefix under CompareNoCase (an empty prefix matches anything).
bool HasPrefixNoCase(std::string_view text, std::string_view prefix);

// Upper case of Windows-1252 text: a-z, the accented small letters (0xE0-0xFE except the
// division sign 0xF7), and s/z/oe with caron or ligature, y diaeresis. The sharp s and the
// micro sign have no single-byte capital and stay as they are.
std::string ToUpper(std::string_view text);
char ToUpper(char c);

} // namespace Platform
