// LoadFileTypes as a start runs it: the class root read from its file, the
// freedesktop projection, the default table already stored and on the
// desktop (so nothing is written). Also the first run, which registers the
// table and writes every file. Each benchmark has its own XDG folders.

#include "settings/settings.h"
#include "shell/class_root.h"
#include "shell/file_types.h"
#include "shell/freedesktop_projection.h"
#include "shell/shell_registration.h"
#include "shell/type_icons.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using namespace velmora;

struct Desktop {
    QTemporaryDir home;
    Desktop()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("xdg-config"))));
    }
    QString file(const QString& name) const { return home.filePath(name); }
};

// What a start builds for the file types, and the load itself.
void start(const Desktop& d, Settings& settings)
{
    FreedesktopProjection desktop(QStringLiteral("/usr/bin/velmora4"), FreedesktopProjection::Folders::fromEnvironment());
    ClassRoot root(d.file(QStringLiteral("config/classes.ini")), &desktop);
    ShellRegistration shell(root, QStringLiteral("/usr/bin/velmora4"));
    TypeIcons icons(d.file(QStringLiteral("data/velmora4/icons/")), QStringLiteral(VELMORA_BUILD_DIR "/default icons/"));
    FileTypes types(settings, shell, icons);
    types.LoadFileTypes();
    benchmark::DoNotOptimize(types.MediaPattern());
}

void BM_LoadFileTypesUpToDate(benchmark::State& state)
{
    Desktop d;
    SettingsStore store(d.file(QStringLiteral("config/settings.ini")));
    Settings settings(store);
    start(d, settings);  // the first run: the table and the desktop files
    const auto first = std::chrono::steady_clock::now();
    start(d, settings);  // the first up-to-date load in this process (MIME database read)
    state.counters["first_in_process_us"] =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - first).count();
    for (auto _ : state)
        start(d, settings);
}
BENCHMARK(BM_LoadFileTypesUpToDate)->Unit(benchmark::kMicrosecond);

void BM_LoadFileTypesFirstRun(benchmark::State& state)
{
    for (auto _ : state) {
        Desktop d;
        SettingsStore store(d.file(QStringLiteral("config/settings.ini")));
        Settings settings(store);
        start(d, settings);  // waits for the database tools when it ends
    }
}
BENCHMARK(BM_LoadFileTypesFirstRun)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
