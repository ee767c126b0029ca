// Trimming and tab cleaning of user-typed texts (search text, passwords, favourite names).
#pragma once

#include <string>
#include <string_view>

// Removes white space (blank, tab, CR, LF, vertical tab, form feed) at both ends.
std::string_view TrimBlanks(std::string_view text);

// Every tab, CR and line feed becomes a blank, then both ends are trimmed: a text stored as a
// field of a tab-separated line, which must neither split the line nor shift its fields.
std::string CleanFieldText(std::string_view text);
