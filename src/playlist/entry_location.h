#pragma once
// What an entry's location names. Lists from other players and old ".pml"
// files hold names such as "Re:Zero.mp3" or "C:\Music\a.mp3" beside real
// URLs: only a known scheme followed by "//", or "file:", makes a URL.
// Pure functions, any thread.

#include <QString>
#include <QStringView>

#include <optional>

class QUrl;

namespace velmora {

enum class LocationKind {
    File,      // a path, absolute or relative
    FileUrl,   // "file:..."
    Stream,    // "http://..." or "https://...": played by the engine, never measured
    OtherUrl,  // another known scheme ("ftp://", "rtsp://", ...): not played
};

LocationKind locationKind(QStringView location);

inline bool isStreamUrl(QStringView location) { return locationKind(location) == LocationKind::Stream; }

// The full local path a "file:" URL names (its escaped bytes are the name's
// bytes, whatever they are); none for another host's file or no file URL.
std::optional<QString> localFileOfUrl(const QUrl& url);
// A "file://" URL for a full local path, every byte of the name kept.
QString fileUrlOfPath(const QString& path);

}  // namespace velmora
