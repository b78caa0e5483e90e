// Settings store: cached gets and single-key saves into a 200-key file.

#include "settings/settings_store.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

void fill(SettingsStore& store)
{
    for (int i = 0; i < 200; ++i)
        store.save(QStringLiteral("Section%1").arg(i % 5), QStringLiteral("Key%1").arg(i), QString::number(i * 31));
}

void BM_CachedGet(benchmark::State& state)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    fill(store);
    const QString section = QStringLiteral("Settings");
    const QString key = QStringLiteral("AutoNext");
    store.save(section, key, QStringLiteral("1"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.get(section, key, QStringLiteral("1")));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CachedGet);

void BM_SaveOneKeyOf200(benchmark::State& state)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    fill(store);
    int i = 0;
    for (auto _ : state)
        store.save(QStringLiteral("Section1"), QStringLiteral("Key6"), QString::number(++i));
}
BENCHMARK(BM_SaveOneKeyOf200)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
