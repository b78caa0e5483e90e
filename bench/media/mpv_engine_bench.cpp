// The libmpv engine, headless: time from asking for a clip to its playing,
// time to answer a file that cannot be played, the CPU share while sound
// plays, and the largest event-loop gap on the UI thread while a clip plays
// and 10,000 lengths are measured.

#include "bench_wait.h"
#include "media/av_length_probe.h"
#include "media/media_clips.h"
#include "media/mpv_engine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <clocale>
#include <functional>
#include <memory>
#include <vector>

using namespace velmora;
using velmora::bench::runUntil;

namespace {

struct Listener : MediaEngineListener {
    std::function<void()> onOpen;
    std::function<void(double, double)> onChange;
    std::function<void()> onTick;
    void engineOpenComplete() override { if (onOpen) onOpen(); }
    void engineMovedOn() override {}
    void enginePositionChange(double a, double b) override { if (onChange) onChange(a, b); }
    void engineTick() override { if (onTick) onTick(); }
    void engineKeyPressed(int, int) override {}
};

const test::MediaClips& clips()
{
    static const std::unique_ptr<QTemporaryDir> folder = std::make_unique<QTemporaryDir>();
    static const test::MediaClips made = [] {
        test::MediaClips c;
        if (!test::makeMediaClips(folder->path(), &c))
            qFatal("ffmpeg could not make the clips");
        return c;
    }();
    return made;
}

std::unique_ptr<MpvEngine> headlessEngine()
{
    std::setlocale(LC_NUMERIC, "C");
    MpvEngineOptions options;
    options.videoOutput = QStringLiteral("null");
    options.audioOutput = QStringLiteral("null");
    return std::make_unique<MpvEngine>(options);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// setFileName -> open-complete -> run -> the position moves: the clip is heard.
void openToPlaying(benchmark::State& state, const QString& path)
{
    auto engine = headlessEngine();
    Listener listener;
    int opens = 0;
    listener.onOpen = [&] { ++opens; };
    engine->setListener(&listener);
    std::vector<double> openMs, playingMs;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const int before = opens;
        engine->setDisplaySize(2, 23);
        engine->setFileName(path);
        if (!runUntil([&] { return opens > before; }) || engine->fileName().isEmpty()) {
            state.SkipWithError("open failed");
            break;
        }
        openMs.push_back(timer.nsecsElapsed() / 1e6);
        engine->run();
        if (!runUntil([&] { return engine->position() > 0; })) {
            state.SkipWithError("did not play");
            break;
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        playingMs.push_back(ms);
        state.SetIterationTime(ms / 1000);
        engine->stop();
    }
    state.counters["open_complete_median_ms"] = median(openMs);
    state.counters["playing_median_ms"] = median(playingMs);
}

void BM_OpenMp3ToPlaying(benchmark::State& state) { openToPlaying(state, clips().toneMp3); }
void BM_OpenMp4ToPlaying(benchmark::State& state) { openToPlaying(state, clips().videoMp4); }
BENCHMARK(BM_OpenMp3ToPlaying)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMp4ToPlaying)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

void failedOpen(benchmark::State& state, const QString& path)
{
    auto engine = headlessEngine();
    Listener listener;
    int opens = 0;
    listener.onOpen = [&] { ++opens; };
    engine->setListener(&listener);
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const int before = opens;
        engine->setFileName(path);
        if (!runUntil([&] { return opens > before; }) || !engine->fileName().isEmpty()) {
            state.SkipWithError("not answered as failed");
            break;
        }
        ms.push_back(timer.nsecsElapsed() / 1e6);
        state.SetIterationTime(ms.back() / 1000);
    }
    state.counters["answer_median_ms"] = median(ms);
}

