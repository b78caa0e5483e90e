// The playlist window with the default skin: one wheel notch on a
// 100,000-entry playlist, and a drop of 5,000 files on an empty list, each
// until the list has painted what it shows.

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "playlist/playlist_model.h"
#include "playlist/window/playlist_window.h"
#include "settings/profile_files.h"
#include "skin/skinned_windows.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <memory>

using namespace velmora;

namespace {

// The program's three windows on the default skin, and the playlist window.
struct Harness {
    QTemporaryDir home;
    SettingsStore store{home.filePath(QStringLiteral("settings.ini"))};
    Settings settings{store};
    ProfileFiles profiles;
    SkinnedWindows windows{settings, profiles};
    PlaylistModel model;
    std::unique_ptr<PlaylistWindow> window;

    Harness()
    {
        windows.loadSkin(QStringLiteral(VELMORA_BUILD_DIR "/skin/"));
        window = std::make_unique<PlaylistWindow>(windows.playlistForm(), model, settings, PlaylistWindow::Hooks{});
        window->skinApplied(windows.skin().visibleRows);
        windows.playlistForm().show();
        QApplication::processEvents();
    }
    SkinListView& list() { return windows.playlistForm().list(); }
    // What the user waits for: the list painted.
    void paint()
    {
        list().viewport()->repaint();
        windows.playlistForm().element("Scroll")->repaint();
    }
};

void BM_WheelNotchOn100000Entries(benchmark::State& state)
{
    Harness h;
    {
        PlaylistModel::Batch batch(h.model);
        for (int i = 0; i < 100'000; ++i)
            h.model.addPath(QStringLiteral("/music/album %1/track %2.mp3").arg(i / 20).arg(i % 20));
    }
    QWidget* viewport = h.list().viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    int direction = -120;  // down
    for (auto _ : state) {
        QWheelEvent wheel(at, viewport->mapToGlobal(at), {}, {0, direction}, Qt::NoButton, {}, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(viewport, &wheel);
        h.paint();
        // Turn round at either end so that every notch scrolls.
        const int offset = h.model.scrollOffset();
        if (offset == h.model.playlistCount() - h.model.visibleRows() || offset == 0)
            direction = -direction;
    }
    state.counters["visibleRows"] = h.model.visibleRows();
}
BENCHMARK(BM_WheelNotchOn100000Entries)->Unit(benchmark::kMicrosecond);

void BM_Drop5000FilesOnAnEmptyList(benchmark::State& state)
{
    Harness h;
    QTemporaryDir clips;
    QList<QUrl> urls;
    for (int i = 0; i < 5'000; ++i) {
        const QString path = clips.filePath(QStringLiteral("clip %1.mp3").arg(i));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        urls << QUrl::fromLocalFile(path);
    }
    QMimeData data;
    data.setUrls(urls);
    QWidget* viewport = h.list().viewport();
    const QPoint at = viewport->rect().center();
    int added = 0;
    for (auto _ : state) {
        // As a file manager drops: the drag enters, then drops.
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        h.paint();
        state.PauseTiming();
        added = h.model.playlistCount();
        h.model.removeEntryWithSubtree(1);
        state.ResumeTiming();
    }
    if (added != 5'001)
        state.SkipWithError(QStringLiteral("the drop added %1 entries").arg(added).toStdString().c_str());
}
BENCHMARK(BM_Drop5000FilesOnAnEmptyList)->Unit(benchmark::kMillisecond);

}  // namespace
