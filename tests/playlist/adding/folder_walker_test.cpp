// FolderWalker: requests read on the worker thread reach the sink on the UI
// thread whole, in order, in chunks; cancelling and closing stop them.

#include "adding_fakes.h"

#include "playlist/adding/folder_walker.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using namespace std::chrono_literals;

namespace {

class FolderWalkerTest : public ::testing::Test {
protected:
    QString path(const QString& rel) const { return dir_.path() + QLatin1Char('/') + rel; }

    FolderWalker::Options options(int chunk = 256)
    {
        FolderWalker::Options o;
        o.chunkItems = chunk;
        o.reader = reader_;
        return o;
    }

    // The same sources walked synchronously: what the sink must receive.
    std::vector<Recorded> expected(const std::vector<AddSource>& sources)
    {
        std::vector<Recorded> out;
        FolderWalk walk(*reader_, FileFilter{}, [&out](WalkItem&& item) {
            const bool g = item.kind == WalkItem::Kind::Group;
            out.push_back({g, item.text, item.deep, g ? kFolderGroupTime : 0});
        });
        for (const AddSource& s : sources)
            walk.run(s);
        return out;
    }

    QTemporaryDir dir_;
    std::shared_ptr<FaultyReader> reader_ = std::make_shared<FaultyReader>();
};

TEST_F(FolderWalkerTest, TwentyThousandFileTreeArrivesCompleteInChunks)
{
    makeWideTree(path("Big"), 200, 100);
    FolderWalker walker(options(256));
    RecordingSink sink;
    int finishedCalls = 0, added = -1;
    const std::vector<AddSource> sources{{AddSource::Kind::FolderTree, path("Big"), 1}};
    walker.add(sources, FileFilter{}, sink, {{}, [&](int n) { ++finishedCalls, added = n; }});
    ASSERT_TRUE(waitFor([&] { return finishedCalls > 0; }, 30s));
    EXPECT_FALSE(walker.busy());
    EXPECT_EQ(finishedCalls, 1);
    EXPECT_EQ(added, 20201);
    ASSERT_EQ(sink.items.size(), 20201u);
    EXPECT_TRUE(sink.items == expected(sources));
    EXPECT_FALSE(sink.misnested);
    EXPECT_FALSE(sink.chunkOpen);
    EXPECT_LE(sink.largestChunk, 256);
    EXPECT_GE(sink.chunks, 20201 / 256);
}

TEST_F(FolderWalkerTest, EventsRunBetweenChunks)
{
    makeWideTree(path("T"), 4, 50);
    FolderWalker::Options o = options(10);
    o.sliceBudget = 0us;  // one chunk per turn of the event loop
    FolderWalker walker(o);
    RecordingSink sink;
    int ticks = 0, chunksSeenByTimer = 0, lastChunks = -1;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (sink.chunks != lastChunks)
            ++chunksSeenByTimer, lastChunks = sink.chunks;
    });
    timer.start();
    bool done = false;
    walker.add({{AddSource::Kind::FolderTree, path("T"), 1}}, FileFilter{}, sink, {{}, [&](int) { done = true; }});
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_EQ(sink.items.size(), 205u);
    EXPECT_LE(sink.largestChunk, 10);
    // The timer saw the chunk count move many times: chunks did not come in one go.
    EXPECT_GE(chunksSeenByTimer, sink.chunks / 2);
}

TEST_F(FolderWalkerTest, RequestsFollowOneAnotherWhole)
{
    makeWideTree(path("A"), 5, 20);
    touch(path("single.mp3"));
    touch(path("Drop/x.mp3"));
    touch(path("Drop/Sub/ignored.mp3"));
    reader_->setDelay(5ms);  // the tree takes a while; the later requests wait for it
    FolderWalker walker(options(16));
    RecordingSink sink;
    std::vector<int> finishedOrder;
    walker.add({{AddSource::Kind::FolderTree, path("A"), 1}}, FileFilter{}, sink,
               {{}, [&](int) { finishedOrder.push_back(1); }});
    walker.add({{AddSource::Kind::File, path("single.mp3"), 1}}, FileFilter{}, sink,
               {{}, [&](int) { finishedOrder.push_back(2); }});
    walker.add({{AddSource::Kind::FileOrFolder, path("Drop"), 1}, {AddSource::Kind::FileOrFolder, path("single.mp3"), 1}},
               FileFilter{}, sink, {{}, [&](int) { finishedOrder.push_back(3); }});
    ASSERT_TRUE(waitFor([&] { return finishedOrder.size() == 3; }));
    EXPECT_EQ(finishedOrder, (std::vector<int>{1, 2, 3}));
    std::vector<Recorded> want = expected({{AddSource::Kind::FolderTree, path("A"), 1}});
    want.push_back(file(path("single.mp3"), 1));
    want.push_back(file(path("Drop/x.mp3"), 1));
    want.push_back(file(path("single.mp3"), 1));
    EXPECT_TRUE(sink.items == want);
}

