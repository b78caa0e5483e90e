#pragma once
// The entry point of the media module, libvelmora-media.so: the shared
// library that holds the libmpv engine and the libavformat length probe, so
// that the program itself links neither (both pull in hundreds of shared
// libraries and would slow every start). MediaModule (media_module.h) opens
// it with QLibrary on a worker thread and resolves kMediaModuleEntry.
//
// Both factories may run on any thread; they build the object there and move
// it to `owner` (the UI thread), where it must then be used and destroyed.
// The objects' code lives in the module, which therefore stays loaded for
// the rest of the process.

#include "media/clip_tags.h"
#include "media/length_probe.h"
#include "media/media_engine.h"
#include "media/mpv_engine_options.h"

class QThread;

namespace velmora {

inline constexpr int kMediaModuleVersion = 2;
inline constexpr char kMediaModuleEntry[] = "velmora_media_module";

struct MediaModuleApi {
    int version;  // kMediaModuleVersion of the module's build
    // Never null: an engine whose libmpv failed to start fails every open.
    MediaEngine* (*createEngine)(const MpvEngineOptions& options, QThread* owner);
    // A probe measuring on `threads` worker threads.
    LengthProbe* (*createLengthProbe)(int threads, QThread* owner);
    // A clip's tags (av_clip_tags.h); blocks while it reads, any thread.
    std::optional<ClipTags> (*readClipTags)(const QString& path, const QString& coverFolder);
};

using MediaModuleEntry = const MediaModuleApi* (*)();

}  // namespace velmora
