// LoadSkin of the default skin onto the three windows (hidden, as at
// start-up), and the first load into fresh windows, which also builds them.

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "settings/profile_files.h"
#include "skin/skinned_windows.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

const QString kDefaultSkin = QStringLiteral(VELMORA_BUILD_DIR "/skin/");

struct Collaborators {
    QTemporaryDir home;
    SettingsStore store{home.filePath(QStringLiteral("settings.ini"))};
    Settings settings{store};
    ProfileFiles profiles;
};

void BM_LoadDefaultSkin(benchmark::State& state)
{
    Collaborators c;
    SkinnedWindows windows(c.settings, c.profiles);
    windows.loadSkin(kDefaultSkin);
    if (windows.skin().skinName.isEmpty())
        state.SkipWithError("default skin not found beside the build");
    for (auto _ : state)
        windows.loadSkin(kDefaultSkin);
    state.counters["visibleRows"] = windows.skin().visibleRows;
}
BENCHMARK(BM_LoadDefaultSkin)->Unit(benchmark::kMillisecond);

void BM_CreateWindowsAndLoadSkin(benchmark::State& state)
{
    Collaborators c;
    for (auto _ : state) {
        SkinnedWindows windows(c.settings, c.profiles);
        windows.loadSkin(kDefaultSkin);
        benchmark::DoNotOptimize(windows.skin().visibleRows);
    }
}
BENCHMARK(BM_CreateWindowsAndLoadSkin)->Unit(benchmark::kMillisecond);

}  // namespace
