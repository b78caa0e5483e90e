#include "playlist/list_files.h"

#include "base/file_name.h"
#include "playlist/entry_location.h"
#include "playlist/foreign_playlist.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>

namespace velmora {

namespace {

// A list larger than this is not read (it would stall the UI).
constexpr qint64 kMaxListBytes = 256LL * 1024 * 1024;

struct ListPlace {
    QString folder;  // full, clean, without a trailing "/"
    QUrl url;        // the list itself, for XSPF's relative URIs
};

// Where one reading of an entry points.
struct Place {
    QString path;         // a full local path, or the stream's URL
    bool stream = false;
};

std::optional<Place> resolveLocation(const QString& location, ForeignFormat format, const ListPlace& list)
{
    if (format == ForeignFormat::Xspf) {
        const QUrl url = list.url.resolved(QUrl(location, QUrl::TolerantMode));
        if (isStreamUrl(url.toString()))
            return Place{url.toString(), true};
        const std::optional<QString> local = localFileOfUrl(url);
        return local ? std::optional<Place>(Place{*local}) : std::nullopt;
    }
    switch (locationKind(location)) {
    case LocationKind::File:
        return Place{resolveInPlaylistFolder(location, list.folder)};
    case LocationKind::FileUrl: {
        const std::optional<QString> local = localFileOfUrl(QUrl(location, QUrl::TolerantMode));
        return local ? std::optional<Place>(Place{*local}) : std::nullopt;
    }
    case LocationKind::Stream:
        return Place{location, true};
    case LocationKind::OtherUrl:
        break;
    }
    return std::nullopt;
}

bool isExistingFile(const QString& path)
{
    struct stat st {};
    return ::stat(fileNameBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// Which of a list's files exist: a folder that many entries share is read
// once (its names and kinds) instead of looking up every file in it, which
// makes a large list several times faster to check.
class ExistingFiles {
public:
    static constexpr int kListFolderFrom = 32;  // entries in one folder

    explicit ExistingFiles(const std::vector<std::vector<Place>>& places)
    {
        for (const std::vector<Place>& readings : places) {
            for (const Place& place : readings) {
                if (!place.stream)
                    ++uses_[folderOf(place.path)];
            }
        }
    }

    bool contains(const QString& path)
    {
        const QString folder = folderOf(path);
        if (uses_.value(folder) < kListFolderFrom)
            return isExistingFile(path);
        auto it = folders_.find(folder);
        if (it == folders_.end())
            it = folders_.insert(folder, list(folder));
        const QString name = path.mid(folder.size() + 1);
        if (it->files.contains(name))
            return true;
        // Links and entries of unknown kind are looked up one by one.
        return it->others.contains(name) && isExistingFile(path);
    }

private:
    struct Listing {
        QSet<QString> files;   // regular files
        QSet<QString> others;  // links and entries of unknown kind
    };
    static QString folderOf(const QString& path)
    {
        return path.left(std::max<qsizetype>(path.lastIndexOf(QLatin1Char('/')), 0));
    }
    static Listing list(const QString& folder)
    {
        Listing out;
        DIR* dir = ::opendir(fileNameBytes(folder.isEmpty() ? QStringLiteral("/") : folder).constData());
        if (!dir)
            return out;
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_type == DT_REG)
                out.files.insert(fileNameFromBytes(e->d_name));
            else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN)
                out.others.insert(fileNameFromBytes(e->d_name));
        }
        ::closedir(dir);
        return out;
    }

