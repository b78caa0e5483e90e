#pragma once
// TagReader: reads clips' tags (clip_tags.h) one at a time on a worker
// thread of its own, with the media module's reader, and answers on the UI
// thread. Requests made while the module loads wait for it; once it failed
// to load, each is answered nullopt.
//
// UI thread only. The module must outlive the reader; the destructor waits
// for a read still running (one file's headers) and drops the answers not
// yet delivered.

#include "media/clip_tags.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace velmora {

class MediaModule;

class TagReader final : public QObject {
    Q_OBJECT
public:
    using ResultHandler = std::function<void(std::uint64_t requestId, const std::optional<ClipTags>& tags)>;

    TagReader(MediaModule& module, QString coverFolder, QObject* parent = nullptr);
    ~TagReader() override;

    void setResultHandler(ResultHandler handler) { handler_ = std::move(handler); }
    // Queues a read; never blocks. Answers come in request order.
    void request(std::uint64_t requestId, const QString& path);

private:
    void moduleLoaded();
    void start(std::uint64_t requestId, const QString& path);
    void answer(std::uint64_t requestId, const std::optional<ClipTags>& tags);

    MediaModule& module_;
    QString coverFolder_;
    ResultHandler handler_;
    QThreadPool pool_;
    std::deque<std::pair<std::uint64_t, QString>> waiting_;  // while the module loads
};

}  // namespace velmora
