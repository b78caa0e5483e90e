#include "channel/channel_sender.h"

#include "channel/channel_protocol.h"
#include "channel/channel_socket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <thread>

namespace velmora::channel {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

// Waits for the socket to become ready for `events`; false at the deadline.
bool waitReady(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p {fd, events, 0};
        const int rc = ::poll(&p, 1, remainingMs(deadline));
        if (rc > 0)
            return true;
        if (rc == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

enum class ConnectResult { Connected, NotListening, Failed };

ConnectResult connectOnce(const sockaddr_un& address, socklen_t length, UniqueFd& out, std::string& error)
{
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) {
        error = std::string("cannot make a socket: ") + std::strerror(errno);
        return ConnectResult::Failed;
    }
    int rc;
    do {
        rc = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), length);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        out = std::move(fd);
        return ConnectResult::Connected;
    }
    // ENOENT: no socket yet; ECONNREFUSED: a socket file nobody listens on;
    // EAGAIN: the listener's queue is full for the moment.
    if (errno == ENOENT || errno == ECONNREFUSED || errno == EAGAIN)
        return ConnectResult::NotListening;
    error = std::string("cannot connect: ") + std::strerror(errno);
    return ConnectResult::Failed;
}

SendResult transfer(int fd, std::string_view text, Clock::time_point deadline)
{
    SendResult result;
    // Length and text leave in one stream without copying the text.
    const std::string header = encodeLength(static_cast<std::uint32_t>(text.size()));
    std::size_t sent = 0;
    const std::size_t total = header.size() + text.size();
    while (sent < total) {
        iovec parts[2];
        int count = 0;
        if (sent < header.size())
            parts[count++] = {const_cast<char*>(header.data() + sent), header.size() - sent};
        const std::size_t textSent = sent > header.size() ? sent - header.size() : 0;
        if (textSent < text.size())
            parts[count++] = {const_cast<char*>(text.data() + textSent), text.size() - textSent};
        msghdr message {};
        message.msg_iov = parts;
        message.msg_iovlen = static_cast<std::size_t>(count);
        const ssize_t n = ::sendmsg(fd, &message, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitReady(fd, POLLOUT, deadline)) {
                result.error = "the running copy did not read the command line in time";
                return result;
            }
            continue;
        }
        result.error = std::string("the running copy closed the channel: ") + std::strerror(errno);
        return result;
    }
    for (;;) {
        unsigned char answer = 0;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n == 1) {
            if (answer == kAck) {
                result.status = SendResult::Status::Delivered;
                return result;
            }
            result.error = "the running copy answered something unexpected";
            return result;
        }
        if (n == 0) {
            result.error = "the running copy refused the command line";
            return result;
        }
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitReady(fd, POLLIN, deadline))
            continue;
        result.error = errno == EAGAIN || errno == EWOULDBLOCK
            ? std::string("the running copy did not confirm the command line in time")
            : std::string("the channel broke: ") + std::strerror(errno);
        return result;
    }
}

}  // namespace

SendResult sendCommand(const RuntimeFolder& folder, const std::string& channelName, std::string_view text,
                       const SendOptions& options)
{
    SendResult result;
    if (text.size() > kMaxMessageBytes) {
        result.error = "the command line is too long";
        return result;
    }
    sockaddr_un address {};
    socklen_t length = 0;
    if (!channelAddress(folder, channelName, address, length)) {
        result.error = "the channel name is too long: " + channelName;
        return result;
    }
    const auto giveUp = Clock::now() + options.retryLimit;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        UniqueFd fd;
        switch (connectOnce(address, length, fd, result.error)) {
        case ConnectResult::Connected:
            return transfer(fd.get(), text, Clock::now() + options.transferLimit);
        case ConnectResult::Failed:
            return result;
        case ConnectResult::NotListening:
            break;
        }
        if (options.becomeFirstWhenFree) {
            if (auto lock = InstanceLock::tryAcquire(folder)) {
                result.status = SendResult::Status::BecameFirst;
                result.lock = std::move(lock);
                return result;
            }
        }
        if (Clock::now() >= giveUp) {
            result.status = SendResult::Status::NoListener;
            const long long ms = options.retryLimit.count();
            result.error = "no running copy took the command line within " + std::to_string(ms / 1000) + "."
                + std::to_string(ms % 1000 / 100) + " s";
            return result;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, giveUp - Clock::now()));
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace velmora::channel
