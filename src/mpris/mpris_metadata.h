#pragma once
// The metadata maps, track object paths and MIME types of the MPRIS
// interfaces, built from plain values. Pure functions, any thread.

#include "mpris/mpris_host.h"

#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

#include <cstddef>
#include <optional>

namespace velmora::mpris {

// "Playing", "Paused" or "Stopped".
QString playbackStatusName(PlaybackStatus status);

// "/org/mpris/MediaPlayer2/TrackList/NoTrack": no track.
QDBusObjectPath noTrackPath();
// The object path of a playlist entry: stable for the entry's life.
QDBusObjectPath trackPath(std::uint64_t id);
// The entry of a path made by trackPath(); nullopt for any other path.
std::optional<std::uint64_t> trackIdOf(const QDBusObjectPath& path);

// mpris:trackid, xesam:title, and for a clip xesam:url, mpris:length (when
// known) and what its tags gave (xesam:artist, xesam:album,
// xesam:trackNumber, mpris:artUrl).
QVariantMap trackMetadata(const Track& track);
// A file's "file:" URL and back (empty: not a local file), with the name's
// bytes as they are (base/file_name.h). A stream's URL is its own; a drive
// letter path of the older platform ("C:\x\a.mp3") becomes
// "file:///C:/x/a.mp3".
QString fileUrl(const QString& path);
QString pathOfFileUrl(const QString& uri);
// What the desktop shows of a track, for change detection.
std::size_t trackFingerprint(const Track& track);

// The MIME types of files with these extensions (no dots), sorted, each
// once: what the player says it opens.
QStringList mimeTypesForExtensions(const QStringList& extensions);

}  // namespace velmora::mpris
