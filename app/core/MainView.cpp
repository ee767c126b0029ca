#include "app/core/MainView.h"

int ViewOfLastView(int lastView) {
    return lastView == kServerView ? kServerView : kPlayerView;
}

CViewVisibility VisibilityOfView(int view) {
    CViewVisibility visibility;
    if (view == kPlayerView) {
        visibility.m_allPlayers = true;
    } else {
        visibility.m_serverTable = true;
        visibility.m_playersOnServer = true;
        visibility.m_splitter = true;
    }
    return visibility;
}

bool JoinsFromAllPlayers(int view) {
    return view == kPlayerView;
}

std::string ServerMenuItems(bool onRow) {
    return onRow ? "Add to favorites;-;Show server info;-"
                 : "~Add to favorites;-;~Show server info;-";
}

std::string RefreshMenuItems(bool onRow, bool full) {
    return std::string(onRow ? "" : "~") + "Refresh server;" + (full ? "" : "~") +
           "Join when a slot is free;-";
}

std::string PlayerMenuItems(bool full) {
    return std::string(full ? "" : "~") + "Join when a slot is free;-";
}
