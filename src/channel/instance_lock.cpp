#include "channel/instance_lock.h"

#include "channel/channel_protocol.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>

namespace velmora::channel {

std::optional<InstanceLock> InstanceLock::tryAcquire(const RuntimeFolder& folder, Outcome* outcome)
{
    auto report = [&](Outcome o) {
        if (outcome != nullptr)
            *outcome = o;
    };
    const std::string name(kLockFileName);
    UniqueFd fd(::openat(folder.fd(), name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd) {
        report(Outcome::Failed);
        return std::nullopt;
    }
    int rc;
    do {
        rc = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        report(errno == EWOULDBLOCK ? Outcome::HeldByAnother : Outcome::Failed);
        return std::nullopt;
    }
    auto own = folder.duplicate();
    if (!own) {
        report(Outcome::Failed);
        return std::nullopt;
    }
    report(Outcome::Acquired);
    return InstanceLock(std::move(*own), std::move(fd));
}

}  // namespace velmora::channel
