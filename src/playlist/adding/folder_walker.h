#pragma once
// FolderWalker: adds files, folders and folder trees to the playlist without
// ever reading the disk on the UI thread.
//
// Purpose: a tree of tens of thousands of files must not freeze the windows.
// Each request (a list of AddSource) is read by one worker thread with
// FolderWalk; the items reach the sink on the UI thread, in table order, a
// chunk at a time: each turn of the UI event loop hands over at most
// Options::chunkItems items per chunk and stops after Options::sliceBudget,
// so timers and input run between chunks.
//
// Requests are handled one after another in the order they were made: the
// items of one request are never mixed with those of another, so a tree
// stays whole in the table even when the user adds more while it is read.
//
// Threading and lifetime: create, call and destroy on the UI thread. The
// sink (and whatever the callbacks use) must outlive its requests or be
// cancelled first, not from inside one of its own calls. The destructor
// (and shutdown(), which the program calls when it closes) cancels every
// request and waits for the worker to leave the folder it is reading; no
// callback runs afterwards.

#include "playlist/adding/file_filter.h"
#include "playlist/adding/folder_reader.h"
#include "playlist/adding/folder_tree_sink.h"
#include "playlist/adding/folder_walk.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace velmora {

class FolderWalker : public QObject {
    Q_OBJECT
public:
    struct Options {
        int chunkItems = 256;                         // most items in one chunk
        std::chrono::microseconds sliceBudget{5000};  // UI time per event-loop turn
        std::size_t maxBuffered = 16384;              // read but undelivered items before the worker waits
        int workerNice = 10;                          // the worker yields the processor to the UI
        std::shared_ptr<FolderReader> reader;         // null: the disk
    };
    struct Callbacks {
        // Right before the request's first item reaches the sink (never when
        // it yields nothing): the moment to note whether the playlist is empty.
        std::function<void()> started;
        // After its last item (also when it yielded nothing), with the
        // number of entries the sink reported added.
        std::function<void(int added)> finished;
        // A CommandToken source named neither a file nor a folder (in table
        // order with the items, before finished).
        std::function<void(const QString& path)> unresolved = {};
    };
    using RequestId = std::uint64_t;

    explicit FolderWalker(QObject* parent = nullptr);
    explicit FolderWalker(Options options, QObject* parent = nullptr);
    ~FolderWalker() override;

    // Queues a request; returns at once. The items of sources go to sink in
    // order, then callbacks.finished runs. Ids start at 1.
    RequestId add(std::vector<AddSource> sources, const FileFilter& filter, FolderTreeSink& sink,
                  Callbacks callbacks);
    RequestId add(std::vector<AddSource> sources, const FileFilter& filter, FolderTreeSink& sink)
    {
        return add(std::move(sources), filter, sink, Callbacks{});
    }
    // Drops the request: nothing more reaches its sink, no callback runs.
    // Items already delivered stay. Unknown or finished ids are ignored.
    void cancel(RequestId id);
    void cancelAll();
    // Cancels everything and stops the worker; later add() calls are ignored
    // (they return 0). For the program's close.
    void shutdown();

    // True while some request has not finished.
    bool busy() const { return !active_.empty(); }

private:
    struct Job {
        RequestId id;
        std::vector<AddSource> sources;
        FileFilter filter;
    };
    struct Item {
        RequestId request;
        bool end;  // the request's last item, carries nothing
        WalkItem walk;
    };
    using Batch = std::vector<Item>;  // what the worker hands over at once
    struct Active {
        FolderTreeSink* sink;
        Callbacks callbacks;
        bool started = false;
        int added = 0;
    };

    void workerLoop();
    bool jobCancelled(RequestId id);
    // Worker side: hands a batch over, waiting while the buffer is full.
    void push(RequestId id, Batch& batch);
    void postDrain();
    // UI side: one turn's share of the buffered items.
    void drain();
    // Moves handed-over batches to the UI's own queue; false when the worker
    // holds the lock (the UI never waits for it).
    bool takeBatches();
    void deliver(std::vector<Item>& items);

    Options options_;
    std::shared_ptr<FolderReader> reader_;

    // Shared with the worker, guarded by mutex_. Critical sections are a
    // few pointer moves long.
    std::mutex mutex_;
    std::condition_variable wakeWorker_;  // a job arrived, or stop
    std::condition_variable room_;        // the buffer has room, or cancel/stop
    std::deque<Job> jobs_;
    std::deque<Batch> handedOver_;
    std::size_t handedOverItems_ = 0;
    RequestId workingOn_ = 0;                  // the job the worker reads now, 0 for none
    std::unordered_set<RequestId> cancelled_;  // only ever holds workingOn_
    bool stop_ = false;
    // Lock-free: a drain() is queued on the UI thread, or items wait.
    std::atomic<bool> drainPosted_{false};
    std::atomic<std::size_t> waiting_{0};

    // UI thread only.
    std::deque<Item> taken_;  // handed over, not yet delivered
    std::unordered_map<RequestId, Active> active_;
    RequestId nextId_ = 1;
    bool draining_ = false;
    bool stopped_ = false;
    FolderTreeSink* openSink_ = nullptr;  // beginChunk() called, endChunk() due

    std::thread worker_;
};

}  // namespace velmora