    QHash<QString, int> uses_;
    QHash<QString, Listing> folders_;
};

std::vector<ForeignEntry> readForeign(const QString& path, ForeignFormat format)
{
    QFile file(path);
    if (file.size() > kMaxListBytes || !file.open(QIODevice::ReadOnly)) {
        qCDebug(lcPlaylist) << "playlist cannot be read or is too large:" << path;
        return {};
    }
    const QByteArray bytes = file.readAll();
    switch (format) {
    case ForeignFormat::M3u:
    case ForeignFormat::M3u8:
        return parseM3u(bytes, format == ForeignFormat::M3u8);
    case ForeignFormat::Pls:
        return parsePls(bytes);
    case ForeignFormat::Xspf:
        return parseXspf(bytes);
    }
    return {};
}

// As a ".pml" loads: a checked group (deep nesting + 1, time 0) named after
// the file, the entries one level inside it.
int loadForeign(PlaylistModel& model, const QString& path, ForeignFormat format, const AddOptions& options,
                ListFileChain& chain)
{
    const int before = model.playlistCount();
    const std::vector<ForeignEntry> entries = readForeign(path, format);
    const int group = model.appendGroup(options.text ? *options.text : entryTextForPath(path), options.nesting + 1,
                                        true, 0);
    const int inner = model.entry(group).deep + 1;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const ListPlace list{playlistFolder(path), QUrl::fromLocalFile(absolute)};
    // Each entry's readings that name a place here, with their titles.
    std::vector<std::vector<Place>> places(entries.size());
    std::vector<std::vector<const QString*>> titles(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto consider = [&](const QString& location, const QString& title) {
            if (std::optional<Place> place = resolveLocation(location, format, list)) {
                places[i].push_back(std::move(*place));
                titles[i].push_back(&title);
            } else {
                qCDebug(lcPlaylist) << "not a local file or stream, skipped:" << location;
            }
        };
        consider(entries[i].location, entries[i].title);
        for (const ForeignReading& other : entries[i].alternatives)
            consider(other.location, other.title);
    }
    ExistingFiles existing(places);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // The first reading that is an existing file; failing that, the
        // first stream.
        std::optional<std::size_t> chosen;
        for (std::size_t r = 0; r < places[i].size() && !chosen; ++r) {
            if (!places[i][r].stream && existing.contains(places[i][r].path))
                chosen = r;
        }
        for (std::size_t r = 0; r < places[i].size() && !chosen; ++r) {
            if (places[i][r].stream)
                chosen = r;
        }
        if (!chosen) {
            qCDebug(lcPlaylist) << "missing file skipped:" << entries[i].location;
            continue;
        }
        const Place& place = places[i][*chosen];
        AddOptions at = AddOptions::at(inner);
        if (!titles[i][*chosen]->isEmpty())
            at.withText(*titles[i][*chosen]);
        if (!place.stream && isListFilePath(place.path))
            loadListFile(model, place.path, at, &chain);
        else
            model.addPath(place.path, at);
    }
    return model.playlistCount() - before;
}

}  // namespace

bool isListFilePath(const QString& path) { return isPlaylistFilePath(path) || foreignFormatOf(path).has_value(); }

bool ListFileChain::enter(const QString& path)
{
    const QFileInfo info(path);
    QString key = info.canonicalFilePath();
    if (key.isEmpty())
        key = QDir::cleanPath(info.absoluteFilePath());
    if (std::find(files_.begin(), files_.end(), key) != files_.end()) {
        qCDebug(lcPlaylist) << "playlist includes itself, skipped:" << path;
        return false;
    }
    if (static_cast<int>(files_.size()) >= kMaxPlaylistNesting) {
        qCDebug(lcPlaylist) << "playlists nested too deep, skipped:" << path;
        return false;
    }
    files_.push_back(std::move(key));
    return true;
}

int loadListFile(PlaylistModel& model, const QString& path, const AddOptions& options, ListFileChain* chain)
{
    ListFileChain own;
    ListFileChain& files = chain ? *chain : own;
    if (!files.enter(path))
        return 0;
    PlaylistModel::Batch batch(model);
    const std::optional<ForeignFormat> format = foreignFormatOf(path);
    const int added = format ? loadForeign(model, path, *format, options, files)
                             : loadPlaylistFile(model, path, options, files);
    files.leave();
    return added;
}

}  // namespace velmora
