// The one QApplication of a Qt test program, made on first use (offscreen under ctest).
#pragma once

#include <QApplication>
#include <QElapsedTimer>

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "vantrel-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Runs the event loop for about the given time.
inline void ProcessEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}
