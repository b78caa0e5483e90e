#pragma once
// The channel between copies of the player. Both ends follow this header.
//
// Who talks. Only one copy plays. A copy that starts while another runs (the
// front program `velmora4`, or a player that lost the start-up race) hands its
// command line to the running copy and ends. Many senders, one receiver.
//
// Who is the running copy. The one that holds an exclusive flock on
// "<runtime folder>/instance.lock" (InstanceLock). The kernel drops the lock
// when the holder dies, so a crashed copy never blocks the next start. Only
// the holder binds the socket, and it first removes any file left at the
// socket's name by a dead copy.
//
// Where. A Unix stream socket "<runtime folder>/<channel name>":
//  - runtime folder: "$XDG_RUNTIME_DIR/Velmora 4", or, when that variable is
//    unset or names no folder, "<temp folder>/Velmora 4-<uid>" (temp folder:
//    $TMPDIR or /tmp);
//    mode 0700, owned by the user (RuntimeFolder);
//  - channel name: "MailslotName" of section "settings" in the user's
//    settings.ini, "Velmora 4" when unset or empty (channelFileName());
//  - the socket file is 0600.
//
// Wire. One message per connection:
//   sender -> receiver: the length, kLengthBytes bytes, unsigned little-endian,
//                       then that many bytes of UTF-8 text (no terminator);
//   receiver -> sender: one byte kAck once the message is queued for handling.
// Then both close. A length above kMaxMessageBytes, or a connection that ends
// early, is closed by the receiver without the ack; the sender reports that as
// a failure. The sender does not wait for the handling, only for the ack.
// Neither side blocks on a large message: the receiver reads as data arrives
// and the sender writes with a deadline.
//
// The text is the command line, built by buildCommandLine() (command_line.h):
//  - one argument that is, in any letter case, "init", "uninstall", "play",
//    "pause", "back" or "forward" becomes that word in small letters;
//  - otherwise each argument is made absolute against the sender's working
//    folder and put in double quotes; the quoted arguments are joined by one
//    blank;
//  - a double quote inside a path is written twice ("") inside the quotes.
//    A path without a double quote never needs this, and the receiver's
//    tokenizer (command_tokens.h) reads "" inside quotes as one quote and
//    a single " as the end of the path. The builder never writes two quoted
//    paths without a blank between them, so "" inside quotes cannot mean
//    anything else.
//
// An empty text (a second start without arguments) asks the running copy
// to show the windows that its close button only hid, in case it has no
// tray icon through which the user could bring them back.

#include "base/config_folder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::channel {

inline constexpr std::string_view kDefaultChannelName = kApplicationName;
inline constexpr std::string_view kLockFileName = "instance.lock";

inline constexpr std::size_t kLengthBytes = 4;
// Far above any real command line (10,000 paths are about 1 MB).
inline constexpr std::uint32_t kMaxMessageBytes = 64u * 1024u * 1024u;
inline constexpr unsigned char kAck = 0x06;

// The length prefix of a message of `size` bytes.
inline std::string encodeLength(std::uint32_t size)
{
    std::string out(kLengthBytes, '\0');
    for (std::size_t i = 0; i < kLengthBytes; ++i)
        out[i] = static_cast<char>((size >> (8 * i)) & 0xffu);
    return out;
}

inline std::uint32_t decodeLength(const unsigned char* bytes)
{
    std::uint32_t size = 0;
    for (std::size_t i = 0; i < kLengthBytes; ++i)
        size |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return size;
}

}  // namespace velmora::channel
