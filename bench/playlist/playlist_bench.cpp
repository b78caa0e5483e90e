// The playlist at 100,000 entries: adding, removing a 5,000-entry group,
// flattening the root, moving a group, Refresh, saving and loading the .pml,
// and applying 100,000 measurements.

#include "media/length_probe.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_model.h"
#include "playlist/playlist_row_view.h"
#include "settings/profile_document.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

using namespace velmora;

namespace {

// Keeps what it is sent, as a list widget would.
class StoringView : public PlaylistRowView {
public:
    std::vector<PlaylistRow> rows;
    void setRowCount(int count) override { rows.resize(static_cast<size_t>(count)); }
    void setRow(int row, const PlaylistRow& content) override { rows[static_cast<size_t>(row - 1)] = content; }
    void setRowColour(int row, std::uint32_t rgb) override { rows[static_cast<size_t>(row - 1)].colour = rgb; }
    void setScrollElements(const ScrollElements&) override {}
    ScrollGeometry scrollGeometry() const override { return {20, 300, 16}; }
    void setThumbTop(int) override {}
};

// Answers only when told, all at once.
class QueueProbe : public LengthProbe {
public:
    std::deque<std::uint64_t> queue;
    void setResultHandler(ResultHandler handler) override { handler_ = std::move(handler); }
    void request(std::uint64_t id, const QString&) override { queue.push_back(id); }
    void cancelAll() override { queue.clear(); }
    int outstanding() const override { return static_cast<int>(queue.size()); }
    void answerAll()
    {
        while (!queue.empty()) {
            const std::uint64_t id = queue.front();
            queue.pop_front();
            handler_(id, 180.5 + static_cast<double>(id % 100));
        }
    }

private:
    ResultHandler handler_;
};

constexpr int kGroups = 1000;
constexpr int kFilesPerGroup = 99;
constexpr int kGroupsPerShelf = 50;  // 50 groups of 100 entries: a 5,001-entry group

QString clipPath(int group, int file)
{
    return QStringLiteral("/home/user/Music/Artist %1/Album/%2 - Track title.mp3").arg(group).arg(file, 2, 10, QLatin1Char('0'));
}

// 1,000 groups of 99 files, in shelves of 50 groups; one add call per entry,
// with a view attached, as the command line or the add-files window does.
void fill(PlaylistModel& m)
{
    for (int g = 0; g < kGroups; ++g) {
        if (g % kGroupsPerShelf == 0)
            m.appendGroup(QStringLiteral("Shelf %1").arg(g / kGroupsPerShelf), 2, true, 0);
        m.appendGroup(QStringLiteral("Artist %1 - Album").arg(g), 4, true, 0);
        for (int f = 0; f < kFilesPerGroup; ++f)
            m.addPath(clipPath(g, f), AddOptions::at(5));
    }
}

struct Playlist {
    StoringView view;
    PlaylistModel model;
    Playlist()
    {
        model.setVisibleRows(20);
        model.setRowView(&view);
        model.setColours({0xffffff, 0xffcc00, 0x00ff00});
        fill(model);
        model.setCurrentIndex(model.playlistCount() / 2);
        model.setScrollOffset(model.playlistCount() / 2 - 5);
        model.refresh();
    }
};

void BM_AddAll(benchmark::State& state)
{
    for (auto _ : state) {
        StoringView view;
        PlaylistModel m;
        m.setVisibleRows(20);
        m.setRowView(&view);
        fill(m);
        benchmark::DoNotOptimize(m.playlistCount());
        state.PauseTiming();
        m.setRowView(nullptr);
        state.ResumeTiming();
    }
    state.counters["entries"] = kGroups * (kFilesPerGroup + 1) + kGroups / kGroupsPerShelf + 1;
}
BENCHMARK(BM_AddAll)->Unit(benchmark::kMillisecond);

void BM_RemoveShelfOf5001(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Playlist>();
        const int shelf = p->model.indexOf(p->model.entryId(2)) + 10 * (kGroupsPerShelf * (kFilesPerGroup + 1) + 1);
        if (p->model.subtreeEnd(shelf) - shelf != 5001)
            state.SkipWithError("not a 5,001-entry group");
        state.ResumeTiming();
        p->model.removeEntryWithSubtree(shelf);
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveShelfOf5001)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FlattenRoot(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Playlist>();
        state.ResumeTiming();
        p->model.flattenGroup(1);
        state.PauseTiming();
        if (p->model.playlistCount() != kGroups * kFilesPerGroup + 1)
            state.SkipWithError("flatten left groups");
        p.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FlattenRoot)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_MoveGroupPastSibling(benchmark::State& state)
{
    Playlist p;
    const int at = 2 + 10 * (kGroupsPerShelf * (kFilesPerGroup + 1) + 1) + 1;  // first group of shelf 10
    for (auto _ : state) {
        const std::optional<int> down = p.model.moveDown(at);
        const std::optional<int> up = p.model.moveUp(*down);
        benchmark::DoNotOptimize(up);
    }
    state.SetLabel("down and back up: two moves per iteration");
}
BENCHMARK(BM_MoveGroupPastSibling)->Unit(benchmark::kMicrosecond);

void BM_MoveShelfPastSibling(benchmark::State& state)
{
    Playlist p;
    for (auto _ : state) {
        const std::optional<int> down = p.model.moveDown(2);
        const std::optional<int> up = p.model.moveUp(*down);
        benchmark::DoNotOptimize(up);
    }
    state.SetLabel("5,001 entries past 5,001, down and back up");
}
BENCHMARK(BM_MoveShelfPastSibling)->Unit(benchmark::kMicrosecond);

void BM_RefreshWhole(benchmark::State& state)
{
    Playlist p;
    for (auto _ : state) {
        p.model.invalidateView();
        p.model.refresh();
    }
    state.SetLabel("every shown row rewritten");
}
BENCHMARK(BM_RefreshWhole)->Unit(benchmark::kMicrosecond);

void BM_RefreshAfterScroll(benchmark::State& state)
{
    Playlist p;
    int offset = p.model.scrollOffset();
    for (auto _ : state) {
        p.model.setScrollOffset(++offset % (p.model.playlistCount() - 20));
        p.model.refresh();
    }
    state.SetLabel("one row further each time");
}
BENCHMARK(BM_RefreshAfterScroll)->Unit(benchmark::kMicrosecond);

void BM_SavePml(benchmark::State& state)
{
    Playlist p;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.pml"));
    for (auto _ : state) {
        if (!savePlaylistFile(p.model, file))
            state.SkipWithError("save failed");
    }
    state.counters["entries"] = p.model.playlistCount() - 1;
}
BENCHMARK(BM_SavePml)->Unit(benchmark::kMillisecond);

void BM_LoadPml(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.pml"));
    {
        Playlist p;
        savePlaylistFile(p.model, file);
    }
    for (auto _ : state) {
        StoringView view;
        PlaylistModel m;
        m.setVisibleRows(20);
        m.setRowView(&view);
        m.addPath(file);
        if (m.playlistCount() != kGroups * (kFilesPerGroup + 1) + kGroups / kGroupsPerShelf + 2)
            state.SkipWithError("load lost entries");
        state.PauseTiming();
        m.setRowView(nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPml)->Unit(benchmark::kMillisecond);

void BM_Apply100000Measurements(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Playlist>();
        QueueProbe probe;
        p->model.setLengthProbe(&probe);
        int changes = 0;
        p->model.addChangeHandler([&](const PlaylistChange&) { ++changes; });
        state.ResumeTiming();
        // All on the UI thread: the sweep's requests and every answer landing.
        p->model.measurePendingDurations();
        probe.answerAll();
        state.PauseTiming();
        if (changes != kGroups * kFilesPerGroup || p->model.entry(1).time <= 0)
            state.SkipWithError("not every measurement landed");
        p->model.setLengthProbe(nullptr);
        p.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Apply100000Measurements)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

namespace {

// The parts of a load: parsing the file, and adding its entries.
void BM_ParsePmlOnly(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.pml"));
    {
        Playlist p;
        savePlaylistFile(p.model, file);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ProfileDocument::fromFile(file).sectionCount());
}
BENCHMARK(BM_ParsePmlOnly)->Unit(benchmark::kMillisecond);

void BM_AddAllInOneBatch(benchmark::State& state)
{
    for (auto _ : state) {
        StoringView view;
        PlaylistModel m;
        m.setVisibleRows(20);
        m.setRowView(&view);
        PlaylistModel::Batch batch(m);
        fill(m);
        benchmark::DoNotOptimize(m.playlistCount());
    }
}
BENCHMARK(BM_AddAllInOneBatch)->Unit(benchmark::kMillisecond);

}  // namespace
