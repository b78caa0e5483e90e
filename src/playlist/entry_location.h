#pragma once
// What an entry's location names. Lists from other players and old ".pml"
// files hold names such as "Re:Zero.mp3" or "C:\Music\a.mp3" beside real
// URLs: only a known scheme followed by "//", or "file:", makes a URL.
// Pure functions, any thread.

#include <QStringView>

namespace velmora {

enum class LocationKind {
    File,      // a path, absolute or relative
    FileUrl,   // "file:..."
    Stream,    // "http://..." or "https://...": played by the engine, never measured
    OtherUrl,  // another known scheme ("ftp://", "rtsp://", ...): not played
};

LocationKind locationKind(QStringView location);

inline bool isStreamUrl(QStringView location) { return locationKind(location) == LocationKind::Stream; }

}  // namespace velmora
