// Trimming and tab cleaning of user-typed texts (search text, passwords, favourite names).
#pragma once

#include <string>
#include <string_view>

// Removes white space (blank, tab, CR, LF, vertical tab, form feed) at both ends.
std::string_view TrimBlanks(std::string_view text);

// Every tab becomes a blank, then both ends are trimmed: a text stored in a tab-separated line.
std::string CleanFieldText(std::string_view text);
