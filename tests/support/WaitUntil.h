#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

// How long a test waits for what must come when it does not measure time: enough for a machine
// busy with other builds, or for a sanitizer build. A wait ends as soon as its condition holds,
// so only a failing test waits this long.
constexpr int kPatientMs = 60000;

// Runs the event loop until the condition holds or the time is up; true when it holds.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}
