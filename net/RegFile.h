// One registry key's values as a text file in the format of .reg exports, so a person can read
// and edit it. Loading is lenient (a damaged line is a missing value); saving is atomic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t REG_NONE = 0;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

struct CRegValue {
    std::string name; // empty for the key's default value ("@")
    std::uint32_t type = REG_NONE;
    std::string data; // the raw bytes, strings with their terminating zero
};

class CRegFile {
public:
    // Values of the text; lines that cannot be read are skipped, a later line of the same name
    // replaces an earlier one.
    static CRegFile Parse(const std::string& text);
    // Missing, unreadable or oversized files give no values.
    static CRegFile Load(const std::string& path);

    std::string Format(const std::string& keyName) const;
    // The value lines alone, each ended by a line feed.
    std::string FormatValues() const;
    // Writes a temporary file beside the target and renames it into place.
    bool Save(const std::string& path, const std::string& keyName) const;

    // Names compare without regard to ASCII case, as registry value names do.
    const CRegValue* Find(const std::string& name) const;
    void Set(const std::string& name, std::uint32_t type, std::string data);
    const std::vector<CRegValue>& Values() const { return m_values; }

private:
    std::vector<CRegValue> m_values;
};

// The text of a settings file; missing, unreadable, special or oversized files give none.
std::string ReadRegText(const std::string& path);
