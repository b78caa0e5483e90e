#pragma once
// MediaModule: loads the media module (libvelmora-media.so, see
// media_module_api.h) at run time, so that the program links neither libmpv
// nor libavformat, and gives the program its engine and length probe at once.
//
// engine() and lengthProbe() are usable from construction: they keep what is
// asked of them until the module is loaded and then forward to the real
// ones (DeferredMediaEngine, DeferredLengthProbe). startLoading() opens the
// module on a worker thread, which also builds the engine and the probe;
// they are handed over on the UI thread. If the module cannot be loaded the
// deferred ones answer every open as failed and every length as unknown.
//
// Use: construct on the UI thread, call startLoading() once the windows are
// up, hand engine() and lengthProbe() to their users. Destroy it after those
// users; the destructor waits for a load still running.

#include "media/clip_tags.h"
#include "media/deferred_length_probe.h"
#include "media/deferred_media_engine.h"
#include "media/mpv_engine_options.h"

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <optional>

class QThread;

namespace velmora {

class MediaModule final : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString moduleFile;  // empty: defaultModuleFile()
        MpvEngineOptions engine;
        int probeThreads = 2;
    };
    enum class Status { NotStarted, Loading, Ready, Failed };

    MediaModule();
    explicit MediaModule(Options options, QObject* parent = nullptr);
    ~MediaModule() override;

    // libvelmora-media.so in the program folder (the executable's folder).
    static QString defaultModuleFile();

    // Starts loading on a worker thread; returns at once. Later calls do nothing.
    void startLoading();
    Status status() const { return status_; }

    // Ends the real engine now (joining its threads), before the window it
    // draws into is destroyed; engine() stays usable and fails every open.
    // Waits for a load still running. The program calls it when it ends.
    void shutDownEngine();

    MediaEngine& engine() { return engine_; }
    LengthProbe& lengthProbe() { return probe_; }
    // The module's tag reading (media_module_api.h), once status() is
    // Ready; null before and after a failed load.
    using ReadClipTags = std::optional<ClipTags> (*)(const QString& path, const QString& coverFolder);
    ReadClipTags readClipTags() const { return readClipTags_; }

signals:
    // Loading ended (on the UI thread); the engine and probe are real from now on when ok.
    void finished(bool ok);

private:
    void load(QThread* owner);
    void adopt();

    Options options_;
    Status status_ = Status::NotStarted;
    bool engineShutDown_ = false;
    DeferredMediaEngine engine_;
    DeferredLengthProbe probe_;
    std::unique_ptr<MediaEngine> realEngine_;
    std::unique_ptr<LengthProbe> realProbe_;
    QThread* loader_ = nullptr;
    ReadClipTags readClipTags_ = nullptr;

    std::mutex madeMutex_;  // guards the three below, written by the loader
    MediaEngine* madeEngine_ = nullptr;
    LengthProbe* madeProbe_ = nullptr;
    ReadClipTags madeReadClipTags_ = nullptr;
    QString loadError_;
};

}  // namespace velmora
