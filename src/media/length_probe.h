#pragma once
// LengthProbe: measures clip lengths without playing them, off the UI
// thread. A plain abstract class like MediaEngine (media/media_engine.h), so
// that the playlist can use it without knowing the engine.

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace velmora {

// Results come back on the UI thread through the handler, in the order the requests were made.
class LengthProbe {
public:
    // requestId: the caller's identity of the entry measured; seconds:
    // nullopt when the file cannot be measured.
    using ResultHandler = std::function<void(std::uint64_t requestId, std::optional<double> seconds)>;

    virtual ~LengthProbe() = default;
    virtual void setResultHandler(ResultHandler handler) = 0;
    // Queues a measurement; never blocks.
    virtual void request(std::uint64_t requestId, const QString& path) = 0;
    // Drops every request not yet answered; no result is delivered for them.
    virtual void cancelAll() = 0;
    // Requests queued or running.
    virtual int outstanding() const = 0;
};

}  // namespace velmora
