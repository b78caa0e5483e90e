#include "media/av_length_probe.h"

#include "media/media_log.h"

#include <QMetaObject>
#include <QTimer>

#include <algorithm>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmora {

namespace {
constexpr std::chrono::milliseconds kBatchInterval{5};
constexpr int kWorkerNice = 10;
}

AvLengthProbe::AvLengthProbe() : AvLengthProbe(Options{}) {}

AvLengthProbe::AvLengthProbe(Options options, QObject* parent)
    : QObject(parent), options_(options), slots_(std::size_t(std::max(1, options.window)))
{
    const int threads = std::max(1, options_.threads);
    workers_.reserve(threads);
    for (int i = 0; i < threads; ++i)
        workers_.emplace_back([this] { work(); });
}

AvLengthProbe::~AvLengthProbe()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queued_.clear();
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void AvLengthProbe::request(std::uint64_t requestId, const QString& path)
{
    {
        std::lock_guard lock(mutex_);
        queued_.push_back(Job{nextSequence_++, requestId, path});
    }
    wake_.notify_one();
}

void AvLengthProbe::cancelAll()
{
    std::lock_guard lock(mutex_);
    ++generation_;
    queued_.clear();
    for (Slot& slot : slots_)
        slot.ready = false;
    nextDelivery_ = nextSequence_;
}

int AvLengthProbe::outstanding() const
{
    std::lock_guard lock(mutex_);
    return int(nextSequence_ - nextDelivery_);
}

void AvLengthProbe::work()
{
    // Background work: the UI thread and the sound come first.
    setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), kWorkerNice);
    const auto windowLimit = std::uint64_t(slots_.size());
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [&] {
            return stopping_ || (!queued_.empty() && queued_.front().sequence < nextDelivery_ + windowLimit);
        });
        if (stopping_)
            return;
        Job job = std::move(queued_.front());
        queued_.pop_front();
        const std::uint64_t generation = generation_;
        lock.unlock();

        const auto interrupted = [&] { return stopping_ || generation_ != generation; };
        const ClipLengthReader::Result result = reader_.measure(job.path, interrupted);

        lock.lock();
        if (stopping_)
            return;
        if (generation_ != generation)
            continue;  // cancelled while measuring
        // The window guarantees the slot is free: its last user was delivered.
        Slot& slot = slots_[job.sequence % slots_.size()];
        slot = Slot{true, job.requestId, result.seconds};
        const bool post = job.sequence == nextDelivery_ && !deliveryPosted_;
        deliveryPosted_ = deliveryPosted_ || post;
        lock.unlock();
        // Posted outside the lock, so that the UI thread never waits for a
        // (lower-priority) worker that holds it.
        if (post)
            QMetaObject::invokeMethod(this, &AvLengthProbe::deliver, Qt::QueuedConnection);
        lock.lock();
    }
}

void AvLengthProbe::deliver()
{
    std::vector<Done> ready;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        for (Slot* slot = &slots_[nextDelivery_ % slots_.size()]; slot->ready && nextDelivery_ < nextSequence_;
             slot = &slots_[nextDelivery_ % slots_.size()]) {
            ready.push_back(Done{slot->requestId, slot->seconds});
            slot->ready = false;
            ++nextDelivery_;
        }
        generation = generation_;
        // While results keep coming, hand them over in batches a few
        // milliseconds apart instead of waking the UI thread for each; once
        // a batch finds nothing, the next result is posted at once again.
        deliveryPosted_ = !ready.empty();
    }
    if (ready.empty())
        return;
    QTimer::singleShot(kBatchInterval, this, &AvLengthProbe::deliver);
    wake_.notify_all();  // the window moved on
    for (const Done& done : ready) {
        if (generation_ != generation)
            break;  // the handler cancelled the rest
        if (handler_)
            handler_(done.requestId, done.seconds);
    }
}

}  // namespace velmora
