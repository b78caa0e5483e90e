#pragma once
// DeferredMediaEngine: the MediaEngine the program holds from the start; it
// stands in for the real engine while the media module loads and forwards
// every call to it afterwards.
//
// Before attach(), calls are kept, not lost: the latest volume, balance,
// video window, display size and full-screen flag, and the open asked for
// last together with what was asked of it since (run, pause, stop,
// position), are handed to the real engine in that order when it arrives.
// Meanwhile an open reads back its file name and state kStopped (opening),
// so a caller that waits for the open-complete keeps waiting without
// blocking. After fail(), every open fails: the file name reads back empty
// and an open-complete follows (queued), so no wait hangs.
// UI thread only. The real engine is not owned and must outlive this object
// or be detached by destroying this first.

#include "media/media_engine.h"

#include <QObject>

#include <functional>
#include <optional>
#include <vector>

namespace velmora {

class DeferredMediaEngine final : public QObject, public MediaEngine {
    Q_OBJECT
public:
    explicit DeferredMediaEngine(QObject* parent = nullptr);

    // Hands everything kept over to `engine` and forwards from now on.
    void attach(MediaEngine* engine);
    // The real engine will not come.
    void fail();
    // The real engine is going (the program ends): nothing is forwarded to
    // it any more, and opens fail as after fail().
    void detach();
    bool attached() const { return engine_ != nullptr; }

    void setListener(MediaEngineListener* listener) override;
    void setFileName(const QString& path) override;
    QString fileName() const override;
    void setNextFileName(const QString& path) override;
    void run() override;
    void pause() override;
    void stop() override;
    int state() const override;
    double position() const override;
    void setPosition(double seconds) override;
    double length() const override;
    void setVolume(int hundredthsDb) override;
    void setBalance(int hundredthsDb) override;
    bool fullScreen() const override;
    void setFullScreen(bool on) override;
    void setFullScreenHandler(std::function<void(bool)> handler) override;
    int displayWidth() const override;
    int displayHeight() const override;
    void setDisplaySize(int width, int height) override;
    void setVideoWindow(std::uintptr_t windowId) override;

private:
    void failOpenLater();
    void keep(std::function<void(MediaEngine&)> call);

    MediaEngine* engine_ = nullptr;
    bool failed_ = false;
    MediaEngineListener* listener_ = nullptr;
    std::function<void(bool)> fullScreenHandler_;

    // Kept until attach().
    QString fileName_;
    std::uint64_t openSerial_ = 0;
    std::vector<std::function<void(MediaEngine&)>> afterOpen_;
    std::optional<int> volume_;
    std::optional<int> balance_;
    std::optional<std::uintptr_t> videoWindow_;
    bool fullScreen_ = false;
    int displayWidth_ = 2;
    int displayHeight_ = 23;
};

}  // namespace velmora
