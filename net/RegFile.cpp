#include "net/RegFile.h"

#include "net/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// A settings file larger than this is not ours; reading it whole would only waste memory.
constexpr off_t kMaxFileSize = 4 * 1024 * 1024;
constexpr std::size_t kHexBytesPerLine = 24;

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// 1 to 8 hex digits, the whole text.
std::optional<std::uint32_t> ParseHexNumber(std::string_view s) {
    if (s.empty() || s.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : s) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// A quoted text with \\ and \" escapes at the start of s; s is left after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\' && i + 1 < s.size()) {
            text += s[++i];
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

// Comma-separated byte pairs; blanks are allowed around them, an empty list is empty data.
std::optional<std::string> ParseHexBytes(std::string_view s) {
    std::string bytes;
    s = TrimRight(TrimLeft(s));
    while (!s.empty()) {
        const std::size_t comma = s.find(',');
        const std::string_view item = TrimRight(TrimLeft(s.substr(0, comma)));
        if (item.empty() || item.size() > 2) {
            return std::nullopt;
        }
        const auto value = ParseHexNumber(item);
        if (!value) {
            return std::nullopt;
        }
        bytes += static_cast<char>(*value);
        if (comma == std::string_view::npos) {
            break;
        }
        s.remove_prefix(comma + 1);
        if (TrimLeft(s).empty()) {
            return std::nullopt; // a trailing comma without a continuation
        }
    }
    return bytes;
}

bool IsByteListLine(std::string_view line) {
    line = TrimLeft(line);
    if (!line.empty() && line.front() == '@') {
        line.remove_prefix(1);
    } else if (!ParseQuoted(line)) {
        return false;
    }
    line = TrimLeft(line);
    return !line.empty() && line.front() == '=' && StartsWith(TrimLeft(line.substr(1)), "hex");
}

std::optional<CRegValue> ParseValue(std::string_view line) {
    CRegValue value;
    if (!line.empty() && line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto name = ParseQuoted(line);
        if (!name) {
            return std::nullopt;
        }
        value.name = std::move(*name);
    }
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') {
        return std::nullopt;
    }
    line = TrimLeft(line.substr(1));

    if (!line.empty() && line.front() == '"') {
        auto text = ParseQuoted(line);
        if (!text || !TrimRight(line).empty()) {
            return std::nullopt;
        }
        value.type = REG_SZ;
        value.data = std::move(*text);
        value.data += '\0';
        return value;
    }
    if (StartsWith(line, "dword:")) {
        const auto number = ParseHexNumber(line.substr(6));
        if (!number) {
            return std::nullopt;
        }
        value.type = REG_DWORD;
        for (int i = 0; i < 4; ++i) {
            value.data += static_cast<char>(*number >> (8 * i) & 0xFF);
        }
        return value;
    }
    std::string_view bytes;
    if (StartsWith(line, "hex:")) {
        value.type = REG_BINARY;
        bytes = line.substr(4);
    } else if (StartsWith(line, "hex(")) {
        const std::size_t close = line.find("):");
        const auto type = close == std::string_view::npos
                              ? std::nullopt
                              : ParseHexNumber(line.substr(4, close - 4));
        if (!type) {
            return std::nullopt;
        }
        value.type = *type;
        bytes = line.substr(close + 2);
    } else {
        return std::nullopt;
    }
    auto data = ParseHexBytes(bytes);
    if (!data) {
        return std::nullopt;
    }
    value.data = std::move(*data);
    return value;
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

// A string that reads back the same from its quoted form: one trailing zero, no control bytes.
bool IsPlainString(const CRegValue& value) {
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != '\0') {
        return false;
    }
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (static_cast<unsigned char>(value.data[i]) < 0x20) {
            return false;
        }
    }
    return true;
}

std::string FormatValue(const CRegValue& value) {
    std::string line = value.name.empty() ? "@" : Quote(value.name);
    line += '=';
    if (IsPlainString(value)) {
        return line + Quote(std::string_view(value.data).substr(0, value.data.size() - 1));
    }
    char buffer[32];
    if (value.type == REG_DWORD && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = number << 8 | static_cast<unsigned char>(value.data[i]);
        }
        std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
        return line + buffer;
    }
    if (value.type == REG_BINARY) {
        line += "hex:";
    } else {
        std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
        line += buffer;
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(value.data[i]));
        line += buffer;
        if (i + 1 < value.data.size()) {
            line += ',';
            if ((i + 1) % kHexBytesPerLine == 0) {
                line += "\\\n  ";
            }
        }
    }
    return line;
}

} // namespace

CRegFile CRegFile::Parse(const std::string& text) {
    CRegFile file;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string logical(TrimRight(rest.substr(0, end)));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        // Only byte lists continue over lines; a string may end in a backslash of its own.
        const bool isHex = IsByteListLine(logical);
        while (isHex && !logical.empty() && logical.back() == '\\' && !rest.empty()) {
            logical.pop_back();
            const std::size_t next = rest.find('\n');
            logical += TrimLeft(TrimRight(rest.substr(0, next)));
            rest.remove_prefix(next == std::string_view::npos ? rest.size() : next + 1);
        }
        const std::string_view line = TrimLeft(logical);
        if (line.empty() || line.front() == ';' || line.front() == '[') {
            continue;
        }
        if (auto value = ParseValue(line)) {
            file.Set(value->name, value->type, std::move(value->data));
        }
    }
    return file;
}

std::string ReadRegText(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    std::string text;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileSize) {
        char buffer[8192];
        ssize_t n = 0;
        while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
            if (n > 0) {
                text.append(buffer, static_cast<std::size_t>(n));
            }
            if (text.size() > static_cast<std::size_t>(kMaxFileSize)) {
                text.clear();
                break;
            }
        }
    }
    close(fd);
    return text;
}

CRegFile CRegFile::Load(const std::string& path) {
    return Parse(ReadRegText(path));
}

std::string CRegFile::Format(const std::string& keyName) const {
    return "REGEDIT4\n\n[" + keyName + "]\n" + FormatValues() + '\n';
}

std::string CRegFile::FormatValues() const {
    std::string text;
    for (const CRegValue& value : m_values) {
        text += FormatValue(value);
        text += '\n';
    }
    return text;
}

bool CRegFile::Save(const std::string& path, const std::string& keyName) const {
    // The store holds the typed password: a new file is the user's alone.
    return ReplaceFileAtomically(path, Format(keyName), 0600) == 0;
}

const CRegValue* CRegFile::Find(const std::string& name) const {
    for (const CRegValue& value : m_values) {
        if (EqualNoCase(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void CRegFile::Set(const std::string& name, std::uint32_t type, std::string data) {
    for (CRegValue& value : m_values) {
        if (EqualNoCase(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    m_values.push_back(CRegValue{name, type, std::move(data)});
}
