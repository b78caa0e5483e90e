#pragma once
// ClipTags: what a clip's tags say of it, for the desktop's media controls.
// Plain data; read by the media module (av_clip_tags.h) off the UI thread.

#include <QString>

namespace velmora {

struct ClipTags {
    QString title;    // empty: no tag (the entry's text stands)
    QString artist;
    QString album;
    int trackNumber = 0;  // 0: none
    // A picture of the clip's cover: the one embedded in the file, written
    // once to the cover folder, or a "cover.jpg"/"folder.jpg" beside it.
    QString artPath;
    bool operator==(const ClipTags&) const = default;
};

}  // namespace velmora
