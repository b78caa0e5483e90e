// The entry point of libvelmora-media.so (see media_module_api.h).

#include "media/av_clip_tags.h"
#include "media/av_length_probe.h"
#include "media/media_module_api.h"
#include "media/mpv_engine.h"

#include <QThread>

namespace {

velmora::MediaEngine* createEngine(const velmora::MpvEngineOptions& options, QThread* owner)
{
    auto* engine = new velmora::MpvEngine(options);
    if (owner)
        engine->moveToThread(owner);
    return engine;
}

velmora::LengthProbe* createLengthProbe(int threads, QThread* owner)
{
    velmora::AvLengthProbe::Options options;
    options.threads = threads;
    auto* probe = new velmora::AvLengthProbe(options);
    if (owner)
        probe->moveToThread(owner);
    return probe;
}

const velmora::MediaModuleApi kApi{velmora::kMediaModuleVersion, &createEngine, &createLengthProbe, &velmora::readClipTags};

}  // namespace

extern "C" __attribute__((visibility("default"))) const velmora::MediaModuleApi* velmora_media_module()
{
    return &kApi;
}
