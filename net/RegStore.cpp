#include "net/RegStore.h"

#include "net/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A whole key name of one of the four roots, as the file name of an earlier version held it.
bool IsOldKeyName(const std::string& name) {
    for (std::string_view root :
         {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"}) {
        if (name == root)
            return true;
        if (name.size() > root.size() + 1 && name.compare(0, root.size(), root) == 0 &&
            name[root.size()] == '\\')
            return true;
    }
    return false;
}

} // namespace

CRegStore CRegStore::Parse(const std::string& text) {
    CRegStore store;
    std::string_view rest = text;
    std::string key;
    bool inKey = false;
    std::string values;
    auto finishKey = [&] {
        if (!inKey)
            return;
        CRegFile& file = store.CreateKey(key);
        const CRegFile parsed = CRegFile::Parse(values);
        for (const CRegValue& value : parsed.Values())
            file.Set(value.name, value.type, value.data);
        values.clear();
    };
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view raw = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const std::string_view line = Trim(raw);
        if (!line.empty() && line.front() == '[') {
            finishKey();
            const std::size_t close = line.rfind(']');
            // A broken key line hides the values under it rather than giving them to another key.
            inKey = close != std::string_view::npos && close == line.size() - 1 && close > 1;
            if (inKey)
                key = std::string(line.substr(1, close - 1));
            continue;
        }
        if (inKey) {
            values.append(raw);
            values += '\n';
        }
    }
    finishKey();
    return store;
}

CRegStore CRegStore::Load(const std::string& path) {
    return Parse(ReadRegText(path));
}

std::string CRegStore::Format() const {
    std::string text = "REGEDIT4\n";
    for (const auto& [name, file] : m_keys)
        text += "\n[" + name + "]\n" + file.FormatValues();
    return text + '\n';
}

bool CRegStore::Save(const std::string& path) const {
    return ReplaceFileAtomically(path, Format(), 0600) == 0;
}

const CRegFile* CRegStore::FindKey(const std::string& keyName) const {
    for (const auto& [name, file] : m_keys)
        if (name == keyName)
            return &file;
    return nullptr;
}

CRegFile* CRegStore::FindKey(const std::string& keyName) {
    return const_cast<CRegFile*>(std::as_const(*this).FindKey(keyName));
}

CRegFile& CRegStore::CreateKey(const std::string& keyName) {
    if (CRegFile* file = FindKey(keyName))
        return *file;
    return m_keys.emplace_back(keyName, CRegFile()).second;
}

std::string RegStorePath(const std::string& dir) {
    return dir + "/settings.reg";
}

bool MoveOldKeyFiles(const std::string& dir) {
    std::error_code error;
    std::vector<std::pair<std::string, std::string>> old; // key name, file
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".reg") != 0)
            continue;
        const std::string key = file.substr(0, file.size() - 4);
        struct stat info {};
        if (IsOldKeyName(key) && stat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
            old.emplace_back(key, it->path().string());
    }
    if (old.empty())
        return true;
    const std::string path = RegStorePath(dir);
    CRegStore store = CRegStore::Load(path);
    for (const auto& [key, file] : old) {
        CRegFile& into = store.CreateKey(key);
        const CRegFile stored = CRegFile::Load(file);
        for (const CRegValue& value : stored.Values())
            into.Set(value.name, value.type, value.data);
    }
    if (!store.Save(path))
        return false;
    for (const auto& [key, file] : old)
        unlink(file.c_str());
    return true;
}
