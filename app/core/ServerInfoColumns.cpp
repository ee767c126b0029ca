#include "app/core/ServerInfoColumns.h"

#include <algorithm>

int CapInfoColumnWidth(int autoWidth, int page) {
    return std::clamp(autoWidth, 0, std::max(page, 0) * 2 / 3);
}
