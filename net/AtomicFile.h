// Replacing a small file as a whole: the new content goes to a temporary file beside it, which
// is then renamed over the old one, so readers and crashes see either the old or the new file.
// A symbolic link is followed: the file it names is replaced and the link stays.
#pragma once

#include <string>
#include <string_view>

#include <sys/types.h>

// Returns 0, or the errno of the step that failed; the old file is then untouched. A replaced
// file keeps its permissions; a new one gets newFileMode.
int ReplaceFileAtomically(const std::string& path, std::string_view content,
                          mode_t newFileMode = 0644);
