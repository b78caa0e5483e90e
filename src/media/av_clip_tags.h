#pragma once
// Reading a clip's tags with libavformat (title, artist, album, track
// number) and finding its cover. Blocks while it reads; any thread, any
// number at once.

#include "media/clip_tags.h"

#include <optional>

namespace velmora {

// The tags of the local file at path, from the container's tags and then
// its streams' (Ogg and Opus keep theirs there). An embedded cover is
// written to coverFolder (made when missing) under a name taken from its
// contents, so each picture is written once; without one, "cover.jpg" or
// "folder.jpg" beside the clip (in any letter case) is the cover. nullopt
// when the file cannot be opened.
std::optional<ClipTags> readClipTags(const QString& path, const QString& coverFolder);

}  // namespace velmora
