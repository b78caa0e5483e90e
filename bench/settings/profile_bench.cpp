// ReadKey of every key of a complete 200-key skin description, as the skin
// loader does at start-up.

#include "settings/profile_files.h"
#include "skin/skin_keys.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

QStringList allKeys()
{
    QStringList keys;
    for (const auto& e : kSkinElements) {
        keys << skinString(e.picture) << skinString(e.picture) + QStringLiteral("left")
             << skinString(e.picture) + QStringLiteral("top");
    }
    for (const auto& l : kSkinLabels)
        keys << skinString(l.size) << skinString(l.colour) << skinString(l.left) << skinString(l.top);
    for (int i = 0; keys.size() < 200; ++i)
        keys << QStringLiteral("extra%1").arg(i);
    return keys;
}

void BM_ReadAllKeysOfASkin(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("skin.ini"));
    const QStringList keys = allKeys();
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("[Skin]\n");
        for (const QString& k : keys)
            f.write((k + QStringLiteral(" = ") + k + QStringLiteral(".bmp\n")).toUtf8());
    }
    const QString section = QStringLiteral("Skin");
    for (auto _ : state) {
        ProfileFiles files;  // a fresh cache: the file is parsed once per loop
        for (const QString& k : keys)
            benchmark::DoNotOptimize(files.readKey(section, k, file));
    }
    state.SetItemsProcessed(state.iterations() * keys.size());
}
BENCHMARK(BM_ReadAllKeysOfASkin)->Unit(benchmark::kMicrosecond);

}  // namespace
