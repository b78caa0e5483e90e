#pragma once
// Handing a command line to the running copy (channel_protocol.h).
//
// sendCommand() blocks the calling thread until the running copy has
// acknowledged the message, the retry time is up, or the running copy went
// away and this copy may become the first one. It is meant for a program's
// start, before any event loop exists (the front program, a player that lost
// the start-up race); a user-interface thread must not call it.

#include "channel/instance_lock.h"
#include "channel/runtime_folder.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::channel {

struct SendOptions {
    // How long to keep trying while nobody listens: the running copy may be
    // starting and not yet listening.
    std::chrono::milliseconds retryLimit{10000};
    // How long the running copy may take to read the message and answer once
    // it has accepted the connection.
    std::chrono::milliseconds transferLimit{10000};
    // While retrying, take the instance lock when it has become free (the
    // copy that held it ended) and report BecameFirst instead of waiting on.
    bool becomeFirstWhenFree = true;
};

struct SendResult {
    enum class Status {
        Delivered,    // the running copy queued the message
        BecameFirst,  // no copy runs any more; `lock` holds the instance lock
        NoListener,   // nobody took the message within retryLimit
        Failed,       // the text is too long, or the transfer broke off
    };
    Status status = Status::Failed;
    std::optional<InstanceLock> lock;  // set with BecameFirst
    std::string error;                 // one line for NoListener and Failed
};

// Connects to socket `channelName` in the folder and sends the text.
SendResult sendCommand(const RuntimeFolder& folder, const std::string& channelName, std::string_view text,
                       const SendOptions& options = {});

}  // namespace velmora::channel
