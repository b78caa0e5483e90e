// The player on a bus of its own: `playerctl play-pause` until the engine
// has paused or resumed (the real program's parts, a 60 s clip), the same
// command as a D-Bus call from another connection, and Tracks of a
// 100,000-entry track list (the window of 20 clips around the current
// one). Medians are printed as counters.

#include "app/mpris_bridge.h"
#include "app/velmora.h"
#include "mpris/mpris_service.h"
#include "track_list_host.h"
#include "media/media_clips.h"
#include "support/private_bus.h"
#include "../media/bench_wait.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace velmora;

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.velmora4");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void pauseFor(int ms)
{
    QElapsedTimer t;
    t.start();
    bench::runUntil([&] { return t.elapsed() >= ms; }, ms + 1000);
}

// The player with one long clip playing, on its own bus.
struct PlayingPlayer {
    test::PrivateBus bus;
    QTemporaryDir folder;
    std::unique_ptr<Velmora> app;
    bool ok = false;

    PlayingPlayer()
    {
        const QString clip = folder.filePath(QStringLiteral("long.wav"));
        if (!bus.ok() || !test::runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                            QStringLiteral("sine=f=440:d=600"), QStringLiteral("-ar"),
                                            QStringLiteral("8000"), clip}))
            return;
        Velmora::Options options;
        options.configFolder = folder.path();
        options.programFolder = QStringLiteral(VELMORA_BUILD_DIR "/");
        options.media.moduleFile = QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so");
        options.media.engine.videoOutput = QStringLiteral("null");
        options.media.engine.audioOutput = QStringLiteral("null");
        options.mprisBus = bus.address();
        app = std::make_unique<Velmora>(options);
        app->start(QLatin1Char('"') + clip + QLatin1Char('"'), nullptr);
        ok = app->mpris() != nullptr
             && bench::runUntil([&] { return app->engine().state() == MediaEngine::kPlaying; }, 20000);
    }
};

// One toggle: starts the command, waits until the engine's state flips.
template <typename Send>
void measureToggles(benchmark::State& state, PlayingPlayer& player, Send send)
{
    if (!player.ok) {
        state.SkipWithError("the player did not start on its bus");
        return;
    }
    MediaEngine& engine = player.app->engine();
    std::vector<double> ms;
    for (auto _ : state) {
        pauseFor(70);  // past the keys' lock-out
        const bool wasPlaying = engine.state() == MediaEngine::kPlaying;
        QElapsedTimer t;
        t.start();
        auto finish = send();
        const bool flipped = bench::runUntil(
            [&] { return (engine.state() == MediaEngine::kPlaying) != wasPlaying; }, 5000);
        const double seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        ms.push_back(seconds * 1000);
        finish();
        if (!flipped) {
            state.SkipWithError("the engine did not change");
            return;
        }
    }
    state.counters["median_ms"] = median(ms);
}

void BM_PlayerctlPlayPause(benchmark::State& state)
{
    PlayingPlayer player;
    measureToggles(state, player, [&] {
        auto process = std::make_shared<QProcess>();
        process->setProcessEnvironment(player.bus.environment());
        process->start(QStringLiteral("playerctl"), {QStringLiteral("-p"), QStringLiteral("velmora4"),
                                                     QStringLiteral("play-pause")});
        return [process] { bench::runUntil([&] { return process->state() == QProcess::NotRunning; }, 5000); };
    });
}
BENCHMARK(BM_PlayerctlPlayPause)->UseManualTime()->Iterations(41)->Unit(benchmark::kMillisecond);

void BM_DBusPlayPause(benchmark::State& state)
{
    PlayingPlayer player;
    measureToggles(state, player, [&] {
        QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                                        QStringLiteral("PlayPause"));
        player.bus.client().asyncCall(m);
        return [] {};
    });
}
BENCHMARK(BM_DBusPlayPause)->UseManualTime()->Iterations(41)->Unit(benchmark::kMillisecond);

// A playlist of 100,000 clips behind the service.
struct BigHost : TrackListHost {
    BigHost()
    {
        for (std::uint64_t i = 1; i <= 100'000; ++i)
            tracks.push_back({i, QStringLiteral("Title %1").arg(i), QStringLiteral("/music/album/track %1.mp3").arg(i),
                              180'000'000});
    }
};

void BM_Tracks100k(benchmark::State& state)
{
    test::PrivateBus bus;
    BigHost host;
    mpris::MprisService service(host, bus.connection(), {});
    if (!service.registered()) {
        state.SkipWithError("no bus");
        return;
    }
    std::vector<double> ms;
    std::vector<double> replyMs;
    qsizetype received = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                        QStringLiteral("Get"));
        m.setArguments({QStringLiteral("org.mpris.MediaPlayer2.TrackList"), QStringLiteral("Tracks")});
        const QDBusMessage reply = bus.client().call(m, QDBus::BlockWithGui, 10000);
        replyMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        received = qdbus_cast<QList<QDBusObjectPath>>(qdbus_cast<QDBusVariant>(reply.arguments().value(0)).variant())
                       .size();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    state.counters["median_ms"] = median(ms);
    state.counters["reply_ms"] = median(replyMs);  // the answer, before the client reads it
    state.counters["tracks"] = static_cast<double>(received);
    if (received != 20)
        state.SkipWithError("Tracks is not the window of 20 clips");
}
BENCHMARK(BM_Tracks100k)->Unit(benchmark::kMillisecond)->Iterations(21);

}  // namespace
