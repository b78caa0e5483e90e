#include "media/tag_reader.h"

#include "media/media_module.h"

namespace velmora {

TagReader::TagReader(MediaModule& module, QString coverFolder, QObject* parent)
    : QObject(parent), module_(module), coverFolder_(std::move(coverFolder))
{
    pool_.setMaxThreadCount(1);  // one at a time: answers stay in order
    connect(&module_, &MediaModule::finished, this, &TagReader::moduleLoaded);
}

TagReader::~TagReader() { pool_.waitForDone(); }

void TagReader::request(std::uint64_t requestId, const QString& path)
{
    switch (module_.status()) {
    case MediaModule::Status::NotStarted:
    case MediaModule::Status::Loading:
        waiting_.emplace_back(requestId, path);
        return;
    case MediaModule::Status::Ready:
    case MediaModule::Status::Failed:
        start(requestId, path);
        return;
    }
}

void TagReader::moduleLoaded()
{
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (const auto& [id, path] : waiting)
        start(id, path);
}

void TagReader::start(std::uint64_t requestId, const QString& path)
{
    const MediaModule::ReadClipTags read = module_.readClipTags();
    if (!read) {
        QMetaObject::invokeMethod(this, [this, requestId] { answer(requestId, std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    pool_.start([this, read, requestId, path, folder = coverFolder_] {
        std::optional<ClipTags> tags = read(path, folder);
        // The destructor waits for this run, so `this` is alive here; a
        // queued call to a destroyed reader is dropped.
        QMetaObject::invokeMethod(this, [this, requestId, tags = std::move(tags)] { answer(requestId, tags); },
                                  Qt::QueuedConnection);
    });
}

void TagReader::answer(std::uint64_t requestId, const std::optional<ClipTags>& tags)
{
    if (handler_)
        handler_(requestId, tags);
}

}  // namespace velmora
