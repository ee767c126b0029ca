// Replacing a small file as a whole: the new content goes to a temporary file beside it, which
// is then renamed over the old one, so readers and crashes see either the old or the new file.
// A symbolic link is followed: the file it names is replaced and the link stays.
#pragma once

#include <string>
#include <string_view>

// Returns 0, or the errno of the step that failed; the old file is then untouched.
int ReplaceFileAtomically(const std::string& path, std::string_view content);
