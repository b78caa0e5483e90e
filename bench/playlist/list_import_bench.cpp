// Playlists of other players at 100,000 entries: an M3U with titles, all
// its clips existing files in 100 folders, imported into the model on the
// add path (read, decode, resolve, check each file, append).

#include "playlist/playlist_model.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace velmora;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

// The clips and the list, made once for the process.
struct BigList {
    QTemporaryDir dir;
    QString m3u;
    BigList()
    {
        QByteArray text = "#EXTM3U\n";
        for (int f = 0; f < kFolders; ++f) {
            const QString folder = QStringLiteral("album %1").arg(f);
            QDir(dir.path()).mkpath(folder);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                const QString name = QStringLiteral("%1/track %2.mp3").arg(folder).arg(i);
                QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
                if (i % 2 == 0)
                    text += "#EXTINF:180,Artist " + QByteArray::number(f) + " - Title " + QByteArray::number(i) + "\n";
                text += name.toUtf8() + "\n";
            }
        }
        m3u = dir.filePath(QStringLiteral("big.m3u"));
        QFile out(m3u);
        out.open(QIODevice::WriteOnly);
        out.write(text);
    }
};

void BM_ImportM3u100k(benchmark::State& state)
{
    static BigList list;
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<PlaylistModel>();
        state.ResumeTiming();
        added = model->addPath(list.m3u);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.counters["entries"] = added;
    if (added != kFolders * kFilesPerFolder + 2)
        state.SkipWithError("not every entry was imported");
}
BENCHMARK(BM_ImportM3u100k)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
