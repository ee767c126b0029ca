// The masters a query asks: kept as the user typed them ("host:port") and resolved afresh at
// each query, so a master that moves keeps being found and a failed look-up is not stored.
#pragma once

#include "net/SockAddr.h"

#include <string>
#include <vector>

// The port masters listen on when a text names none.
inline constexpr int kMasterPort = 28060;

// The texts of a list setting: separated by blanks, commas or semicolons; empty items dropped.
std::vector<std::string> SplitMasterTexts(const std::string& text);
// One blank between texts, as the setting stores them.
std::string JoinMasterTexts(const std::vector<std::string>& texts);

struct CMasterTarget {
    std::string m_text;  // as typed
    CSockAddr m_address; // valid only when resolved
    bool m_resolved = false;
};

// Resolves each text once (a text without a port gets kMasterPort); a text given twice, or two
// texts naming one address, are asked once.
std::vector<CMasterTarget> ResolveMasters(const std::vector<std::string>& texts);
