#include "app/core/StartupQuery.h"

int StartupCommand(std::uint32_t startupQuery) {
    switch (startupQuery) {
    case kStartupFavorites:
        return kQueryFavoritesId;
    case kStartupMaster:
        return kQueryMasterId;
    default:
        return 0;
    }
}

int StartupRadio(std::uint32_t startupQuery) {
    switch (startupQuery) {
    case kStartupNothing:
        return kStartupNothingId;
    case kStartupFavorites:
        return kQueryFavoritesId;
    case kStartupMaster:
        return kQueryMasterId;
    default:
        return 0;
    }
}

std::uint32_t StartupQueryOfRadios(bool favoritesChecked, bool masterChecked) {
    std::uint32_t value = kStartupNothing;
    if (favoritesChecked)
        value = kStartupFavorites;
    if (masterChecked)
        value = kStartupMaster;
    return value;
}
