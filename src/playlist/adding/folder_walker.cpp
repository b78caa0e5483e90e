#include "playlist/adding/folder_walker.h"

#include "playlist/adding/adding_log.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace velmora {

namespace {
// Items the worker collects before taking the lock to hand them over.
constexpr std::size_t kHandOver = 64;
}  // namespace

FolderWalker::FolderWalker(QObject* parent) : FolderWalker(Options{}, parent) {}

FolderWalker::FolderWalker(Options options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      reader_(options_.reader ? options_.reader : std::make_shared<DiskFolderReader>())
{
    options_.chunkItems = std::max(1, options_.chunkItems);
    options_.maxBuffered = std::max<std::size_t>(kHandOver, options_.maxBuffered);
    worker_ = std::thread([this] { workerLoop(); });
}

FolderWalker::~FolderWalker()
{
    shutdown();
}

FolderWalker::RequestId FolderWalker::add(std::vector<AddSource> sources, const FileFilter& filter,
                                          FolderTreeSink& sink, Callbacks callbacks)
{
    if (stopped_)
        return 0;
    const RequestId id = nextId_++;
    active_.emplace(id, Active{&sink, std::move(callbacks)});
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({id, std::move(sources), filter});
    }
    wakeWorker_.notify_one();
    return id;
}

void FolderWalker::cancel(RequestId id)
{
    if (active_.erase(id) == 0)
        return;
    // What the UI already took is dropped at delivery (no active request).
    {
        std::lock_guard lock(mutex_);
        const auto job = std::find_if(jobs_.begin(), jobs_.end(), [id](const Job& j) { return j.id == id; });
        if (job != jobs_.end())
            jobs_.erase(job);
        else if (workingOn_ == id)
            cancelled_.insert(id);
        for (Batch& batch : handedOver_) {
            const auto erased = static_cast<std::size_t>(
                std::erase_if(batch, [id](const Item& item) { return item.request == id; }));
            handedOverItems_ -= erased;
            waiting_ -= erased;
        }
        std::erase_if(handedOver_, [](const Batch& batch) { return batch.empty(); });
    }
    room_.notify_all();
}

void FolderWalker::cancelAll()
{
    std::vector<RequestId> ids;
    ids.reserve(active_.size());
    for (const auto& [id, active] : active_)
        ids.push_back(id);
    for (RequestId id : ids)
        cancel(id);
}

void FolderWalker::shutdown()
{
    if (stopped_)
        return;
    stopped_ = true;
    active_.clear();
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        jobs_.clear();
        handedOver_.clear();
        handedOverItems_ = 0;
    }
    taken_.clear();
    waiting_ = 0;
    wakeWorker_.notify_all();
    room_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

// --- Worker thread -----------------------------------------------------------

bool FolderWalker::jobCancelled(RequestId id)
{
    std::lock_guard lock(mutex_);
    return stop_ || cancelled_.contains(id);
}

void FolderWalker::workerLoop()
{
    // Reading and sorting are background work: under load the UI thread
    // must win the processor, or its event loop stalls.
    if (options_.workerNice > 0) {
        const auto self = static_cast<id_t>(::gettid());
        errno = 0;
        const int nice = ::getpriority(PRIO_PROCESS, self);
        if (errno == 0 && ::setpriority(PRIO_PROCESS, self, std::min(19, nice + options_.workerNice)) != 0)
            qCDebug(lcAdding) << "worker priority unchanged";
    }
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wakeWorker_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
            if (stop_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            workingOn_ = job.id;
        }
        Batch pending;
        pending.reserve(kHandOver);
        const RequestId id = job.id;
        FolderWalk walk(
            *reader_, job.filter,
            [&](WalkItem&& item) {
                pending.push_back({id, false, std::move(item)});
                if (pending.size() >= kHandOver)
                    push(id, pending);
            },
            [&] {
                push(id, pending);  // what one folder gave goes out before the next is read
                return jobCancelled(id);
            });
        for (const AddSource& source : job.sources) {
            if (jobCancelled(id))
                break;
            walk.run(source);
        }
        pending.push_back({id, true, {}});
        push(id, pending);
        {
            std::lock_guard lock(mutex_);
            workingOn_ = 0;
            cancelled_.erase(id);
        }
    }
}

