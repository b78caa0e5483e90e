// The program on a real X server (run under xvfb-run): cold start until the
// main window is mapped, resident memory with every window shown and a clip
// paused, and CPU while paused and while an audio clip plays.
//
// The program measured is $VELMORA_START_PROGRAM, default the front program
// of the build folder (velmora4, which starts the player), as a user starts
// it: clips on the command line, a second start saying "pause". Each run has
// its own settings folder; the clip runs open the volume and playlist
// windows through the settings. The main window is found by its window role
// "MainForm".

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

QString program()
{
    const QString p = qEnvironmentVariable("VELMORA_START_PROGRAM");
    return p.isEmpty() ? QStringLiteral(VELMORA_BUILD_DIR "/velmora4") : p;
}

// Watches the X server for the main window being mapped.
class MapWatch {
public:
    MapWatch() : display_(XOpenDisplay(nullptr))
    {
        if (display_)
            XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    }
    ~MapWatch()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }

    // Forgets the events of earlier runs.
    void drain()
    {
        XSync(display_, False);
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
        }
    }

    // Waits for a MapNotify of the window with role "MainForm".
    bool waitForMain(std::chrono::milliseconds timeout) { return waitForMainWindow(timeout) != 0; }
    Window waitForMainWindow(std::chrono::milliseconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            while (XPending(display_)) {
                XEvent e;
                XNextEvent(display_, &e);
                if (e.type == MapNotify && role(e.xmap.window) == "MainForm")
                    return e.xmap.window;
            }
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, 5);
        }
        return 0;
    }

    // Asks the window to close as a window manager does (WM_DELETE_WINDOW).
    void closeAsTheWindowManager(Window w) const
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, w, False, NoEventMask, &e);
        XFlush(display_);
    }

private:
    QByteArray role(Window w) const
    {
        const Atom atom = XInternAtom(display_, "WM_WINDOW_ROLE", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        QByteArray r;
        if (XGetWindowProperty(display_, w, atom, 0, 64, False, AnyPropertyType, &type, &format, &items, &after,
                               &data) == Success && data) {
            r = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items));
            XFree(data);
        }
        return r;
    }
    Display* display_;
};

struct Running {
    QProcess process;
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    explicit Running(bool allWindows = false, bool notClose = false)
    {
        const QString config = home.filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        if (allWindows || notClose) {
            QFile settings(config + QStringLiteral("/settings.ini"));
            if (settings.open(QIODevice::WriteOnly)) {
                settings.write("[Settings]\n");
                if (allWindows)
                    settings.write("VolumeOpen=True\nPlaylistOpen=True\n");
                if (notClose)
                    settings.write("NotClose=1\n");
            }
        }
        env.insert(QStringLiteral("VELMORA_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        // The file classes go to the run's own desktop folders.
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("xdg-config")));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
    }
    // A second start of the program with these arguments, as from a shell.
    void secondStart(const QStringList& arguments)
    {
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program(), arguments);
        second.waitForFinished(15000);
    }
    // The player: the front program execs it, so the pid stays the same.
    qint64 pid() const { return process.processId(); }
    ~Running()
    {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
};

