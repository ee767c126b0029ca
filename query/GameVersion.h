// Which release of the game a server runs, from the protocol its master listed it under and,
// for the protocol two releases share, what its status says.
#pragma once

#include <string>

class CServerRecord;

// Protocol 15 is spoken by releases 1.02 and 1.03, protocol 16 by 1.04.
inline constexpr int kProtocol102 = 15;
inline constexpr int kProtocol104 = 16;

// The record's protocol: the one it was listed under, else (a favourite) the status reply's
// "protocol" variable when that names one of the two; 0 when unknown.
int ProtocolOf(const CServerRecord& record);

// "1.04" for protocol 16; for 15 "1.03" when the "version" variable mentions it, else "1.02";
// empty when the protocol is unknown.
std::string VersionText(const CServerRecord& record);