void FolderWalker::push(RequestId id, Batch& batch)
{
    if (batch.empty())
        return;
    const std::size_t n = batch.size();
    {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [&] {
            return stop_ || cancelled_.contains(id) || handedOverItems_ + n <= options_.maxBuffered;
        });
        if (stop_ || cancelled_.contains(id)) {
            batch.clear();
            return;
        }
        handedOver_.push_back(std::move(batch));
        handedOverItems_ += n;
        waiting_ += n;
    }
    batch = Batch();
    batch.reserve(kHandOver);
    if (!drainPosted_.exchange(true))
        postDrain();
}

void FolderWalker::postDrain()
{
    // Queued: runs on the UI thread at its next turn; dropped with this object.
    QMetaObject::invokeMethod(this, &FolderWalker::drain, Qt::QueuedConnection);
}

// --- UI thread ---------------------------------------------------------------

bool FolderWalker::takeBatches()
{
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    const auto want = static_cast<std::size_t>(options_.chunkItems);
    while (!handedOver_.empty() && taken_.size() < want) {
        Batch& batch = handedOver_.front();
        handedOverItems_ -= batch.size();
        std::move(batch.begin(), batch.end(), std::back_inserter(taken_));
        handedOver_.pop_front();
    }
    lock.unlock();
    room_.notify_all();
    return true;
}

void FolderWalker::drain()
{
    drainPosted_ = false;  // this call is the posted one; the worker may post anew
    // A sink or callback that lets events run must not start a second drain
    // inside this one (items would be handed over out of order); the outer
    // one posts again when it ends.
    if (draining_ || stopped_)
        return;
    draining_ = true;
    const auto start = std::chrono::steady_clock::now();
    const auto chunk = static_cast<std::size_t>(options_.chunkItems);
    std::vector<Item> items;
    items.reserve(chunk);
    for (;;) {
        if (taken_.size() < chunk && !takeBatches() && taken_.empty())
            break;  // the worker holds the lock just now: try at the next turn
        if (taken_.empty())
            break;
        const std::size_t n = std::min(chunk, taken_.size());
        std::move(taken_.begin(), taken_.begin() + static_cast<std::ptrdiff_t>(n), std::back_inserter(items));
        taken_.erase(taken_.begin(), taken_.begin() + static_cast<std::ptrdiff_t>(n));
        waiting_ -= n;
        deliver(items);
        items.clear();
        if (stopped_ || std::chrono::steady_clock::now() - start >= options_.sliceBudget)
            break;
    }
    draining_ = false;
    if (!stopped_ && waiting_ > 0 && !drainPosted_.exchange(true))
        postDrain();  // the rest at the next turn, after timers and input
}

void FolderWalker::deliver(std::vector<Item>& items)
{
    auto closeChunk = [this] {
        if (openSink_) {
            FolderTreeSink* sink = openSink_;
            openSink_ = nullptr;
            sink->endChunk();
        }
    };
    for (Item& item : items) {
        auto it = active_.find(item.request);
        if (it == active_.end())
            continue;  // cancelled
        if (item.end) {
            closeChunk();
            auto finished = std::move(it->second.callbacks.finished);
            const int added = it->second.added;
            active_.erase(it);
            if (finished)
                finished(added);
            continue;
        }
        if (item.walk.kind == WalkItem::Kind::Unresolved) {
            closeChunk();
            if (auto unresolved = it->second.callbacks.unresolved)
                unresolved(item.walk.text);
            continue;
        }
        if (!it->second.started) {
            it->second.started = true;
            if (openSink_ != it->second.sink)
                closeChunk();
            if (it->second.callbacks.started) {
                auto started = it->second.callbacks.started;
                started();
                it = active_.find(item.request);
                if (it == active_.end())
                    continue;  // cancelled by its own callback
            }
        }
        FolderTreeSink* sink = it->second.sink;
        if (openSink_ != sink) {
            closeChunk();
            openSink_ = sink;
            sink->beginChunk();
        }
        const bool group = item.walk.kind == WalkItem::Kind::Group;
        const int added = group ? sink->appendGroup(item.walk.text, item.walk.deep, kFolderGroupTime)
                                : sink->addPath(item.walk.text, item.walk.deep);
        it = active_.find(item.request);  // the sink may have cancelled
        if (it != active_.end())
            it->second.added += added;
        if (stopped_)
            break;
    }
    closeChunk();
}

}  // namespace velmora
