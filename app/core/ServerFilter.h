// Which finished servers the tables list, by the two check boxes taken when the query started.
#pragma once

#include <cstdint>
#include <string>

// Empty servers need "Include empty servers", full ones "Include full servers". Full means not
// fewer players than maxClients, compared unsigned, so a server that reports 0 (or a negative
// number of) maximum players counts as full.
bool IsServerShown(std::int32_t numPlayers, std::int32_t maxClients, bool includeEmpty,
                   bool includeFull);

// The "Players" cell: "%i/%i" of players and maximum players.
std::string PlayersText(std::int32_t numPlayers, std::int32_t maxClients);
