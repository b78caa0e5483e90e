#pragma once
// EventPump: the one place where the program "lets pending window events run"
// while it waits for something (an engine answer, a lock, a measurement).
//
// Waits never block the UI thread: they run nested event processing. Because
// handlers then run inside other handlers, the pump bounds the nesting depth
// (a wait refused at the bound returns false at once) and every wait has a
// time limit. Owned by the application object; UI thread only.

#include <chrono>
#include <functional>

namespace velmora {

class EventPump {
public:
    struct Options {
        int maxDepth = 8;  // nested waits allowed at once
    };

    EventPump();
    explicit EventPump(Options options);

    // Processes the events that are pending now (never sleeps). Returns false
    // when refused because the nesting bound is reached.
    bool letPendingEventsRun();

    // Lets events run until done() is true or the timeout passes. Returns
    // done() at the end; false at once when the nesting bound is reached.
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // Current nesting depth of running waits (0 outside any wait).
    int depth() const { return depth_; }

private:
    Options options_;
    int depth_ = 0;
};

// Sets a flag for the lifetime of the scope; tells whether it was free.
// Used where a handler must not run again inside its own waits.
class ReentrancyGuard {
public:
    explicit ReentrancyGuard(bool& busy) : busy_(busy), entered_(!busy) { if (entered_) busy_ = true; }
    ~ReentrancyGuard() { if (entered_) busy_ = false; }
    ReentrancyGuard(const ReentrancyGuard&) = delete;
    ReentrancyGuard& operator=(const ReentrancyGuard&) = delete;
    bool entered() const { return entered_; }

private:
    bool& busy_;
    bool entered_;
};

}  // namespace velmora
