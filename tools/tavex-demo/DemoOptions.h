// Command line of tavex-demo: how many generated rows, whether the cells can be edited, and
// whether to render one screenshot.
#pragma once

#include <optional>
#include <string>

namespace TavexDemo {

struct CDemoOptions {
    int m_rows = 1000;
    std::string m_screenshot; // empty: run interactively
    bool m_editable = false;
};

// nullopt with a message in error for an unknown option or a bad number.
std::optional<CDemoOptions> ParseDemoOptions(int argc, char** argv, std::string& error);

} // namespace TavexDemo
