// The list kept for the next start at 100,000 entries (100 groups of 1,000
// clips): what Close adds (writing last.pml) and what the start adds
// (reading it back into the empty playlist).

#include "playlist/playlist_file.h"
#include "playlist/playlist_model.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace velmora;

namespace {

constexpr int kGroups = 100;
constexpr int kClipsPerGroup = 1000;

void fill(PlaylistModel& model, const QString& music)
{
    PlaylistModel::Batch batch(model);
    for (int g = 0; g < kGroups; ++g) {
        model.appendGroup(QStringLiteral("Album %1").arg(g), 2, g % 7 != 0, 0);
        for (int i = 0; i < kClipsPerGroup; ++i)
            model.addPath(QStringLiteral("%1/album %2/%3 - track %4.mp3").arg(music).arg(g).arg(i % 12).arg(i),
                          AddOptions::at(3).withChecked(i % 5 != 0));
    }
}

struct Setting {
    QTemporaryDir dir;
    QString music = dir.filePath(QStringLiteral("Music"));
    QString last = dir.filePath(QStringLiteral(".config/Velmora 4/last.pml"));
    PlaylistModel list;
    Setting()
    {
        QDir().mkpath(QFileInfo(last).path());
        fill(list, music);
    }
};

Setting& setting()
{
    static Setting s;
    return s;
}

void BM_SaveListAtClose100k(benchmark::State& state)
{
    Setting& s = setting();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveListToRestore(s.list, s.last, {50000, 123.5}));
    state.counters["entries"] = s.list.playlistCount();
    state.counters["bytes"] = static_cast<double>(QFileInfo(s.last).size());
}
BENCHMARK(BM_SaveListAtClose100k)->Unit(benchmark::kMillisecond);

void BM_RestoreListAtStart100k(benchmark::State& state)
{
    Setting& s = setting();
    saveListToRestore(s.list, s.last, {50000, 123.5});
    int entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<PlaylistModel>();
        state.ResumeTiming();
        const ListPlace place = restoreList(*model, s.last);
        benchmark::DoNotOptimize(place);
        entries = model->playlistCount();
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.counters["entries"] = entries;
}
BENCHMARK(BM_RestoreListAtStart100k)->Unit(benchmark::kMillisecond);

}  // namespace
