// The service behind a 100,000-entry playlist being measured: lengths
// arrive at 5,000 entries a second (each a change of the list, as the
// playlist reports them), passing the clips around the current entry. It
// prints the D-Bus traffic the service causes (bytes of every message on
// the bus, recorded by dbus-monitor) and the UI thread's CPU time per
// second beyond what the same sweep costs without the service.

#include "mpris/mpris_service.h"
#include "track_list_host.h"
#include "support/private_bus.h"
#include "../media/bench_wait.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

using namespace velmora;

namespace {

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// 100,000 entries, every 50th a folder group; the one at 50,001 plays.
struct MeasuredHost : TrackListHost {
    MeasuredHost()
    {
        for (std::uint64_t i = 1; i <= 100'000; ++i)
            tracks.push_back({i, QStringLiteral("track %1.mp3").arg(i),
                              i % 50 == 1 ? QString() : QStringLiteral("/music/album %1/track %2.mp3").arg(i / 50).arg(i),
                              -1});
    }
    mpris::PlaybackStatus playbackStatus() const override { return mpris::PlaybackStatus::Playing; }
    double position() const override { return 12.5; }
    double clipLength() const override { return 180.25; }
    int currentIndex() const override { return 50'001; }
};

void BM_Measuring100k(benchmark::State& state)
{
    test::PrivateBus bus;
    QTemporaryDir folder;
    MeasuredHost host;
    mpris::MprisService service(host, bus.connection(), {});
    if (!service.registered()) {
        state.SkipWithError("no bus");
        return;
    }
    const QString record = folder.filePath(QStringLiteral("bus.pcap"));
    QProcess monitor;
    monitor.setProcessEnvironment(bus.environment());
    monitor.setStandardOutputFile(record);
    monitor.start(QStringLiteral("dbus-monitor"), {QStringLiteral("--address"), bus.address(), QStringLiteral("--pcap")});
    if (!monitor.waitForStarted(5000)) {
        state.SkipWithError("dbus-monitor did not start");
        return;
    }
    bench::runUntil([&] { return QFileInfo(record).size() > 0; }, 5000);  // it has joined the bus
    constexpr int kSeconds = 5;
    constexpr int kPerTick = 100;  // every 20 ms: 5,000 a second
    // One sweep of measuring; the UI thread's CPU seconds and the bytes on the bus.
    struct Sweep {
        double seconds = 0;
        double uiSeconds = 0;
        double bytes = 0;
        std::size_t measured = 0;
    };
    auto sweep = [&](bool tellService) {
        const qint64 recordedBefore = QFileInfo(record).size();
        std::size_t next = 40'000;  // the sweep passes the current entry at 50,001
        for (mpris::Track& t : host.tracks)
            t.lengthUs = -1;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            for (int i = 0; i < kPerTick && next < host.tracks.size(); ++i, ++next) {
                if (!host.tracks[next].isGroup())
                    host.tracks[next].lengthUs = 180'000'000;
                if (tellService)
                    service.trackListChanged();  // as the bridge does on each change
            }
        });
        const double cpuBefore = threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        tick.start(20);
        bench::runUntil([&] { return wall.elapsed() >= kSeconds * 1000; }, kSeconds * 1000 + 2000);
        tick.stop();
        bench::runUntil([&] { return false; }, 1200);  // the last gathered changes go out
        Sweep out;
        out.seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        out.uiSeconds = threadCpuSeconds() - cpuBefore;
        bench::runUntil([&] { return false; }, 300);  // dbus-monitor writes what it saw
        out.bytes = static_cast<double>(QFileInfo(record).size() - recordedBefore);
        out.measured = next - 40'000;
        return out;
    };
    for (auto _ : state) {
        // The same sweep without the service, then with it: the difference
        // is the service's.
        const Sweep alone = sweep(false);
        const Sweep told = sweep(true);
        state.counters["dbus_bytes_per_s"] = told.bytes / told.seconds;
        state.counters["ui_ms_per_s"] = (told.uiSeconds - alone.uiSeconds) * 1000.0 / told.seconds;
        state.counters["ui_ms_per_s_without"] = alone.uiSeconds * 1000.0 / alone.seconds;
        state.counters["entries_measured"] = static_cast<double>(told.measured);
    }
    monitor.terminate();
    monitor.waitForFinished(3000);
}
BENCHMARK(BM_Measuring100k)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
