#pragma once
// EndSignals: SIGTERM, SIGINT and SIGHUP (a session's end, a service stop, a
// package upgrade, Ctrl+C, a closed terminal) arrive in the event loop as
// endRequested(), so the program saves what Close saves and ends in order.
// The handler only writes the signal's number into a pipe the loop watches;
// a second signal while the first is being handled ends the program at once
// by that signal's default action.
//
// At most one instance per process (a handler can reach only process-wide
// state); made and destroyed on the UI thread. The destructor puts the
// default actions back.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace velmora {

class EndSignals : public QObject {
    Q_OBJECT
public:
    EndSignals();
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // False when the pipe or a handler could not be set up (the signals
    // then keep their default action).
    bool listening() const { return notifier_ != nullptr; }

signals:
    void endRequested(int signalNumber);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace velmora
