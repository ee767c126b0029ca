// The soak's hand: pseudo-random mouse and key events, from a fixed seed, to whatever window of
// the program is on top (an open menu, a message box, a dialog, else the main window), at
// points inside its visible widgets, delivered through Qt's event system.
// Window thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <random>
#include <string>

class CSoakInput {
public:
    explicit CSoakInput(std::uint32_t seed) : m_random(seed) {}

    // The window that gets the next event: an open menu, the top modal window, else `main`.
    static QWidget* TopWindow(QWidget* main);

    // Sends one event to the top window; returns what it was, for a failure report.
    std::string Send(QWidget* main);

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    bool Chance(int percent) { return Pick(100) < percent; }
    QWidget* PickWidget(QWidget& window);
    QPoint PickPoint(const QWidget& widget);
    Qt::KeyboardModifiers PickModifiers();
    std::string SendMouse(QWidget& window);
    std::string SendKey(QWidget& window);

    std::mt19937 m_random;
};
