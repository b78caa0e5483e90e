// Length measuring: 2,000 short generated clips (MP3, Ogg Vorbis, WAV) in
// files per second through the pool and on one thread, checked against a
// full libavformat probe (open + avformat_find_stream_info) in whole
// seconds; ffprobe once per file on a sample for scale; and the lengths of
// VBR MP3 files without a Xing header against their true lengths.

#include "bench_wait.h"
#include "base/rounding.h"
#include "media/av_length_probe.h"
#include "media/media_clips.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

using namespace velmora;

namespace {

constexpr int kFiles = 2000;

struct ClipSet {
    std::unique_ptr<QTemporaryDir> folder = std::make_unique<QTemporaryDir>();
    QStringList paths;
};

// 10 lengths x 3 formats made with ffmpeg, copied to 2,000 files.
const ClipSet& clipSet()
{
    static const ClipSet set = [] {
        ClipSet s;
        QStringList templates;
        const QStringList formats = {QStringLiteral("mp3"), QStringLiteral("ogg"), QStringLiteral("wav")};
        for (int seconds = 1; seconds <= 10; ++seconds) {
            for (const QString& format : formats) {
                const QString path = s.folder->filePath(QStringLiteral("t%1.%2").arg(seconds).arg(format));
                const QString source = QStringLiteral("sine=f=%1:d=%2.%3").arg(200 + 50 * seconds).arg(seconds).arg(seconds % 2 ? 3 : 7);
                if (!test::runFfmpeg({"-f", "lavfi", "-i", source, path}))
                    qFatal("ffmpeg could not make the clips");
                templates << path;
            }
        }
        const QString dir = s.folder->filePath(QStringLiteral("set"));
        QDir().mkpath(dir);
        for (int i = 0; i < kFiles; ++i) {
            const QString& from = templates[i % templates.size()];
            const QString to = dir + QStringLiteral("/clip%1.%2").arg(i, 4, 10, QLatin1Char('0')).arg(from.section(QLatin1Char('.'), -1));
            QFile::copy(from, to);
            s.paths << to;
        }
        return s;
    }();
    return set;
}

// What a full probe says: open with probing, read the stream information.
std::optional<double> fullProbe(const QString& path)
{
    AVFormatContext* ctx = nullptr;
    if (avformat_open_input(&ctx, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::optional<double> seconds;
    if (avformat_find_stream_info(ctx, nullptr) >= 0 && ctx->duration != AV_NOPTS_VALUE && ctx->duration > 0)
        seconds = double(ctx->duration) / AV_TIME_BASE;
    avformat_close_input(&ctx);
    return seconds;
}

bool sameWholeSeconds(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return roundHalfEven(*a) == roundHalfEven(*b);
}

void BM_LengthScanPool(benchmark::State& state)
{
    const ClipSet& set = clipSet();
    AvLengthProbe::Options options;
    options.threads = int(state.range(0));
    AvLengthProbe probe(options);
    std::vector<std::optional<double>> lengths(kFiles);
    int answers = 0;
    probe.setResultHandler([&](std::uint64_t id, std::optional<double> s) {
        lengths[id] = s;
        ++answers;
    });
    double bestRate = 0;
    for (auto _ : state) {
        answers = 0;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kFiles; ++i)
            probe.request(std::uint64_t(i), set.paths[i]);
        bench::runUntil([&] { return answers == kFiles; }, 120000);
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        bestRate = std::max(bestRate, kFiles / seconds);
    }
    state.counters["files_per_s"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["best_files_per_s"] = bestRate;
    int mismatches = 0;
    for (int i = 0; i < kFiles; ++i)
        mismatches += sameWholeSeconds(lengths[i], fullProbe(set.paths[i])) ? 0 : 1;
    state.counters["differ_from_full_probe"] = mismatches;
}
BENCHMARK(BM_LengthScanPool)->Arg(2)->Arg(1)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FullProbeOneThread(benchmark::State& state)
{
    const ClipSet& set = clipSet();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fullProbe(set.paths[i++ % kFiles]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FullProbeOneThread)->Iterations(2000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The fast path alone on the calling thread.
void BM_ReaderOneThread(benchmark::State& state)
{
    const ClipSet& set = clipSet();
    const ClipLengthReader reader;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.measure(set.paths[i++ % kFiles]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReaderOneThread)->Iterations(20000)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_FfprobePerFile(benchmark::State& state)
{
    const ClipSet& set = clipSet();
    int i = 0, mismatches = 0;
    const ClipLengthReader reader;
    for (auto _ : state) {
        const QString& path = set.paths[(i++ * 37) % kFiles];
        QProcess ffprobe;
        ffprobe.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path});
        ffprobe.waitForFinished();
        bool ok = false;
        const double seconds = ffprobe.readAllStandardOutput().trimmed().toDouble(&ok);
        state.PauseTiming();
        mismatches += sameWholeSeconds(ok ? std::optional<double>(seconds) : std::nullopt, reader.measure(path).seconds) ? 0 : 1;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["differ_from_ours"] = mismatches;
}
BENCHMARK(BM_FfprobePerFile)->Iterations(40)->UseRealTime()->Unit(benchmark::kMillisecond);

// VBR MP3 without a Xing header: ours against the true length (the frames
// counted) and against what a full probe estimates from the bit rate.
void BM_VbrAccuracy(benchmark::State& state)
{
    QTemporaryDir folder;
    struct File {
        QString path;
        double truth;
    };
    std::vector<File> files;
    for (int quiet : {1, 5, 20}) {
        for (int loud : {5, 60}) {
            const QString path = folder.filePath(QStringLiteral("vbr-%1-%2.mp3").arg(quiet).arg(loud));
            if (!test::runFfmpeg({"-f", "lavfi", "-i", QStringLiteral("anullsrc=r=44100:cl=stereo:d=%1").arg(quiet),
                                  "-f", "lavfi", "-i", QStringLiteral("anoisesrc=d=%1:a=0.5:r=44100").arg(loud),
                                  "-filter_complex", "[1]aformat=channel_layouts=stereo[n];[0][n]concat=n=2:v=0:a=1",
                                  "-c:a", "libmp3lame", "-q:a", "0", "-write_xing", "0", path})) {
                state.SkipWithError("ffmpeg failed");
                return;
            }
            files.push_back({path, double(quiet + loud)});
        }
    }
    const ClipLengthReader reader;
    double worstOurs = 0, worstFull = 0;
    for (auto _ : state) {
        for (const File& f : files) {
            const auto ours = reader.measure(f.path).seconds;
            const auto full = fullProbe(f.path);
            worstOurs = std::max(worstOurs, ours ? std::abs(*ours - f.truth) : 1e9);
            worstFull = std::max(worstFull, full ? std::abs(*full - f.truth) / f.truth : 1e9);
        }
    }
    state.counters["ours_worst_error_s"] = worstOurs;
    state.counters["full_probe_worst_error_percent"] = 100 * worstFull;
}
BENCHMARK(BM_VbrAccuracy)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
