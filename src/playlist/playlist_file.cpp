#include "playlist/playlist_file.h"

#include "playlist/entry_location.h"

#include "base/file_name.h"

#include "playlist/list_files.h"
#include "playlist/playlist_log.h"
#include "settings/profile_document.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace velmora {

namespace {

const QString kMain = QStringLiteral("main");
const QString kFiles = QStringLiteral("files");
const QString kVersion = QStringLiteral("version");
const QString kNextMeta = QStringLiteral("nextmeta");
const QString kPath = QStringLiteral("path");
const QString kText = QStringLiteral("text");
const QString kChecked = QStringLiteral("checked");
const QString kDeep = QStringLiteral("deep");
const QString kCurrent = QStringLiteral("current");
const QString kPosition = QStringLiteral("position");
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// Longer values than a path can be are not clip paths; longer texts are cut.
constexpr qsizetype kMaxValueLength = 4096;
// A playlist file larger than this is not read (it would stall the UI).
constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;

QString fileSection(int files) { return QLatin1String("file") + QString::number(files); }
QString groupSection(int files, int group)
{
    return QLatin1String("file") + QString::number(files) + QLatin1String("meta") + QString::number(group);
}

std::optional<long long> parseWhole(const QString& text)
{
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

// "True"/"False" in any case, or a number (non-zero is true).
bool parseFlag(const QString& text, bool fallback)
{
    if (text.compare(kTrue, Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(kFalse, Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v != 0 : fallback;
}

// Whether a "/" path holds empty, "." or ".." steps that cleaning removes.
bool needsCleaning(const QString& path)
{
    // A step that begins after a "/" and is empty, "." or "..".
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (path[i] != QLatin1Char('/'))
            continue;
        qsizetype end = i + 1;
        while (end < n && path[end] != QLatin1Char('/'))
            ++end;
        const qsizetype length = end - i - 1;
        if (end < n && length == 0)
            return true;
        if ((length == 1 || length == 2) && path[i + 1] == QLatin1Char('.')
            && (length == 1 || path[i + 2] == QLatin1Char('.')))
            return true;
        i = end - 1;
    }
    return false;
}

QString cleaned(const QString& path) { return needsCleaning(path) ? QDir::cleanPath(path) : path; }

// listPath: the playlist's full, clean path.
QString relativeTo(const QString& clipPath, const QString& listPath)
{
    if (!clipPath.startsWith(QLatin1Char('/')))
        return clipPath;  // not a path of this system (say, a drive letter): kept whole
    if (holdsEscapedBytes(clipPath))
        return fileUrlOfPath(cleaned(clipPath));  // the file is UTF-8: its bytes as a URL
    const QString clip = cleaned(clipPath);
    // 1. The last "/" before the first differing character ends the shared
    // folders; the file names always differ.
    const qsizetype n = std::min(clip.size(), listPath.size());
    qsizetype shared = 0;
    for (qsizetype i = 0; i < n && clip[i] == listPath[i]; ++i) {
        if (clip[i] == QLatin1Char('/'))
            shared = i;
    }
    // 2. Nothing shared but "/": the full path.
    if (shared == 0)
        return clipPath;
    // 3. One "../" per folder of the playlist below the shared part.
    QString out;
    for (qsizetype up = listPath.mid(shared + 1).count(QLatin1Char('/')); up > 0; --up)
        out += QLatin1String("../");
    out += clip.mid(shared + 1);
    // A bare name with a "\" would read back as the older platform's folder
    // and file: a "./" keeps the "\" a character.
    if (!out.contains(QLatin1Char('/')) && out.contains(QLatin1Char('\\')))
        out.prepend(QLatin1String("./"));
    return out;
}

// folder: the playlist's folder, full and without a trailing "/".
QString resolveIn(const QString& storedPath, const QString& folder)
{
    if (storedPath.size() >= 2 && storedPath[1] == QLatin1Char(':') && storedPath[0].isLetter())
        return storedPath;  // from the older platform: kept as it stands
    if (isStreamUrl(storedPath))
        return storedPath;  // a stream is saved as its URL
    if (storedPath.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        // A name that is not UTF-8 is saved as a URL of its bytes.
        const std::optional<QString> local = localFileOfUrl(QUrl(storedPath, QUrl::StrictMode));
        return local ? *local : storedPath;
    }
    // "\" separates only in the older platform's paths, which have no "/";
    // in ours it is a character of a file name.
    QString path = storedPath;
    if (!path.contains(QLatin1Char('/')))
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path = folder + QLatin1Char('/') + path;
    return cleaned(path);
}

QString cleanFullPath(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

class Loader {
public:
    Loader(PlaylistModel& model, ListFileChain& chain) : model_(model), chain_(chain) {}

    // Appends the group for the file at path and its contents; the number of
    // entries added.
    int load(const QString& path, int nesting, const QString& text);
    // Appends the contents of a version-4 file at their own nesting, with no
    // group around them; the document read, for its other keys.
    ProfileDocument loadInPlace(const QString& path);

private:
    struct Place {
        int container = 0;  // deep of the group holding the file's contents
        int open = 0;       // deepest open group so far, relative to the container
    };
    void loadVersion4(const ProfileDocument& doc, const QString& folder, Place& place);
    void loadOlderLayout(const ProfileDocument& doc, const QString& folder, Place& place);
    // One file entry (or nested playlist) at the stored nesting; without a
    // text it is named after its file.
    void addFile(const QString& stored, const QString& folder, int relativeDeep, const std::optional<QString>& text,
                 bool checked, Place& place);
    int fileCount(const ProfileDocument& doc) const;

    PlaylistModel& model_;
    ListFileChain& chain_;  // the list files being loaded, this one included
};

// A stored nesting value made to fit the tree: the kind's parity, inside the
// container, at most one level below the deepest open group. A missing or
// unreadable value places a file beside the previous entry and a group
// beside the innermost open group.
int fitDeep(const QString& stored, bool group, int open)
{
    const std::optional<long long> v = parseWhole(stored);
    long long d = 0;
    if (group) {
        d = v ? *v : std::max(2, open);
        if (d % 2 != 0)
            d -= 1;
        return static_cast<int>(std::clamp<long long>(d, 2, open + 2));
    }
    d = v ? *v : open + 1;
    if (d % 2 == 0)
        d -= 1;
    return static_cast<int>(std::clamp<long long>(d, 1, open + 1));
}

QString readText(const ProfileDocument::SectionView& section)
{
    return section.readKey(kText).left(kMaxValueLength);
}

// A file entry's text; none when its section has no "text" key at all (a
// list written by hand), as opposed to a text saved empty.
std::optional<QString> readFileText(const ProfileDocument& doc, const QString& name,
                                    const ProfileDocument::SectionView& section)
{
    const QString text = readText(section);
    if (text.isEmpty() && !doc.keyNames(name).contains(kText, Qt::CaseInsensitive))
        return std::nullopt;
    return text;
}

int Loader::fileCount(const ProfileDocument& doc) const
{
    // Never more files than sections: "files" cannot make the reader spin.
    const long long n = parseWhole(doc.readKey(kMain, kFiles)).value_or(0);
    return static_cast<int>(std::clamp<long long>(n, 0, doc.sectionCount()));
}

int Loader::load(const QString& path, int nesting, const QString& text)
{
    const QFileInfo info(path);
    const int before = model_.playlistCount();
    ProfileDocument doc;
    if (info.size() <= kMaxFileBytes)
        doc = ProfileDocument::fromFile(path);
    else
        qCDebug(lcPlaylist) << "playlist file too large, read as empty:" << path;
    // 2. The group that holds the loaded entries.
    const int group = model_.appendGroup(text, nesting + 1, true, 0);
    Place place{model_.entry(group).deep, 0};
    // 3. Version 4, or the older layout for any other version.
    const QString folder = QFileInfo(cleanFullPath(path)).path();
    if (parseWhole(doc.readKey(kMain, kVersion)) == 4)
        loadVersion4(doc, folder, place);
    else
        loadOlderLayout(doc, folder, place);
    return model_.playlistCount() - before;
}

ProfileDocument Loader::loadInPlace(const QString& path)
{
    ProfileDocument doc;
    if (QFileInfo(path).size() <= kMaxFileBytes)
        doc = ProfileDocument::fromFile(path);
    Place place{0, 0};
    if (parseWhole(doc.readKey(kMain, kVersion)) == 4)
        loadVersion4(doc, QFileInfo(cleanFullPath(path)).path(), place);
    return doc;
}

void Loader::loadVersion4(const ProfileDocument& doc, const QString& folder, Place& place)
{
    const int n = fileCount(doc);
    // 4-5. Files counted by s, the groups after each file by k; "nextmeta"
    // says whether a group section follows.
    bool meta = parseFlag(doc.readKey(kMain, kNextMeta), false);
    int s = 0;
    int k = 0;
    for (;;) {
        if (meta) {
            ++k;
            const ProfileDocument::SectionView group = doc.section(groupSection(s, k));
            if (!group.exists()) {
                meta = false;  // the run of groups ends where its sections do
                continue;
            }
            const int r = fitDeep(group.readKey(kDeep), true, place.open);
            const int g = model_.appendGroup(readText(group), place.container + r,
                                             parseFlag(group.readKey(kChecked), true), 0);
            place.open = model_.entry(g).deep - place.container;
            meta = parseFlag(group.readKey(kNextMeta), false);
            continue;
        }
        if (++s > n)
            break;
        k = 0;
        const QString name = fileSection(s);
        const ProfileDocument::SectionView file = doc.section(name);
        if (!file.exists())
            continue;
        const int r = fitDeep(file.readKey(kDeep), false, place.open);
        addFile(file.readKey(kPath), folder, r, readFileText(doc, name, file), parseFlag(file.readKey(kChecked), true),
                place);
        meta = parseFlag(file.readKey(kNextMeta), false);
    }
}

void Loader::loadOlderLayout(const ProfileDocument& doc, const QString& folder, Place& place)
{
    // 7. Files only, all directly inside the new group and checked.
    const int n = fileCount(doc);
    for (int i = 1; i <= n; ++i) {
        const QString name = fileSection(i);
        const ProfileDocument::SectionView file = doc.section(name);
        if (file.exists())
            addFile(file.readKey(kPath), folder, 1, readFileText(doc, name, file), true, place);
    }
}

void Loader::addFile(const QString& stored, const QString& folder, int relativeDeep,
                     const std::optional<QString>& text, bool checked, Place& place)
{
    if (stored.isEmpty() || stored.size() > kMaxValueLength) {
        qCDebug(lcPlaylist) << "entry without a usable path skipped in" << folder;
        return;
    }
    // 6. Stored paths are relative to the playlist's folder unless full.
    const QString clip = resolveIn(stored, folder);
    AddOptions options = AddOptions::at(place.container + relativeDeep);
    options.text = text;  // none: the file's name
    if (isListFilePath(clip))
        loadListFile(model_, clip, options, &chain_);
    else
        model_.addPath(clip, options.withChecked(checked));
    place.open = relativeDeep - 1;
}

}  // namespace

bool isPlaylistFilePath(const QString& path)
{
    return path.right(4).compare(QLatin1String(".pml"), Qt::CaseInsensitive) == 0;
}

int loadPlaylistFile(PlaylistModel& model, const QString& path, const AddOptions& options)
{
    ListFileChain chain;
    chain.enter(path);
    return loadPlaylistFile(model, path, options, chain);
}

int loadPlaylistFile(PlaylistModel& model, const QString& path, const AddOptions& options, ListFileChain& chain)
{
    PlaylistModel::Batch batch(model);
    Loader loader(model, chain);
    return loader.load(path, options.nesting, options.text ? *options.text : entryTextForPath(path));
}

namespace {

void writePlaylist(const PlaylistModel& model, const QString& path, ProfileWriter& out, const ListPlace* place)
{
    const int count = model.playlistCount();
    int groups = 0;
    for (int c = 2; c <= count; ++c)
        groups += model.entry(c).isGroup() ? 1 : 0;
    auto flag = [](bool on) { return on ? kTrue : kFalse; };

    // Written whole, then put in place of the old file only once complete.
    const QString listPath = cleanFullPath(path);
    out.section(kMain);
    out.key(kFiles, QString::number(count > 0 ? count - 1 - groups : 0));
    out.key(kVersion, QStringLiteral("4"));
    if (count >= 2 && model.entry(2).isGroup())
        out.key(kNextMeta, kTrue);
    if (place && place->current >= 2 && place->current <= count) {
        out.key(kCurrent, QString::number(place->current - 1));
        out.key(kPosition, QString::number(std::max(0.0, place->position), 'f', 3));
    }
    int g = 1;  // groups so far, plus the root
    int k = 0;  // groups since the last file
    for (int c = 2; c <= count; ++c) {
        const PlaylistEntry& e = model.entry(c);
        if (e.isGroup()) {
            ++g;
            ++k;
            out.section(groupSection(c - g, k));
        } else {
            k = 0;
            out.section(fileSection(c - g));
            out.key(kPath, ProfileDocument::quoteForWrite(relativeTo(e.path, listPath)));
        }
        out.key(kText, ProfileDocument::quoteForWrite(e.text));
        out.key(kChecked, flag(e.checked));
        out.key(kDeep, QString::number(e.deep));
        if (c < count && model.entry(c + 1).isGroup())
            out.key(kNextMeta, kTrue);
    }
}

bool saveWritten(const ProfileWriter& out, const QString& path)
{
    if (!out.saveTo(path)) {
        qCDebug(lcPlaylist) << "cannot write playlist" << path;
        return false;
    }
    return true;
}

}  // namespace

bool savePlaylistFile(const PlaylistModel& model, const QString& path)
{
    ProfileWriter out;
    writePlaylist(model, path, out, nullptr);
    return saveWritten(out, path);
}

bool saveListToRestore(const PlaylistModel& model, const QString& path, ListPlace place)
{
    ProfileWriter out;
    writePlaylist(model, path, out, &place);
    return saveWritten(out, path);
}

ListPlace restoreList(PlaylistModel& model, const QString& path)
{
    if (!model.isEmpty() || !QFileInfo::exists(path))
        return {};
    ListFileChain chain;
    chain.enter(path);
    ProfileDocument doc;
    {
        PlaylistModel::Batch batch(model);
        Loader loader(model, chain);
        doc = loader.loadInPlace(path);
    }
    ListPlace place;
    const long long current = parseWhole(doc.readKey(kMain, kCurrent)).value_or(0) + 1;
    if (current >= 2 && current <= model.playlistCount() && model.entry(int(current)).isFile()) {
        place.current = int(current);
        bool ok = false;
        const double position = doc.readKey(kMain, kPosition).toDouble(&ok);
        place.position = ok && std::isfinite(position) ? std::max(0.0, position) : 0.0;
        // Where the user was: the current entry in the middle of the view.
        model.setScrollOffset(place.current - (model.visibleRows() + 1) / 2);
        model.refresh();
    }
    return place;
}

QString relativePlaylistPath(const QString& clipPath, const QString& playlistPath)
{
    return relativeTo(clipPath, cleanFullPath(playlistPath));
}

QString resolvePlaylistPath(const QString& storedPath, const QString& playlistPath)
{
    return resolveIn(storedPath, playlistFolder(playlistPath));
}

QString playlistFolder(const QString& playlistPath) { return QFileInfo(cleanFullPath(playlistPath)).path(); }

QString resolveInPlaylistFolder(const QString& storedPath, const QString& folder)
{
    return resolveIn(storedPath, folder);
}

}  // namespace velmora
