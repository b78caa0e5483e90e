#include "playback/av_length_probe.h"

#include "playback/media_log.h"

#include <QMetaObject>

#include <algorithm>

namespace velmora {

AvLengthProbe::AvLengthProbe() : AvLengthProbe(Options{}) {}

AvLengthProbe::AvLengthProbe(Options options, QObject* parent) : QObject(parent), options_(options)
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
    done_.clear();
    nextDelivery_ = nextSequence_;
}

int AvLengthProbe::outstanding() const
{
    std::lock_guard lock(mutex_);
    return int(nextSequence_ - nextDelivery_);
}

void AvLengthProbe::work()
{
    const auto windowLimit = std::uint64_t(std::max(1, options_.window));
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
        done_.emplace(job.sequence, Done{job.requestId, result.seconds});
        if (job.sequence == nextDelivery_ && !deliveryPosted_) {
            deliveryPosted_ = true;
            QMetaObject::invokeMethod(this, &AvLengthProbe::deliver, Qt::QueuedConnection);
        }
    }
}

void AvLengthProbe::deliver()
{
    std::vector<Done> ready;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        deliveryPosted_ = false;
        for (auto found = done_.find(nextDelivery_); found != done_.end(); found = done_.find(nextDelivery_)) {
            ready.push_back(std::move(found->second));
            done_.erase(found);
            ++nextDelivery_;
        }
        generation = generation_;
    }
    if (ready.empty())
        return;
    wake_.notify_all();  // the window moved on
    for (const Done& done : ready) {
        if (generation_ != generation)
            break;  // the handler cancelled the rest
        if (handler_)
            handler_(done.requestId, done.seconds);
    }
}

}  // namespace velmora
