#pragma once
// Lets events run until done() or the time-out, sleeping between events (a
// busy loop would distort the CPU figures). False on time-out.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace velmora::bench {

inline bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;  // bounds each wait, so that the deadline is seen
    wake.start(20);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace velmora::bench
