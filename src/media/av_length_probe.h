#pragma once
// AvLengthProbe: the LengthProbe on libavformat.
//
// Purpose: measures clip lengths in the background, fast enough for playlists
// of many thousand entries (ClipLengthReader does one file). Threading:
// create, use and destroy on the UI thread (it may be built elsewhere and
// moved there before first use). The measurements run on a small pool of
// worker threads at a lower priority (nice 10); at most `window` requests are measured or waiting to be
// delivered at once, however many are queued, so memory stays bounded.
// Results come back to the UI thread by queued call, in request order, in
// batches at most every 5 ms while they keep coming. The handler may call request() and cancelAll().
// Lifetime: cancelAll() and destruction interrupt running measurements (the
// workers poll a flag while libavformat reads) and drop queued ones; the
// destructor joins the workers.

#include "media/av_clip_length.h"
#include "media/length_probe.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

class AvLengthProbe final : public QObject, public LengthProbe {
    Q_OBJECT
public:
    struct Options {
        int threads = 2;
        int window = 512;  // requests in flight or awaiting delivery at most
    };

    AvLengthProbe();
    explicit AvLengthProbe(Options options, QObject* parent = nullptr);
    ~AvLengthProbe() override;
    AvLengthProbe(const AvLengthProbe&) = delete;
    AvLengthProbe& operator=(const AvLengthProbe&) = delete;

    void setResultHandler(ResultHandler handler) override { handler_ = std::move(handler); }
    void request(std::uint64_t requestId, const QString& path) override;
    void cancelAll() override;
    int outstanding() const override;

private:
    struct Job {
        std::uint64_t sequence;
        std::uint64_t requestId;
        QString path;
    };
    struct Done {
        std::uint64_t requestId;
        std::optional<double> seconds;
    };
    struct Slot {
        bool ready = false;
        std::uint64_t requestId = 0;
        std::optional<double> seconds;
    };

    void work();
    void deliver();

    const Options options_;
    const ClipLengthReader reader_;
    ResultHandler handler_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queued_;                 // guarded by mutex_
    std::vector<Slot> slots_;                // guarded by mutex_: finished, at sequence % window
    std::uint64_t nextSequence_ = 0;         // guarded by mutex_
    std::uint64_t nextDelivery_ = 0;         // guarded by mutex_
    bool deliveryPosted_ = false;            // guarded by mutex_
    std::atomic<std::uint64_t> generation_{0};  // bumped by cancelAll(); read by workers
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> workers_;
};

}  // namespace velmora
