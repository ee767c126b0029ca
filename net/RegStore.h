// Every registry key's values in one text file in the format of .reg exports: a "[key name]"
// line opens each key's values. One file is what a person looking into the settings folder
// expects to read and edit. Loading is lenient, saving atomic.
#pragma once

#include "net/RegFile.h"

#include <string>
#include <utility>
#include <vector>

class CRegStore {
public:
    // Lines before the first key and lines that cannot be read are skipped; a key named twice
    // gathers the values of both places, the later one winning.
    static CRegStore Parse(const std::string& text);
    // Missing, unreadable or oversized files give no keys.
    static CRegStore Load(const std::string& path);

    std::string Format() const;
    // Writes a temporary file beside the target and renames it into place; a new file is
    // private to its owner, since it holds the typed password.
    bool Save(const std::string& path) const;

    // Key names are whole paths with their root ("HKEY_CURRENT_USER\Software\Vantrel JK2").
    const CRegFile* FindKey(const std::string& keyName) const;
    CRegFile* FindKey(const std::string& keyName);
    // The key, added without values when missing.
    CRegFile& CreateKey(const std::string& keyName);

    const std::vector<std::pair<std::string, CRegFile>>& Keys() const { return m_keys; }

private:
    std::vector<std::pair<std::string, CRegFile>> m_keys;
};

// The settings file of a settings folder.
std::string RegStorePath(const std::string& dir);

// The folder may still hold the files of earlier versions, one per key, named after the key
// ("HKEY_CURRENT_USER\Software\Vantrel JK2.reg"). Their values are moved into the settings
// file (over values of the same name: such a file was written after the last move, by an
// earlier version) and the files removed, but only once the settings file holds them.
// Returns false when old files are left because the settings file could not be written.
bool MoveOldKeyFiles(const std::string& dir);
