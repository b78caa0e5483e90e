// The docked toolbar's slide and its cost at rest. Run on a real X server
// for figures that mean something:
//   xvfb-run -a env QT_QPA_PLATFORM=xcb build/bench/appbar_bench
// Slide: one slide out and one back per iteration, timed from the call to
// the window's arrival; frames are the placements of the window on the way
// (each one a new picture), fps = frames / duration; round trips are the
// replies the process waited for over the X connection during the slides.
// Frame: one placement of the window and the server having done it (a sync
// after each, its own cost taken off), with the round trips per frame.
// Idle: the process's CPU time over 5 s of running events with the toolbar
// hidden and slid out under the pointer (the 400 ms check running), against
// no toolbar at all.

#include "appbar/toolbar.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <dlfcn.h>
#include <sys/resource.h>

// Every reply waited for on any X connection of the process, counted by
// standing in for libxcb's own function (the reply functions of libxcb and
// Qt's xcb plugin reach it through the dynamic linker). The bench alone
// does this; the count is process-wide by nature.
namespace {
long long roundTrips = 0;
}

extern "C" void* xcb_wait_for_reply(xcb_connection_t* c, unsigned int request, xcb_generic_error_t** e)
{
    using Real = void* (*)(xcb_connection_t*, unsigned int, xcb_generic_error_t**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "xcb_wait_for_reply"));
    ++roundTrips;
    return real(c, request, e);
}

extern "C" void* xcb_wait_for_reply64(xcb_connection_t* c, uint64_t request, xcb_generic_error_t** e)
{
    using Real = void* (*)(xcb_connection_t*, uint64_t, xcb_generic_error_t**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "xcb_wait_for_reply64"));
    ++roundTrips;
    return real(c, request, e);
}

using namespace velmora;

namespace {

Toolbar::Hooks hooks()
{
    Toolbar::Hooks h;
    return h;
}

void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Times one slide to `show`; returns false if it did not end in 2 s.
bool slide(TAppBar& bar, bool show, double* ms, int* frames)
{
    QEventLoop loop;
    QObject::connect(&bar, &TAppBar::slideFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    // Out: the pointer near the strip but not on it, so that the auto-hide
    // check keeps the bar out and no crossing starts the slide before the
    // clock. Back: the pointer far away.
    QCursor::setPos(600, show ? 10 : 500);
    QElapsedTimer clock;
    clock.start();
    bar.ShowAutoHidden(show);
    if (!bar.sliding())
        return false;
    loop.exec();
    *ms = double(clock.nsecsElapsed()) / 1e6;
    *frames = bar.slideFramesShown();
    return !bar.sliding();
}

xcb_connection_t* qtConnection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// One round trip on Qt's connection: the server has done everything asked
// before it.
void sync(xcb_connection_t* c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void BM_ToolbarSlideFrame(benchmark::State& state)
{
    xcb_connection_t* c = qtConnection();
    if (!c) {
        state.SkipWithError("needs an X server (QT_QPA_PLATFORM=xcb)");
        return;
    }
    Toolbar toolbar(hooks());
    toolbar.ShowToolbar(true);
    TAppBar& bar = *toolbar.bar();
    runEvents(bar.slideTime() + 200);
    bar.fields().slideEffect = false;  // each SlideTo is one placement
    const Box screen = Box::fromRect(QGuiApplication::primaryScreen()->geometry());
    constexpr int kFrames = 200;
    QElapsedTimer clock;
    double syncNs = 0, frameNs = 0;
    long long trips = 0;
    for (auto _ : state) {
        clock.start();
        for (int i = 0; i < kFrames; ++i)
            sync(c);
        syncNs = double(clock.nsecsElapsed()) / kFrames;
        const long long before = roundTrips;
        clock.start();
        for (int i = 0; i < kFrames; ++i) {
            const int y = -30 + (i % 31);  // the frames of a slide out
            bar.SlideTo({screen.left, screen.top + y, screen.right, screen.top + y + 32});
            QCoreApplication::processEvents();
            sync(c);
        }
        frameNs = double(clock.nsecsElapsed()) / kFrames - syncNs;
        trips = roundTrips - before - kFrames;  // less the syncs
    }
    state.counters["frame_us"] = frameNs / 1000.0;
    state.counters["sync_us"] = syncNs / 1000.0;
    state.counters["round_trips_per_frame"] = double(trips) / kFrames;
}
BENCHMARK(BM_ToolbarSlideFrame)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_ToolbarSlide(benchmark::State& state)
{
    Toolbar toolbar(hooks());
    toolbar.ShowToolbar(true);
    TAppBar& bar = *toolbar.bar();
    bar.fields().autoHideVisible = false;
    runEvents(bar.slideTime() + 200);  // the first placement's slide is over
    double outMs = 0, backMs = 0, worstMs = 0, minFps = 1e9, best = 1e9;
    int n = 0, frames = 0;
    const long long tripsBefore = roundTrips;
    for (auto _ : state) {
        double ms = 0;
        for (bool show : {true, false}) {
            int shown = 0;
            if (!slide(bar, show, &ms, &shown)) {
                state.SkipWithError("the slide did not end");
                return;
            }
            (show ? outMs : backMs) += ms;
            worstMs = std::max(worstMs, ms);
            best = std::min(best, ms);
            minFps = std::min(minFps, shown / (ms / 1000.0));
            frames += shown;
        }
        ++n;
    }
    state.counters["out_ms"] = outMs / n;
    state.counters["back_ms"] = backMs / n;
    state.counters["min_ms"] = best;
    state.counters["max_ms"] = worstMs;
    state.counters["min_fps"] = minFps;
    state.counters["frames_per_slide"] = double(frames) / (2 * n);
    state.counters["round_trips_per_slide"] = double(roundTrips - tripsBefore) / (2 * n);
}
BENCHMARK(BM_ToolbarSlide)->Iterations(10)->Unit(benchmark::kMillisecond);

enum class Bar { None, Hidden, SlidOut };

void idle(benchmark::State& state, Bar bar)
{
    Toolbar toolbar(hooks());
    QCursor::setPos(600, 500);
    if (bar != Bar::None) {
        toolbar.ShowToolbar(true);
        runEvents(1000);  // docked and hidden
    }
    if (bar == Bar::SlidOut) {
        QCursor::setPos(600, 0);  // the pointer rests on the bar
        runEvents(1000);
        if (!toolbar.bar()->fields().autoHideVisible) {
            state.SkipWithError("the bar did not slide out under the pointer");
            return;
        }
    }
    double percent = 0;
    for (auto _ : state) {
        const double cpu = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        runEvents(5000);
        percent = 100.0 * (cpuSeconds() - cpu) / (double(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["cpu_percent"] = percent;
}

void BM_IdleWithoutToolbar(benchmark::State& state) { idle(state, Bar::None); }
BENCHMARK(BM_IdleWithoutToolbar)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleWithHiddenToolbar(benchmark::State& state) { idle(state, Bar::Hidden); }
BENCHMARK(BM_IdleWithHiddenToolbar)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleWithToolbarSlidOut(benchmark::State& state) { idle(state, Bar::SlidOut); }
BENCHMARK(BM_IdleWithToolbarSlidOut)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
