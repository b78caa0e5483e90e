#include "playlist/playlist_file.h"

#include "playlist/playlist_log.h"
#include "skin/profile_document.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
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
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// Longer values than a path can be are not clip paths; longer texts are cut.
constexpr qsizetype kMaxValueLength = 4096;
// A playlist file larger than this is not read (it would stall the UI).
constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;

QString fileSection(int files) { return QStringLiteral("file%1").arg(files); }
QString groupSection(int files, int group) { return QStringLiteral("file%1meta%2").arg(files).arg(group); }

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

class Loader {
public:
    explicit Loader(PlaylistModel& model) : model_(model) {}

    // Appends the group for the file at path and its contents; the number of
    // entries added.
    int load(const QString& path, int nesting, const QString& text);

private:
    struct Place {
        int container = 0;  // deep of the group holding the file's contents
        int open = 0;       // deepest open group so far, relative to the container
    };
    void loadVersion4(const ProfileDocument& doc, const QString& path, Place& place);
    void loadOlderLayout(const ProfileDocument& doc, const QString& path, Place& place);
    // One file entry (or nested playlist) at the stored nesting.
    void addFile(const QString& stored, const QString& playlistPath, int relativeDeep, const QString& text,
                 bool checked, Place& place);
    int fileCount(const ProfileDocument& doc) const;

    PlaylistModel& model_;
    std::vector<QString> chain_;  // the playlist files being loaded, outermost first
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

QString readText(const ProfileDocument& doc, const QString& section)
{
    return doc.readKey(section, kText).left(kMaxValueLength);
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
    QString key = info.canonicalFilePath();
    if (key.isEmpty())
        key = QDir::cleanPath(info.absoluteFilePath());
    if (std::find(chain_.begin(), chain_.end(), key) != chain_.end()) {
        qCDebug(lcPlaylist) << "playlist includes itself, skipped:" << path;
        return 0;
    }
    if (static_cast<int>(chain_.size()) >= kMaxPlaylistNesting) {
        qCDebug(lcPlaylist) << "playlists nested too deep, skipped:" << path;
        return 0;
    }
    const int before = model_.playlistCount();
    ProfileDocument doc;
    if (info.size() <= kMaxFileBytes)
        doc = ProfileDocument::fromFile(path);
    else
        qCDebug(lcPlaylist) << "playlist file too large, read as empty:" << path;
    // 2. The group that holds the loaded entries.
    const int group = model_.appendGroup(text, nesting + 1, true, 0);
    Place place{model_.entry(group).deep, 0};
    chain_.push_back(key);
    // 3. Version 4, or the older layout for any other version.
    if (parseWhole(doc.readKey(kMain, kVersion)) == 4)
        loadVersion4(doc, path, place);
    else
        loadOlderLayout(doc, path, place);
    chain_.pop_back();
    return model_.playlistCount() - before;
}

void Loader::loadVersion4(const ProfileDocument& doc, const QString& path, Place& place)
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
            const QString section = groupSection(s, k);
            if (!doc.hasSection(section)) {
                meta = false;  // the run of groups ends where its sections do
                continue;
            }
            const int r = fitDeep(doc.readKey(section, kDeep), true, place.open);
            const int g = model_.appendGroup(readText(doc, section), place.container + r,
                                             parseFlag(doc.readKey(section, kChecked), true), 0);
            place.open = model_.entry(g).deep - place.container;
            meta = parseFlag(doc.readKey(section, kNextMeta), false);
            continue;
        }
        if (++s > n)
            break;
        k = 0;
        const QString section = fileSection(s);
        if (!doc.hasSection(section))
            continue;
        const int r = fitDeep(doc.readKey(section, kDeep), false, place.open);
        addFile(doc.readKey(section, kPath), path, r, readText(doc, section),
                parseFlag(doc.readKey(section, kChecked), true), place);
        meta = parseFlag(doc.readKey(section, kNextMeta), false);
    }
}

void Loader::loadOlderLayout(const ProfileDocument& doc, const QString& path, Place& place)
{
    // 7. Files only, all directly inside the new group and checked.
    const int n = fileCount(doc);
    for (int i = 1; i <= n; ++i) {
        const QString section = fileSection(i);
        if (doc.hasSection(section))
            addFile(doc.readKey(section, kPath), path, 1, readText(doc, section), true, place);
    }
}

