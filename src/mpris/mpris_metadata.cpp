#include "mpris/mpris_metadata.h"

#include "base/file_name.h"

#include <QHash>
#include <QMimeDatabase>
#include <QUrl>

#include <algorithm>
#include <set>

namespace velmora::mpris {

namespace {

const QString kTrackPrefix = QStringLiteral("/org/velmora4/Track/");

}  // namespace

QString playbackStatusName(PlaybackStatus status)
{
    switch (status) {
    case PlaybackStatus::Playing:
        return QStringLiteral("Playing");
    case PlaybackStatus::Paused:
        return QStringLiteral("Paused");
    case PlaybackStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QDBusObjectPath noTrackPath() { return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")); }

QDBusObjectPath trackPath(std::uint64_t id) { return QDBusObjectPath(kTrackPrefix + QString::number(id)); }

std::optional<std::uint64_t> trackIdOf(const QDBusObjectPath& path)
{
    const QString text = path.path();
    if (!text.startsWith(kTrackPrefix))
        return std::nullopt;
    bool ok = false;
    const std::uint64_t id = QStringView(text).mid(kTrackPrefix.size()).toULongLong(&ok);
    if (!ok || id == 0)
        return std::nullopt;
    return id;
}

QVariantMap trackMetadata(const Track& track)
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackPath(track.id)));
    map.insert(QStringLiteral("xesam:title"), track.title);
    if (!track.isGroup()) {
        map.insert(QStringLiteral("xesam:url"), fileUrl(track.path));
        if (track.lengthUs >= 0)
            map.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(track.lengthUs));
        if (!track.artist.isEmpty())
            map.insert(QStringLiteral("xesam:artist"), QStringList{track.artist});
        if (!track.album.isEmpty())
            map.insert(QStringLiteral("xesam:album"), track.album);
        if (track.trackNumber > 0)
            map.insert(QStringLiteral("xesam:trackNumber"), track.trackNumber);
        if (!track.artPath.isEmpty())
            map.insert(QStringLiteral("mpris:artUrl"), fileUrl(track.artPath));
    }
    return map;
}

QString fileUrl(const QString& path)
{
    const QStringView scheme = QStringView(path).left(std::max<qsizetype>(0, path.indexOf(QLatin1String("://"))));
    if (scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0
        || scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        return path;  // a stream
    if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter()) {
        // The older platform's "C:\x\a.mp3", from an old list.
        QString slashed = path;
        slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QStringLiteral("file:///") + QString::fromLatin1(fileNameBytes(slashed).toPercentEncoding("/:"));
    }
    // The name's own bytes, escaped: a name that is not UTF-8 stays exact.
    return QStringLiteral("file://") + QString::fromLatin1(fileNameBytes(path).toPercentEncoding("/"));
}

QString pathOfFileUrl(const QString& uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return {};
    if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return bytes.startsWith('/') ? fileNameFromBytes(bytes) : QString();
}

std::size_t trackFingerprint(const Track& track)
{
    return qHashMulti(0, track.title, track.path, static_cast<qlonglong>(track.lengthUs), track.artist, track.album,
                      track.trackNumber, track.artPath);
}

QStringList mimeTypesForExtensions(const QStringList& extensions)
{
    const QMimeDatabase db;
    std::set<QString> types;
    for (const QString& ext : extensions) {
        for (const QMimeType& type : db.mimeTypesForFileName(QStringLiteral("x.") + ext)) {
            if (!type.isDefault())
                types.insert(type.name());
        }
    }
    return QStringList(types.begin(), types.end());
}

}  // namespace velmora::mpris
