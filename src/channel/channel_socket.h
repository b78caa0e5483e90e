#pragma once
// The socket ends of the channel (channel_protocol.h): the listening socket
// of the running copy, the reader that reassembles one message from a
// connection, and the acknowledgement.
//
// Everything here is non-blocking: the listener and the connections it
// accepts never make the caller wait, so an event loop can drive them from
// readiness notifications. Any thread, but one object per thread at a time.

#include "channel/instance_lock.h"
#include "channel/runtime_folder.h"
#include "channel/unique_fd.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::channel {

// The address of socket `name` in the folder. A path too long for sun_path is
// reached through the folder's descriptor ("/proc/self/fd/N/name"). False
// when even that does not fit.
bool channelAddress(const RuntimeFolder& folder, const std::string& name, sockaddr_un& address, socklen_t& length);

class ChannelListener {
public:
    // Binds socket `name` in the lock's folder (mode 0600) and listens. The
    // lock proves that no other copy listens, so whatever is at that name is
    // left by a dead copy and is removed first. Returns nullopt (and one line
    // in error) when the socket cannot be made.
    static std::optional<ChannelListener> listen(const InstanceLock& lock, const std::string& name,
                                                 std::string* error = nullptr);

    ChannelListener(ChannelListener&&) noexcept = default;
    ChannelListener& operator=(ChannelListener&& other) noexcept;
    // Closes the socket and removes its file (when it is still the one made here).
    ~ChannelListener();

    int fd() const { return fd_.get(); }
    // The socket's path (for messages and tests).
    std::string path() const { return folder_.path() + "/" + name_; }

    // One waiting connection, non-blocking and close-on-exec; invalid when
    // none waits. Never blocks.
    UniqueFd accept();

private:
    void closeAndRemove();
    ChannelListener(RuntimeFolder folder, std::string name, UniqueFd fd, dev_t device, ino_t inode)
        : folder_(std::move(folder)), name_(std::move(name)), fd_(std::move(fd)), device_(device), inode_(inode)
    {
    }

    RuntimeFolder folder_;
    std::string name_;
    UniqueFd fd_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

// Reassembles the message of one connection from whatever has arrived.
class MessageReader {
public:
    enum class Status {
        Incomplete,  // wait for more data
        Complete,    // takeText() holds the whole message
        Failed,      // too long, or the sender closed early: drop the connection
    };

    // Reads what the non-blocking socket holds now, at most `budget` bytes,
    // so that one large message does not hold the caller for long.
    Status readFrom(int fd, std::size_t budget = 256 * 1024);
    Status status() const { return status_; }
    std::string takeText() { return std::move(text_); }

private:
    Status status_ = Status::Incomplete;
    unsigned char header_[4] = {};
    std::size_t headerRead_ = 0;
    std::uint32_t expected_ = 0;
    std::string text_;
};

// Writes the acknowledgement byte. It fits an empty socket buffer, so this
// does not wait; false when the sender has gone.
bool sendAck(int fd);

}  // namespace velmora::channel