void BM_FailedOpenGarbage(benchmark::State& state) { failedOpen(state, clips().textAvi); }
void BM_FailedOpenEmpty(benchmark::State& state) { failedOpen(state, clips().emptyMp3); }
BENCHMARK(BM_FailedOpenGarbage)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FailedOpenEmpty)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Process CPU while a 20 s MP3 plays in real time (ticks every 200 ms).
void BM_CpuWhilePlayingAudio(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString song = folder.filePath(QStringLiteral("song.mp3"));
    if (!test::runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:d=20", "-ac", "2", "-b:a", "192k", song})) {
        state.SkipWithError("ffmpeg failed");
        return;
    }
    auto engine = headlessEngine();
    Listener listener;
    int opens = 0, ticks = 0;
    bool ended = false;
    listener.onOpen = [&] { ++opens; };
    listener.onTick = [&] { ++ticks; };
    listener.onChange = [&](double, double to) { ended = ended || to == 0; };
    engine->setListener(&listener);
    for (auto _ : state) {
        engine->setFileName(song);
        if (!runUntil([&] { return opens > 0; })) {
            state.SkipWithError("open failed");
            return;
        }
        engine->setPosition(5);  // skip the start-up; measure steady playing
        engine->run();
        runUntil([&] { return engine->position() > 5.5; });
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = cpuSeconds();
        const int ticks0 = ticks;
        runUntil([&] { return wall.elapsed() > 10000; }, 12000);
        const double share = (cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
        state.counters["cpu_percent"] = 100 * share;
        state.counters["ticks_per_s"] = (ticks - ticks0) / (wall.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_CpuWhilePlayingAudio)->Iterations(1)->Unit(benchmark::kSecond);

// A 5 ms timer on the UI thread while a clip plays and 10,000 clips are
// measured: the largest gap between its ticks.
void BM_UiGapWhileMeasuringAndPlaying(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString song = folder.filePath(QStringLiteral("song.mp3"));
    if (!test::runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:d=30", "-ac", "2", song})) {
        state.SkipWithError("ffmpeg failed");
        return;
    }
    QStringList paths;
    const QStringList kinds = {clips().toneMp3, clips().toneOgg, clips().toneWav, clips().vbrMp3};
    for (int i = 0; i < 10000; ++i) {
        const QString& from = kinds[i % kinds.size()];
        const QString to = folder.filePath(QStringLiteral("c%1.%2").arg(i).arg(from.section(QLatin1Char('.'), -1)));
        QFile::copy(from, to);
        paths << to;
    }
    auto engine = headlessEngine();
    Listener listener;
    int opens = 0;
    listener.onOpen = [&] { ++opens; };
    engine->setListener(&listener);
    for (auto _ : state) {
        engine->setFileName(song);
        runUntil([&] { return opens > 0; });
        engine->run();
        AvLengthProbe probe;
        int answers = 0;
        probe.setResultHandler([&](std::uint64_t, std::optional<double>) { ++answers; });
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(5);
        QElapsedTimer sinceLast;
        qint64 worstNs = 0;
        std::vector<double> gaps;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const qint64 gap = sinceLast.nsecsElapsed();
            sinceLast.restart();
            worstNs = std::max(worstNs, gap);
            gaps.push_back(gap / 1e6);
        });
        sinceLast.start();
        timer.start();
        // First the same timer with nothing else to do: what the machine
        // itself contributes to the gaps.
        QElapsedTimer idle;
        idle.start();
        runUntil([&] { return idle.elapsed() > 2000; }, 3000);
        std::sort(gaps.begin(), gaps.end());
        state.counters["idle_max_gap_ms"] = worstNs / 1e6;
        state.counters["idle_p99_gap_ms"] = gaps.empty() ? 0 : gaps[gaps.size() * 99 / 100];
        gaps.clear();
        worstNs = 0;
        QElapsedTimer all;
        all.start();
        QElapsedTimer requesting;
        requesting.start();
        for (int i = 0; i < paths.size(); ++i)
            probe.request(std::uint64_t(i), paths[i]);
        state.counters["request_10000_ms"] = requesting.nsecsElapsed() / 1e6;
        runUntil([&] { return answers == paths.size(); }, 60000);
        const double seconds = all.nsecsElapsed() / 1e9;
        timer.stop();
        std::sort(gaps.begin(), gaps.end());
        state.counters["max_gap_ms"] = worstNs / 1e6;
        state.counters["p99_gap_ms"] = gaps.empty() ? 0 : gaps[gaps.size() * 99 / 100];
        state.counters["files_per_s"] = answers / seconds;
        state.counters["still_playing"] = engine->state() == MediaEngine::kPlaying ? 1 : 0;
    }
}
BENCHMARK(BM_UiGapWhileMeasuringAndPlaying)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