TEST_F(FolderWalkerTest, StartedComesBeforeTheFirstItemAndNotForNothing)
{
    touch(path("F/a.mp3"));
    QDir().mkpath(path("Empty"));
    FolderWalker walker(options());
    RecordingSink sink;
    std::vector<std::pair<QString, std::size_t>> calls;  // callback, items seen at that moment
    auto callbacks = [&](const QString& name) {
        return FolderWalker::Callbacks{[&, name] { calls.push_back({name + ".started", sink.items.size()}); },
                                       [&, name](int n) {
                                           calls.push_back({name + ".finished" + QString::number(n), sink.items.size()});
                                       }};
    };
    walker.add({{AddSource::Kind::FolderFiles, path("Empty"), 1}}, FileFilter{}, sink, callbacks("empty"));
    walker.add({{AddSource::Kind::FolderTree, path("missing"), 1}}, FileFilter{}, sink, callbacks("missing"));
    walker.add({{AddSource::Kind::FolderTree, path("F"), 1}}, FileFilter{}, sink, callbacks("tree"));
    ASSERT_TRUE(waitFor([&] { return !walker.busy(); }));
    const std::vector<std::pair<QString, std::size_t>> want{
        {"empty.finished0", 0}, {"missing.finished0", 0}, {"tree.started", 0}, {"tree.finished2", 2}};
    EXPECT_EQ(calls, want);
}

TEST_F(FolderWalkerTest, CancelStopsOneRequestAndTheNextStillRuns)
{
    makeWideTree(path("Slow"), 50, 2);
    touch(path("after.mp3"));
    reader_->setDelay(10ms);
    FolderWalker walker(options(4));
    RecordingSink sink;
    bool cancelledFinished = false, nextFinished = false;
    const auto slow = walker.add({{AddSource::Kind::FolderTree, path("Slow"), 1}}, FileFilter{}, sink,
                                 {{}, [&](int) { cancelledFinished = true; }});
    walker.add({{AddSource::Kind::File, path("after.mp3"), 1}}, FileFilter{}, sink, {{}, [&](int) { nextFinished = true; }});
    ASSERT_TRUE(waitFor([&] { return sink.items.size() >= 3; }));
    walker.cancel(slow);
    const std::size_t atCancel = sink.items.size();
    ASSERT_TRUE(waitFor([&] { return nextFinished; }));
    EXPECT_FALSE(cancelledFinished);
    ASSERT_EQ(sink.items.size(), atCancel + 1);
    EXPECT_EQ(sink.items.back(), file(path("after.mp3"), 1));
    EXPECT_LT(reader_->reads(), 40);  // the walk stopped reading too
}

TEST_F(FolderWalkerTest, SinkThatLetsEventsRunStillGetsItemsInOrder)
{
    makeWideTree(path("R"), 10, 30);
    FolderWalker walker(options(8));
    RecordingSink sink;
    sink.afterItem = [] { QCoreApplication::processEvents(); };  // a nested wait inside the add path
    bool done = false;
    const std::vector<AddSource> sources{{AddSource::Kind::FolderTree, path("R"), 1}};
    walker.add(sources, FileFilter{}, sink, {{}, [&](int) { done = true; }});
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_TRUE(sink.items == expected(sources));
    EXPECT_FALSE(sink.misnested);
}

TEST_F(FolderWalkerTest, ClosingWhileReadingEndsPromptlyWithoutCallbacks)
{
    makeWideTree(path("Long"), 100, 1);
    reader_->setDelay(20ms);  // two seconds of reading in all
    RecordingSink sink;
    bool finished = false;
    {
        FolderWalker walker(options());
        walker.add({{AddSource::Kind::FolderTree, path("Long"), 1}}, FileFilter{}, sink, {{}, [&](int) { finished = true; }});
        ASSERT_TRUE(waitFor([&] { return !sink.items.empty(); }));
        walker.shutdown();
        EXPECT_EQ(walker.add({{AddSource::Kind::File, path("x"), 1}}, FileFilter{}, sink), 0u);
        const std::size_t atShutdown = sink.items.size();
        QCoreApplication::processEvents();
        EXPECT_EQ(sink.items.size(), atShutdown);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(finished);
    EXPECT_LT(reader_->reads(), 100);
}

TEST_F(FolderWalkerTest, FullBufferHoldsTheReaderBack)
{
    makeWideTree(path("W"), 20, 50);
    FolderWalker::Options o = options(64);
    o.maxBuffered = 64;
    FolderWalker walker(o);
    RecordingSink sink;
    bool done = false;
    const std::vector<AddSource> sources{{AddSource::Kind::FolderTree, path("W"), 1}};
    walker.add(sources, FileFilter{}, sink, {{}, [&](int) { done = true; }});
    // Without the UI turning, the worker stops once the buffer is full
    // (two folders' worth of items).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (reader_->reads() < 2 && std::chrono::steady_clock::now() < deadline)
        QThread::msleep(1);
    ASSERT_GE(reader_->reads(), 2) << "the worker reads";
    QThread::msleep(100);
    EXPECT_LT(reader_->reads(), 21);
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_TRUE(sink.items == expected(sources));
}

}  // namespace
