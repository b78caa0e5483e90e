// NextClip over 100,000 entries that cannot be played (unchecked, inside an
// unchecked group, or failing to open at once), to the end of the list.

#include "settings/settings.h"
#include "playback/controller_fakes.h"
#include "playback/playback_controller.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

void BM_NextClipOverUnplayableEntries(benchmark::State& state)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    Settings settings(store);
    test::ScriptedEngine engine;
    test::FakeClips clips;
    test::RecordingPanels panels;
    clips.root();
    clips.file(QStringLiteral("first"));
    for (int i = 0; i < 40000; ++i)
        clips.file(QStringLiteral("u%1").arg(i), 1, false);
    clips.group(QStringLiteral("hidden"), 2, false);
    for (int i = 0; i < 30000; ++i)
        clips.file(QStringLiteral("h%1").arg(i), 3);
    for (int i = 0; i < 30000; ++i) {
        clips.file(QStringLiteral("f%1").arg(i));
        engine.failing << QStringLiteral("/clips/f%1").arg(i);
    }
    PlaybackController controller(engine, clips, settings, &panels);
    test::ControllerForwarder forward(controller);
    engine.setListener(&forward);
    for (auto _ : state) {
        state.PauseTiming();
        controller.OpenClip(2);
        engine.opened.clear();
        state.ResumeTiming();
        controller.press(TransportButton::StepForward);
        benchmark::DoNotOptimize(clips.current);
    }
    if (clips.current != -1)
        state.SkipWithError("did not reach the end");
}
BENCHMARK(BM_NextClipOverUnplayableEntries)->Unit(benchmark::kMillisecond);

}  // namespace
