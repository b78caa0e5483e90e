#include "channel/channel_socket.h"

#include "channel/channel_protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::channel {

namespace {

bool fillPath(sockaddr_un& address, socklen_t& length, const std::string& path)
{
    if (path.size() >= sizeof(address.sun_path))
        return false;
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return true;
}

}  // namespace

bool channelAddress(const RuntimeFolder& folder, const std::string& name, sockaddr_un& address, socklen_t& length)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return false;
    if (fillPath(address, length, folder.path() + "/" + name))
        return true;
    return fillPath(address, length, "/proc/self/fd/" + std::to_string(folder.fd()) + "/" + name);
}

std::optional<ChannelListener> ChannelListener::listen(const InstanceLock& lock, const std::string& name,
                                                       std::string* error)
{
    auto fail = [&](const std::string& what) -> std::optional<ChannelListener> {
        if (error != nullptr)
            *error = what + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
        return std::nullopt;
    };
    errno = 0;
    auto folder = lock.folder().duplicate();
    if (!folder)
        return fail("cannot use the runtime folder");
    sockaddr_un address {};
    socklen_t length = 0;
    if (!channelAddress(*folder, name, address, length))
        return fail("channel name too long: " + name);
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return fail("cannot make a socket");
    // Left by a copy that died: we hold the lock, so nobody listens there.
    if (::unlinkat(folder->fd(), name.c_str(), 0) != 0 && errno != ENOENT)
        return fail("cannot remove the old socket " + folder->path() + "/" + name);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0)
        return fail("cannot bind " + folder->path() + "/" + name);
    struct stat st {};
    // The folder is 0700 already; the socket itself is narrowed before
    // anyone may connect.
    if (::fchmodat(folder->fd(), name.c_str(), 0600, 0) != 0
        || ::fstatat(folder->fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int saved = errno;
        ::unlinkat(folder->fd(), name.c_str(), 0);
        errno = saved;
        return fail("cannot restrict " + folder->path() + "/" + name);
    }
    if (::listen(fd.get(), SOMAXCONN) != 0) {
        const int saved = errno;
        ::unlinkat(folder->fd(), name.c_str(), 0);
        errno = saved;
        return fail("cannot listen on " + folder->path() + "/" + name);
    }
    return ChannelListener(std::move(*folder), name, std::move(fd), st.st_dev, st.st_ino);
}

ChannelListener::~ChannelListener()
{
    closeAndRemove();
}

ChannelListener& ChannelListener::operator=(ChannelListener&& other) noexcept
{
    if (this != &other) {
        closeAndRemove();
        folder_ = std::move(other.folder_);
        name_ = std::move(other.name_);
        fd_ = std::move(other.fd_);
        device_ = other.device_;
        inode_ = other.inode_;
    }
    return *this;
}

void ChannelListener::closeAndRemove()
{
    if (!fd_)
        return;  // moved from
    fd_.reset();
    struct stat st {};
    if (::fstatat(folder_.fd(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_dev == device_
        && st.st_ino == inode_)
        ::unlinkat(folder_.fd(), name_.c_str(), 0);
}

UniqueFd ChannelListener::accept()
{
    for (;;) {
        const int fd = ::accept4(fd_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0)
            return UniqueFd(fd);
        // A connection that was reset before we took it: look for the next.
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        return UniqueFd();
    }
}

MessageReader::Status MessageReader::readFrom(int fd, std::size_t budget)
{
    char buffer[64 * 1024];
    while (status_ == Status::Incomplete && budget > 0) {
        std::size_t want;
        char* into;
        if (headerRead_ < kLengthBytes) {
            want = kLengthBytes - headerRead_;
            into = reinterpret_cast<char*>(header_) + headerRead_;
        } else {
            want = std::min<std::size_t>({sizeof(buffer), expected_ - text_.size(), budget});
            into = buffer;
        }
        const ssize_t n = ::recv(fd, into, want, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                status_ = Status::Failed;
            break;
        }
        if (n == 0) {
            status_ = Status::Failed;  // closed before the message was whole
            break;
        }
        budget -= std::min<std::size_t>(budget, static_cast<std::size_t>(n));
        if (headerRead_ < kLengthBytes) {
            headerRead_ += static_cast<std::size_t>(n);
            if (headerRead_ == kLengthBytes) {
                expected_ = decodeLength(header_);
                if (expected_ > kMaxMessageBytes)
                    status_ = Status::Failed;
                else if (expected_ == 0)
                    status_ = Status::Complete;
                else
                    text_.reserve(std::min<std::uint32_t>(expected_, 1u << 20));
            }
        } else {
            text_.append(buffer, static_cast<std::size_t>(n));
            if (text_.size() == expected_)
                status_ = Status::Complete;
        }
    }
    return status_;
}

bool sendAck(int fd)
{
    const char ack = static_cast<char>(kAck);
    for (;;) {
        const ssize_t n = ::send(fd, &ack, 1, MSG_NOSIGNAL);
        if (n == 1)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
}

}  // namespace velmora::channel
