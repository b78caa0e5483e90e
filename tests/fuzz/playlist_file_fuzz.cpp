// ".pml" playlists from any bytes: loading never fails and always leaves a
// table that is a tree (each entry below its parent, files never parents).

#include "playlist/playlist_file.h"
#include "playlist/playlist_model.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace velmora;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("list.pml"));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    PlaylistModel model;
    const int added = loadPlaylistFile(model, path);
    check(added >= 1);  // at least the list's own group
    const int count = model.playlistCount();
    for (int i = 2; i <= count; ++i) {
        const int parent = model.parentOf(i);
        check(parent >= 1 && parent < i);
        check(model.entry(parent).isGroup());
        check(model.entry(i).deep > model.entry(parent).deep);
        check(model.subtreeEnd(i) <= count + 1);
    }
    // What was loaded saves, and the saved file loads as a tree again.
    const QString again = folder.filePath(QStringLiteral("again.pml"));
    check(savePlaylistFile(model, again));
    PlaylistModel reloaded;
    check(loadPlaylistFile(reloaded, again) >= 1);
    return 0;
}
