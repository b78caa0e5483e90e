// The docked toolbar's slide and its cost at rest. Run on a real X server
// for figures that mean something:
//   xvfb-run -a env QT_QPA_PLATFORM=xcb build/bench/appbar_bench
// Slide: one slide out and one back per iteration, timed from the call to
// the window's arrival; frames are the placements of the window on the way
// (each one a new picture), fps = frames / duration.
// Idle: the process's CPU time over 5 s of running events with the toolbar
// hidden and slid out under the pointer (the 400 ms check running), against
// no toolbar at all.

#include "appbar/toolbar.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

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

void BM_ToolbarSlide(benchmark::State& state)
{
    Toolbar toolbar(hooks());
    toolbar.ShowToolbar(true);
    TAppBar& bar = *toolbar.bar();
    bar.fields().autoHideVisible = false;
    runEvents(bar.slideTime() + 200);  // the first placement's slide is over
    double outMs = 0, backMs = 0, worstMs = 0, minFps = 1e9, best = 1e9;
    int n = 0;
    for (auto _ : state) {
        double ms = 0;
        int frames = 0;
        for (bool show : {true, false}) {
            if (!slide(bar, show, &ms, &frames)) {
                state.SkipWithError("the slide did not end");
                return;
            }
            (show ? outMs : backMs) += ms;
            worstMs = std::max(worstMs, ms);
            best = std::min(best, ms);
            minFps = std::min(minFps, frames / (ms / 1000.0));
        }
        ++n;
    }
    state.counters["out_ms"] = outMs / n;
    state.counters["back_ms"] = backMs / n;
    state.counters["min_ms"] = best;
    state.counters["max_ms"] = worstMs;
    state.counters["min_fps"] = minFps;
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