long long cpuTicks(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = f.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15; after the name, 12 and 13 (0-based 11, 12).
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

double residentMegabytes(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// Proportional set size: shared pages counted by the share of each.
double proportionalMegabytes(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

QString makeClip(const QTemporaryDir& dir, const QString& name, const QStringList& input)
{
    const QString path = dir.filePath(name);
    QStringList args{QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y")};
    args << input << path;
    QProcess::execute(QStringLiteral("ffmpeg"), args);
    return QFile::exists(path) ? path : QString();
}

void BM_ColdStartToMainWindowMapped(benchmark::State& state)
{
    // One connection for all runs: without any client left between two runs
    // an X server started without -noreset resets and refuses connections.
    MapWatch watch;
    if (!watch.ok()) {
        state.SkipWithError("no X server (run under xvfb-run -a)");
        return;
    }
    // Argument 1: the settings and the desktop's file classes are there from
    // an earlier "init" (every start but the very first); 0: the first start.
    const bool prepared = state.range(0) == 1;
    std::vector<double> ms;
    for (auto _ : state) {
        Running run;
        if (prepared)
            run.secondStart({QStringLiteral("init")});
        watch.drain();
        const auto start = Clock::now();
        run.process.start(program(), {});
        if (!watch.waitForMain(std::chrono::seconds(20))) {
            state.SkipWithError("the main window was not mapped");
            return;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["min_ms"] = ms.front();
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_ColdStartToMainWindowMapped)->Arg(0)->Arg(1)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Starts the program on a clip, lets it settle, then measures memory and CPU
// over ten seconds.
void measureWithClip(benchmark::State& state, const QString& clip, bool paused)
{
    if (clip.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the clip");
        return;
    }
    MapWatch watch;
    if (!watch.ok()) {
        state.SkipWithError("no X server (run under xvfb-run -a)");
        return;
    }
    for (auto _ : state) {
        watch.drain();
        Running run(true);
        run.process.start(program(), QStringList{clip});
        if (!watch.waitForMain(std::chrono::seconds(20))) {
            state.SkipWithError("the main window was not mapped");
            return;
        }
        QThread::sleep(3);  // the media module loaded, the clip playing
        if (paused)
            run.secondStart({QStringLiteral("pause")});
        QThread::sleep(1);
        const qint64 pid = run.pid();
        const long long before = cpuTicks(pid);
        const auto t0 = Clock::now();
        QThread::sleep(10);
        const long long after = cpuTicks(pid);
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["rss_MB"] = residentMegabytes(pid);
        state.counters["cpu_percent"] =
            100.0 * static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
        state.SetIterationTime(seconds);
    }
}

void BM_PausedVideoAllWindowsShown(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString clip = makeClip(dir, QStringLiteral("video.mp4"),
                                  {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                   QStringLiteral("testsrc2=size=320x240:rate=25:duration=20"), QStringLiteral("-f"),
                                   QStringLiteral("lavfi"), QStringLiteral("-i"),
                                   QStringLiteral("sine=frequency=440:duration=20"), QStringLiteral("-c:v"),
                                   QStringLiteral("libx264"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                                   QStringLiteral("-shortest")});
    measureWithClip(state, clip, true);
}
BENCHMARK(BM_PausedVideoAllWindowsShown)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_PlayingAudioAllWindowsShown(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString clip = makeClip(dir, QStringLiteral("tone.mp3"),
                                  {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                   QStringLiteral("sine=frequency=440:duration=30")});
    // Without a sound device the engine falls back to its null output, which
    // plays in real time, so the decoding work is the same.
    measureWithClip(state, clip, false);
}
BENCHMARK(BM_PlayingAudioAllWindowsShown)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Memory of a player nobody has given a clip: started empty with every
// window shown, and hidden by Close ("NotClose") before or after a clip.
enum class Idle { Shown, HiddenNoClip, HiddenAfterClip };

void measureIdle(benchmark::State& state, Idle idle)
{
    MapWatch watch;
    if (!watch.ok()) {
        state.SkipWithError("no X server (run under xvfb-run -a)");
        return;
    }
    QTemporaryDir dir;
    QString clip;
    if (idle == Idle::HiddenAfterClip) {
        clip = makeClip(dir, QStringLiteral("short.mp3"),
                        {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("sine=frequency=440:duration=1")});
    }
    for (auto _ : state) {
        watch.drain();
        Running run(true, idle != Idle::Shown);
        run.process.start(program(), clip.isEmpty() ? QStringList{} : QStringList{clip});
        const Window main = watch.waitForMainWindow(std::chrono::seconds(20));
        if (!main) {
            state.SkipWithError("the main window was not mapped");
            return;
        }
        if (idle == Idle::HiddenAfterClip)
            QThread::sleep(4);  // the clip plays to its end and the list goes idle
        if (idle != Idle::Shown)
            watch.closeAsTheWindowManager(main);
        QThread::sleep(5);
        state.counters["rss_MB"] = residentMegabytes(run.pid());
        state.counters["pss_MB"] = proportionalMegabytes(run.pid());
        state.SetIterationTime(5);
    }
}

void BM_IdleNoClipAllWindowsShown(benchmark::State& state) { measureIdle(state, Idle::Shown); }
BENCHMARK(BM_IdleNoClipAllWindowsShown)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_HiddenByCloseNoClipEver(benchmark::State& state) { measureIdle(state, Idle::HiddenNoClip); }
BENCHMARK(BM_HiddenByCloseNoClipEver)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_HiddenByCloseAfterAClip(benchmark::State& state) { measureIdle(state, Idle::HiddenAfterClip); }
BENCHMARK(BM_HiddenByCloseAfterAClip)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
