#pragma once
// Waits for a condition while Qt's events run, up to a deadline.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace keeprun::test {

template <class Pred> bool wait_until(Pred pred, int deadline_ms = 10000) {
    QDeadlineTimer deadline(deadline_ms);
    while (!pred()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

} // namespace keeprun::test
