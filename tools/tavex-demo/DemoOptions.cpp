#include "tools/tavex-demo/DemoOptions.h"

#include <cerrno>
#include <cstdlib>

namespace TavexDemo {

std::optional<CDemoOptions> ParseDemoOptions(int argc, char** argv, std::string& error) {
    CDemoOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--rows" || arg == "--screenshot") && i + 1 >= argc) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        if (arg == "--rows") {
            const char* text = argv[++i];
            char* end = nullptr;
            errno = 0;
            const long rows = std::strtol(text, &end, 10);
            // Ten million rows keep every pixel sum of the view inside an int.
            if (errno != 0 || end == text || *end != '\0' || rows < 0 || rows > 10000000) {
                error = std::string("--rows takes a number from 0 to 10000000, not ") + text;
                return std::nullopt;
            }
            options.m_rows = static_cast<int>(rows);
        } else if (arg == "--editable") {
            options.m_editable = true;
        } else if (arg == "--screenshot") {
            options.m_screenshot = argv[++i];
        } else {
            error = "unknown option " + arg + " (use --rows N, --editable, --screenshot FILE)";
            return std::nullopt;
        }
    }
    return options;
}

} // namespace TavexDemo
