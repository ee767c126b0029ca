// Tests ask one loopback master, never the public ones by name, and open with no start-up
// query unless they store one first: a newcomer's defaults would ask the public masters at once.
#pragma once

#include "app/core/Settings.h"
#include "net/RegistryKey.h"

#include <string>

inline void StoreLoopbackMaster(CRegistryKey& key, const std::string& master) {
    key.WriteString(kMasterValue, master);
    key.WriteString(kMoreMastersValue, "");
    if (!key.ValueExists(kStartupQueryValue))
        key.WriteNumber(kStartupQueryValue, 0);
}
