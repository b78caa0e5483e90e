#include "app/end_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Process-wide because a signal handler can reach nothing else.
int pipeFds[2] = {-1, -1};
volatile std::sig_atomic_t received = 0;

extern "C" void onEndSignal(int signalNumber)
{
    if (received) {
        // Asked twice: the user means it.
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        return;
    }
    received = 1;
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

bool EndSignals::catchEarly()
{
    if (pipeFds[0] >= 0)
        return true;
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    received = 0;
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals)
        sigaction(s, &action, nullptr);
    return true;
}

EndSignals::EndSignals()
{
    if (!catchEarly())
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &EndSignals::readPipe);
}

EndSignals::~EndSignals()
{
    if (!notifier_)
        return;
    for (const int s : kSignals)
        std::signal(s, SIG_DFL);
    notifier_.reset();
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void EndSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(pipeFds[0], &byte, 1) == 1)
        emit endRequested(byte);
}

}  // namespace velmora
