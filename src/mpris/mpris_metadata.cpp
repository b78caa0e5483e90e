#include "mpris/mpris_metadata.h"

#include "base/file_name.h"

#include <QHash>
#include <QMimeDatabase>
#include <QUrl>

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
    }
    return map;
}

QString fileUrl(const QString& path)
{
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
    return qHashMulti(0, track.title, track.path, static_cast<qlonglong>(track.lengthUs));
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
