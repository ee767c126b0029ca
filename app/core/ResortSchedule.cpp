#include "app/core/ResortSchedule.h"

#include "app/core/MainView.h"

bool NeedsResort(int view, int rowCount) {
    int c = rowCount;
    if (c <= 24 || (c <= 99 && c % 5 == 0))
        return true;
    if (view == kPlayerView)
        return (c <= 499 && c % 10 == 0) || c % 33 == 0;
    return c % 10 == 0;
}
