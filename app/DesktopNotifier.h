// Desktop notifications through the freedesktop notification service on the session bus.
// Threading: the window's thread.
#pragma once

#include "app/core/FriendWatch.h"

#include <QString>

class CDesktopNotifier : public IDesktopNotifier {
public:
    // The session bus, or the bus at `address` (a D-Bus address text), reached when the first
    // notification goes out.
    CDesktopNotifier() = default;
    explicit CDesktopNotifier(QString address) : m_address(std::move(address)) {}

    // Sent without waiting for an answer: a missing or slow service never holds the window.
    void Notify(const std::string& text) override;

private:
    QString m_address;
};
