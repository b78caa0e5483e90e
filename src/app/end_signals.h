#pragma once
// EndSignals: SIGTERM, SIGINT and SIGHUP (a session's end, a service stop, a
// package upgrade, Ctrl+C, a closed terminal) arrive in the event loop as
// endRequested(), so the program saves what Close saves and ends in order.
// The handler only writes the signal's number into a pipe the loop watches;
// a second signal while the first is being handled ends the program at once
// by that signal's default action.
//
// catchEarly() installs the handlers before the application object exists,
// so a signal that arrives while the program starts waits in the pipe; the
// one EndSignals object, made on the UI thread once there is an event loop
// to watch the pipe, delivers it. The destructor puts the default actions
// back. Process-wide by nature: a handler can reach nothing else.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace velmora {

class EndSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers (idempotent); false when the pipe or a handler
    // could not be set up (the signals then keep their default action).
    static bool catchEarly();

    EndSignals();
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    bool listening() const { return notifier_ != nullptr; }

signals:
    void endRequested(int signalNumber);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace velmora
