// Settings by root and key path, every key in one file (settings.reg), typed reads that fall
// back to defaults.
// Window thread only: two writers of one key at once would lose one update.
#pragma once

#include "net/RegFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

using HKEY = std::uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;

class CRegistryKey {
public:
    static constexpr std::size_t kBlockSize = 16;
    static constexpr std::size_t kMaxStringLength = 254;

    CRegistryKey() = default;

    // Only the four predefined roots; anything else is refused and changes nothing.
    bool SetRoot(HKEY root);
    HKEY GetRoot() const { return m_root; }
    // Opens or, with create, creates the key (and the keys above it). An empty path means the
    // root itself. On failure the previous path stays in effect.
    bool SetPath(const std::string& path, bool create = true);
    const std::string& GetPath() const { return m_path; }
    void Reset();

    // REG_* of the value, 0 when the key or the value is missing.
    std::uint32_t GetValueType(const std::string& name) const;
    bool ValueExists(const std::string& name) const;

    // REG_SZ or REG_EXPAND_SZ (unexpanded) of at most 255 bytes with its zero, else the default.
    std::string ReadString(const std::string& name, const std::string& defaultValue) const;
    // Any value of exactly four bytes, whatever its type, else the default.
    std::uint32_t ReadNumber(const std::string& name, std::uint32_t defaultValue) const;
    // Exactly 16 bytes; false and the buffer unchanged otherwise.
    bool ReadBlock(const std::string& name, void* block) const;
    // A value of at most size bytes over the buffer's leading bytes; a larger one is not read.
    bool ReadBinary(const std::string& name, void* buffer, std::size_t size) const;

    // Texts longer than 254 characters are refused and leave the old value.
    bool WriteString(const std::string& name, const std::string& text);
    bool WriteNumber(const std::string& name, std::uint32_t value);
    bool WriteBlock(const std::string& name, const void* block);
    bool WriteBinary(const std::string& name, const void* data, std::size_t size);

    // $VANTREL_CONFIG_DIR, else $XDG_CONFIG_HOME/vantrel, else ~/.config/vantrel.
    static std::string ConfigDir();

private:
    // The open key's stored values, or false when the key does not exist.
    bool Open(CRegFile& file) const;
    bool Write(const std::string& name, std::uint32_t type, std::string data);

    HKEY m_root = HKEY_CURRENT_USER;
    std::string m_path;
};
