// What a sender writes on a channel connection, from any bytes: the reader
// takes exactly the message the length prefix announces (never a byte of what
// follows), fails a message that is too long or cut short, and gets there
// however the bytes are split between reads.

#include "channel/channel_protocol.h"
#include "channel/channel_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace velmora::channel;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int ends[2];
    check(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) == 0);
    const UniqueFd sender(ends[0]);
    const UniqueFd receiver(ends[1]);

    // Small read budgets split the prefix and the text at every place.
    static constexpr std::size_t kBudgets[] = {1, 3, 7, 4096, 256 * 1024};
    MessageReader reader;
    std::size_t written = 0;
    bool closed = false;
    for (std::size_t round = 0; reader.status() == MessageReader::Status::Incomplete; ++round) {
        if (written < size) {
            const ssize_t n = ::send(sender.get(), data + written, size - written, MSG_NOSIGNAL);
            check(n > 0 || errno == EAGAIN || errno == EWOULDBLOCK);
            if (n > 0)
                written += static_cast<std::size_t>(n);
        } else if (!closed) {
            check(::shutdown(sender.get(), SHUT_WR) == 0);
            closed = true;
        }
        reader.readFrom(receiver.get(), kBudgets[round % std::size(kBudgets)]);
        check(round < 4 * size + 64);  // every round moves data, or ends the message
    }

    if (size < kLengthBytes) {
        check(reader.status() == MessageReader::Status::Failed);
    } else {
        const std::uint32_t length = decodeLength(data);
        check(encodeLength(length) == std::string(reinterpret_cast<const char*>(data), kLengthBytes));
        const bool whole = length <= kMaxMessageBytes && size - kLengthBytes >= length;
        check((reader.status() == MessageReader::Status::Complete) == whole);
        if (whole) {
            const std::string text = reader.takeText();
            check(text.size() == length && std::memcmp(text.data(), data + kLengthBytes, length) == 0);
            check(sendAck(receiver.get()));
            unsigned char ack = 0;
            check(::recv(sender.get(), &ack, 1, 0) == 1 && ack == kAck);
        }
    }
    return 0;
}
