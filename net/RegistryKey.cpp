#include "net/RegistryKey.h"

#include "net/RegStore.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

namespace {

const char* RootName(HKEY root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    default:
        return nullptr;
    }
}

std::string KeyName(HKEY root, const std::string& path) {
    std::string name = RootName(root);
    return path.empty() ? name : name + "\\" + path;
}

// Once per process and folder, so every access need not look for files of earlier versions.
CRegStore LoadStore(const std::string& dir) {
    static std::mutex mutex;
    static std::set<std::string> moved;
    {
        std::lock_guard lock(mutex);
        if (!moved.contains(dir) && MoveOldKeyFiles(dir))
            moved.insert(dir);
    }
    return CRegStore::Load(RegStorePath(dir));
}

bool IsValidPath(HKEY root, const std::string& path) {
    if (KeyName(root, path).size() + 4 > NAME_MAX) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string part = path.substr(start, end - start);
        if (part.empty()) {
            return false;
        }
        for (char c : part) {
            if (c == '/' || static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
        }
        if (end == std::string::npos) {
            return true;
        }
        start = end + 1;
    }
}

bool MakeDir(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return std::filesystem::is_directory(dir, error);
}

std::string Bytes(const void* data, std::size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

} // namespace

bool CRegistryKey::SetRoot(HKEY root) {
    if (!RootName(root)) {
        return false;
    }
    m_root = root;
    return true;
}

bool CRegistryKey::SetPath(const std::string& path, bool create) {
    if (path.empty()) {
        m_path.clear();
        return true;
    }
    const std::string dir = ConfigDir();
    if (dir.empty() || !IsValidPath(m_root, path)) {
        return false;
    }
    CRegStore store = LoadStore(dir);
    if (!create) {
        if (!store.FindKey(KeyName(m_root, path))) {
            return false;
        }
        m_path = path;
        return true;
    }
    if (!MakeDir(dir)) {
        return false;
    }
    // Like the registry, creating a key creates the keys above it.
    bool added = false;
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string keyName = KeyName(m_root, path.substr(0, end));
        if (!store.FindKey(keyName)) {
            store.CreateKey(keyName);
            added = true;
        }
        if (end == std::string::npos) {
            break;
        }
    }
    if (added && !store.Save(RegStorePath(dir))) {
        return false;
    }
    m_path = path;
    return true;
}

void CRegistryKey::Reset() {
    m_root = HKEY_CURRENT_USER;
    m_path.clear();
}

std::uint32_t CRegistryKey::GetValueType(const std::string& name) const {
    CRegFile file;
    const CRegValue* value = Open(file) ? file.Find(name) : nullptr;
    return value ? value->type : REG_NONE;
}

bool CRegistryKey::ValueExists(const std::string& name) const {
    CRegFile file;
    return Open(file) && file.Find(name) != nullptr;
}

std::string CRegistryKey::ReadString(const std::string& name,
                                     const std::string& defaultValue) const {
    CRegFile file;
    const CRegValue* value = Open(file) ? file.Find(name) : nullptr;
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ) ||
        value->data.size() > kMaxStringLength + 1) {
        return defaultValue;
    }
    // A hand-made value may lack its zero or hold more than one; the text ends at the first.
    return std::string(value->data.c_str());
}

std::uint32_t CRegistryKey::ReadNumber(const std::string& name, std::uint32_t defaultValue) const {
    CRegFile file;
    const CRegValue* value = Open(file) ? file.Find(name) : nullptr;
    if (!value || value->data.size() != 4) {
        return defaultValue;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = number << 8 | static_cast<unsigned char>(value->data[i]);
    }
    return number;
}

bool CRegistryKey::ReadBlock(const std::string& name, void* block) const {
    CRegFile file;
    const CRegValue* value = Open(file) ? file.Find(name) : nullptr;
    if (!value || value->data.size() != kBlockSize) {
        return false;
    }
    std::memcpy(block, value->data.data(), kBlockSize);
    return true;
}

bool CRegistryKey::ReadBinary(const std::string& name, void* buffer, std::size_t size) const {
    CRegFile file;
    const CRegValue* value = Open(file) ? file.Find(name) : nullptr;
    if (!value || value->data.size() > size) {
        return false;
    }
    std::memcpy(buffer, value->data.data(), value->data.size());
    return true;
}

bool CRegistryKey::WriteString(const std::string& name, const std::string& text) {
    // The text ends at its first zero byte, as a C string would.
    const std::string stored = text.c_str();
    if (stored.size() > kMaxStringLength) {
        return false;
    }
    return Write(name, REG_SZ, stored + '\0');
}

bool CRegistryKey::WriteNumber(const std::string& name, std::uint32_t value) {
    std::string data;
    for (int i = 0; i < 4; ++i) {
        data += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return Write(name, REG_DWORD, data);
}

bool CRegistryKey::WriteBlock(const std::string& name, const void* block) {
    return Write(name, REG_BINARY, Bytes(block, kBlockSize));
}

bool CRegistryKey::WriteBinary(const std::string& name, const void* data, std::size_t size) {
    return Write(name, REG_BINARY, Bytes(data, size));
}

std::string CRegistryKey::ConfigDir() {
    if (const char* dir = std::getenv("VANTREL_CONFIG_DIR"); dir && *dir) {
        return dir;
    }
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        return std::string(xdg) + "/vantrel";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.config/vantrel";
    }
    return {};
}

bool CRegistryKey::Open(CRegFile& file) const {
    const std::string dir = ConfigDir();
    if (dir.empty()) {
        return false;
    }
    const CRegStore store = LoadStore(dir);
    const CRegFile* key = store.FindKey(KeyName(m_root, m_path));
    // The roots always exist, as in the registry.
    if (!key && !m_path.empty()) {
        return false;
    }
    file = key ? *key : CRegFile();
    return true;
}

bool CRegistryKey::Write(const std::string& name, std::uint32_t type, std::string data) {
    // A line break in a name would split its line in the file and lose the value.
    if (name.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    const std::string dir = ConfigDir();
    if (dir.empty() || (m_path.empty() && !MakeDir(dir))) {
        return false;
    }
    CRegStore store = LoadStore(dir);
    const std::string keyName = KeyName(m_root, m_path);
    if (!m_path.empty() && !store.FindKey(keyName)) {
        return false;
    }
    store.CreateKey(keyName).Set(name, type, std::move(data));
    return store.Save(RegStorePath(dir));
}
