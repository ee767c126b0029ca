#include "app/core/ServerFilter.h"

bool IsServerShown(std::int32_t numPlayers, std::int32_t maxClients, bool includeEmpty,
                   bool includeFull) {
    bool passesEmpty = includeEmpty || numPlayers > 0;
    bool passesFull = includeFull || static_cast<std::uint32_t>(numPlayers) <
                                         static_cast<std::uint32_t>(maxClients);
    return passesEmpty && passesFull;
}

std::string PlayersText(std::int32_t numPlayers, std::int32_t maxClients) {
    return std::to_string(numPlayers) + "/" + std::to_string(maxClients);
}
