#include "base/event_pump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace velmora {

namespace {
struct DepthScope {
    explicit DepthScope(int& d) : depth(d) { ++depth; }
    ~DepthScope() { --depth; }
    int& depth;
};
}  // namespace

EventPump::EventPump() : EventPump(Options{}) {}
EventPump::EventPump(Options options) : options_(options) {}

bool EventPump::letPendingEventsRun()
{
    if (depth_ >= options_.maxDepth)
        return false;
    DepthScope scope(depth_);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return true;
}

bool EventPump::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    if (done())
        return true;
    if (depth_ >= options_.maxDepth)
        return false;
    DepthScope scope(depth_);
    QDeadlineTimer deadline(timeout);
    // Wakes the blocking event wait below when nothing else arrives in time.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(std::max<qint64>(1, deadline.remainingTime()));
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

}  // namespace velmora