void Loader::addFile(const QString& stored, const QString& playlistPath, int relativeDeep, const QString& text,
                     bool checked, Place& place)
{
    if (stored.isEmpty() || stored.size() > kMaxValueLength) {
        qCDebug(lcPlaylist) << "entry without a usable path skipped in" << playlistPath;
        return;
    }
    // 6. Stored paths are relative to the playlist's folder unless full.
    const QString clip = resolvePlaylistPath(stored, playlistPath);
    const int nesting = place.container + relativeDeep;
    if (isPlaylistFilePath(clip))
        load(clip, nesting, text);
    else
        model_.addPath(clip, AddOptions::at(nesting).withText(text).withChecked(checked));
    place.open = relativeDeep - 1;
}

}  // namespace

bool isPlaylistFilePath(const QString& path)
{
    return path.right(4).compare(QLatin1String(".pml"), Qt::CaseInsensitive) == 0;
}

int loadPlaylistFile(PlaylistModel& model, const QString& path, const AddOptions& options)
{
    PlaylistModel::Batch batch(model);
    Loader loader(model);
    return loader.load(path, options.nesting, options.text ? *options.text : entryTextForPath(path));
}

bool savePlaylistFile(const PlaylistModel& model, const QString& path)
{
    const int count = model.playlistCount();
    int groups = 0;
    for (int c = 2; c <= count; ++c)
        groups += model.entry(c).isGroup() ? 1 : 0;
    auto flag = [](bool on) { return on ? kTrue : kFalse; };

    // One document written whole; it replaces the old file only once complete.
    ProfileDocument doc;
    doc.writeKey(kMain, kFiles, QString::number(count > 0 ? count - 1 - groups : 0));
    doc.writeKey(kMain, kVersion, QStringLiteral("4"));
    if (count >= 2 && model.entry(2).isGroup())
        doc.writeKey(kMain, kNextMeta, kTrue);
    int g = 1;  // groups so far, plus the root
    int k = 0;  // groups since the last file
    for (int c = 2; c <= count; ++c) {
        const PlaylistEntry& e = model.entry(c);
        QString section;
        if (e.isGroup()) {
            ++g;
            ++k;
            section = groupSection(c - g, k);
        } else {
            k = 0;
            section = fileSection(c - g);
            doc.writeKey(section, kPath, ProfileDocument::quoteForWrite(relativePlaylistPath(e.path, path)));
        }
        doc.writeKey(section, kText, ProfileDocument::quoteForWrite(e.text));
        doc.writeKey(section, kChecked, flag(e.checked));
        doc.writeKey(section, kDeep, QString::number(e.deep));
        if (c < count && model.entry(c + 1).isGroup())
            doc.writeKey(section, kNextMeta, kTrue);
    }
    if (!doc.saveTo(path)) {
        qCDebug(lcPlaylist) << "cannot write playlist" << path;
        return false;
    }
    return true;
}

QString relativePlaylistPath(const QString& clipPath, const QString& playlistPath)
{
    if (!clipPath.startsWith(QLatin1Char('/')))
        return clipPath;  // not a path of this system (say, a drive letter): kept whole
    const QStringList clip = QDir::cleanPath(clipPath).split(QLatin1Char('/'));
    const QStringList list = QDir::cleanPath(QFileInfo(playlistPath).absoluteFilePath()).split(QLatin1Char('/'));
    // 1. The first differing component; the file names always differ.
    const qsizetype limit = std::min(clip.size(), list.size()) - 1;
    qsizetype i = 0;
    while (i < limit && clip[i] == list[i])
        ++i;
    // 2. Nothing shared but "/": the full path.
    if (i <= 1)
        return clipPath;
    // 3. One "../" per folder of the playlist below the shared part.
    QString out;
    for (qsizetype up = list.size() - 1 - i; up > 0; --up)
        out += QLatin1String("../");
    return out + clip.mid(i).join(QLatin1Char('/'));
}

QString resolvePlaylistPath(const QString& storedPath, const QString& playlistPath)
{
    if (storedPath.size() >= 2 && storedPath[1] == QLatin1Char(':') && storedPath[0].isLetter())
        return storedPath;  // from the older platform: kept as it stands
    QString path = storedPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path = QFileInfo(playlistPath).absolutePath() + QLatin1Char('/') + path;
    return QDir::cleanPath(path);
}

}  // namespace velmora
