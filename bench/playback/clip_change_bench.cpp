// The change from one clip to the next, as heard: marker clips (FLAC and MP3
// at 48 kHz) played in a row by the controller on the libmpv engine into a
// PulseAudio null sink that the bench starts, recorded from its monitor.
// Reports how much of each clip sounded (heard_ms_N, against 3000 ms), how
// many markers were heard (markers, against 2 per clip) and the longest
// silence between one clip and the next (silence_ms; median of 5 lists).
// Also a single clip ending the list and a clip with a picture followed by
// one without. Needs pulseaudio and parec (tools/bootstrap).

#include "media/marker_clips.h"
#include "media/null_sink.h"
#include "media/mpv_engine.h"
#include "playback/controller_fakes.h"
#include "playback/playback_controller.h"
#include "settings/settings.h"

#include "../media/bench_wait.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <memory>
#include <vector>

using namespace velmora;
using velmora::bench::runUntil;

namespace {

constexpr double kClipSeconds = 3;

test::NullSink& sink()
{
    static test::NullSink s;
    return s;
}

// The left channel of what the sink played (kept for a look when
// CLIP_CHANGE_BENCH_KEEP names a file).
std::vector<float> recorded()
{
    std::vector<float> left = sink().stopRecording();
    if (const QByteArray keep = qgetenv("CLIP_CHANGE_BENCH_KEEP"); !keep.isEmpty()) {
        QFile::remove(QString::fromLocal8Bit(keep));
        QFile::copy(sink().recordingFile(), QString::fromLocal8Bit(keep));
    }
    return left;
}

const QString& clipFolder()
{
    static QTemporaryDir folder;
    static const QString path = folder.path();
    return path;
}

QString clip(const char* name, const QStringList& codec, bool picture = false)
{
    const QString path = clipFolder() + QLatin1Char('/') + QLatin1String(name);
    if (!QFile::exists(path) && !test::makeMarkerClip(path, kClipSeconds, codec, picture))
        qFatal("ffmpeg could not make %s", name);
    return path;
}

QString flac(const char* name) { return clip(name, {QStringLiteral("-c:a"), QStringLiteral("flac")}); }

// Plays the list through the controller once, recording the sink.
test::MarkerAnalysis playList(const QStringList& paths, bool* ok)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    Settings settings(store);
    std::setlocale(LC_NUMERIC, "C");
    MpvEngineOptions options;
    options.videoOutput = QStringLiteral("null");
    options.audioOutput = QStringLiteral("pulse");
    MpvEngine engine(options);
    test::FakeClips clips;
    clips.root();
    for (const QString& path : paths)
        clips.entries.push_back({QFileInfo(path).fileName(), path, true, 1, ++clips.lastId});
    test::RecordingPanels panels;
    PlaybackController controller(engine, clips, settings, &panels);
    test::ControllerForwarder forward(controller);
    engine.setListener(&forward);
    bool idle = false;
    QObject::connect(&controller, &PlaybackController::wentIdle, [&] { idle = true; });

    if (!sink().startRecording()) {
        *ok = false;
        return {};
    }
    controller.OpenClip(2);
    *ok = runUntil([&] { return idle; }, int(paths.size() * kClipSeconds * 1000) + 10000);
    runUntil([] { return false; }, 500);  // what the sink still holds
    return test::analyseMarkers(recorded(), test::kMarkerRate);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void playRow(benchmark::State& state, const QStringList& paths, int lists)
{
    if (!sink().running()) {
        fprintf(stderr, "%s\n", qPrintable(sink().daemonLog()));
        state.SkipWithError("pulseaudio did not start");
        return;
    }
    std::vector<double> silences;
    std::vector<std::vector<double>> heard(size_t(paths.size()));
    int markers = 0;
    for (auto _ : state) {
        for (int run = 0; run < lists; ++run) {
            bool ok = false;
            const test::MarkerAnalysis found = playList(paths, &ok);
            if (!ok) {
                state.SkipWithError("the list did not end or the recording did not start");
                return;
            }
            for (size_t k = 0; k < found.clips.size() && k < heard.size(); ++k) {
                heard[k].push_back(1000 * found.clips[k].heard);
                markers += int(found.clips[k].startMarker) + int(found.clips[k].endMarker);
            }
            if (!found.silencesMs.empty())
                silences.push_back(*std::max_element(found.silencesMs.begin(), found.silencesMs.end()));
        }
    }
    for (size_t k = 0; k < heard.size(); ++k)
        state.counters["heard_ms_" + std::to_string(k + 1)] = median(heard[k]);
    state.counters["markers"] = double(markers) / lists;
    state.counters["markers_expected"] = 2.0 * double(paths.size());
    if (paths.size() > 1)
        state.counters["silence_ms"] = median(silences);
}

void BM_FlacPair(benchmark::State& state) { playRow(state, {flac("a.flac"), flac("b.flac")}, 5); }
BENCHMARK(BM_FlacPair)->Iterations(1)->Unit(benchmark::kSecond);

void BM_Mp3Pair(benchmark::State& state)
{
    const QStringList mp3{QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
                          QStringLiteral("192k")};
    playRow(state, {clip("a.mp3", mp3), clip("b.mp3", mp3)}, 5);
}
BENCHMARK(BM_Mp3Pair)->Iterations(1)->Unit(benchmark::kSecond);

void BM_LastClipOfList(benchmark::State& state) { playRow(state, {flac("a.flac")}, 3); }
BENCHMARK(BM_LastClipOfList)->Iterations(1)->Unit(benchmark::kSecond);

void BM_VideoThenAudio(benchmark::State& state)
{
    const QString video = clip("v.mkv", {QStringLiteral("-c:a"), QStringLiteral("flac")}, true);
    playRow(state, {video, flac("b.flac")}, 3);
}
BENCHMARK(BM_VideoThenAudio)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
