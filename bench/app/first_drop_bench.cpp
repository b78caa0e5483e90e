// The first clip dropped on a player started empty: from the drop on the
// playlist to the engine playing; and a clip on the command line: from the
// start of the application object to the engine playing. The first clip of
// a process is what is measured (the media module loads once per process),
// so each run is a child process of this program; the figure is the median
// of ten.
//
// Offscreen by default; the engine's outputs are null, so no sound device
// or X server is needed.

#include "app/velmora.h"
#include "media/media_engine.h"
#include "skin/playlist_form.h"
#include "skin/skin_list_view.h"
#include "skin/skinned_windows.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr char kChildClip[] = "VELMORA_FIRST_DROP_CLIP";
constexpr char kChildMode[] = "VELMORA_FIRST_DROP_MODE";  // "drop" or "command"
constexpr char kChildHover[] = "VELMORA_FIRST_DROP_HOVER_MS";  // drag time before the drop

// Runs in the child: one drop, its time printed as "drop_ms=<ms>".
void BM_FirstDropChild(benchmark::State& state)
{
    const QString clip = qEnvironmentVariable(kChildClip);
    if (clip.isEmpty()) {
        state.SkipWithError("run by BM_FirstDropToPlaying");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir home;
        QFile ini(home.filePath(QStringLiteral("settings.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Settings]\nPlaylistOpen=True\n");
        ini.close();
        velmora::Velmora::Options options;
        options.configFolder = home.path();
        options.programFolder = QStringLiteral(VELMORA_BUILD_DIR "/");
        options.media.moduleFile = QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so");
        options.media.engine.videoOutput = QStringLiteral("null");
        options.media.engine.audioOutput = QStringLiteral("null");
        velmora::Velmora app(options);
        if (qEnvironmentVariable(kChildMode) == QLatin1String("command")) {
            QElapsedTimer timer;
            timer.start();
            app.start(QLatin1Char('"') + clip + QLatin1Char('"'), nullptr);
            while (app.engine().state() != velmora::MediaEngine::kPlaying && timer.elapsed() < 20000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            std::printf("drop_ms=%.1f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            continue;
        }
        app.start(QString(), nullptr);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 1000)  // idle, as a user finds it
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

        QWidget* viewport = app.windows().playlistForm().list().viewport();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(clip)});
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        // The pointer travels over the list before the button is released.
        const int hoverMs = qEnvironmentVariableIntValue(kChildHover);
        QElapsedTimer hover;
        hover.start();
        while (hover.elapsed() < hoverMs) {
            QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &move);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 16);
        }
        QElapsedTimer timer;
        timer.start();
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        while (app.engine().state() != velmora::MediaEngine::kPlaying && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::printf("drop_ms=%.1f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
}
BENCHMARK(BM_FirstDropChild)->Iterations(1);

void measureChildren(benchmark::State& state, const char* mode, int hoverMs = 0)
{
    if (!qEnvironmentVariableIsEmpty(kChildClip)) {
        state.SkipWithError("the child measures only itself");
        return;
    }
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("tone.mp3"));
    QProcess::execute(QStringLiteral("ffmpeg"), {QStringLiteral("-loglevel"), QStringLiteral("error"),
                                                 QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                                 QStringLiteral("sine=frequency=440:duration=10"), clip});
    std::vector<double> ms;
    for (auto _ : state) {
        for (int run = 0; run < 10; ++run) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kChildClip), clip);
            // The desktop files a first start writes stay in the run's folders.
            env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
            env.insert(QString::fromLatin1(kChildMode), QString::fromLatin1(mode));
            env.insert(QString::fromLatin1(kChildHover), QString::number(hoverMs));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--benchmark_filter=BM_FirstDropChild")});
            child.waitForFinished(60000);
            const QByteArray out = child.readAllStandardOutput();
            const qsizetype at = out.indexOf("drop_ms=");
            if (at < 0) {
                state.SkipWithError("the child measured nothing");
                return;
            }
            ms.push_back(out.mid(at + 8, out.indexOf('\n', at) - at - 8).toDouble());
        }
    }
    std::sort(ms.begin(), ms.end());
    state.counters["min_ms"] = ms.front();
    state.counters["median_ms"] = (ms[4] + ms[5]) / 2;
    state.counters["max_ms"] = ms.back();
}
// Dropped at once (the drag enters and ends in the same moment), and after
// the quarter second a drag over the list takes at the least.
void BM_FirstDropToPlaying(benchmark::State& state) { measureChildren(state, "drop"); }
BENCHMARK(BM_FirstDropToPlaying)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FirstDropAfterDragToPlaying(benchmark::State& state) { measureChildren(state, "drop", 250); }
BENCHMARK(BM_FirstDropAfterDragToPlaying)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CommandLineClipToPlaying(benchmark::State& state) { measureChildren(state, "command"); }
BENCHMARK(BM_CommandLineClipToPlaying)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
