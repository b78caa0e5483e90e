#pragma once
// InstanceLock: the previous-instance test. The running copy is the one that
// holds an exclusive flock on "instance.lock" in the runtime folder.
//
// The lock lives as long as this object (and no longer: the descriptor is
// close-on-exec, so a program started by the holder does not inherit it).
// The kernel releases it when the holding process dies in any way, so a
// crashed copy never blocks the next start. Any thread; movable.

#include "channel/runtime_folder.h"
#include "channel/unique_fd.h"

#include <optional>

namespace velmora::channel {

class InstanceLock {
public:
    enum class Outcome {
        Acquired,         // no other copy runs; this object holds the lock now
        HeldByAnother,    // another copy runs
        Failed,           // the lock file could not be opened or locked
    };

    // Tries once, never waits.
    static std::optional<InstanceLock> tryAcquire(const RuntimeFolder& folder, Outcome* outcome = nullptr);

    // The folder of the lock (the object keeps its own descriptor of it).
    const RuntimeFolder& folder() const { return folder_; }

private:
    InstanceLock(RuntimeFolder folder, UniqueFd fd) : folder_(std::move(folder)), fd_(std::move(fd)) {}

    RuntimeFolder folder_;
    UniqueFd fd_;
};

}  // namespace velmora::channel
