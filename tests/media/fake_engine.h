#pragma once
// FakeEngine: a scripted MediaEngine for tests of code that drives an
// engine (the controller, the video window, the module stand-ins).
//
// Opens answer from a script by path: a path added with addClip() opens with
// that clip's length and picture size, any other path fails (the file name
// then reads back empty). By default the open-complete is queued, like the
// real engine's; with holdOpens(true) it waits for answerOpen(). Only the
// latest open is ever answered; an empty path closes at once and is not
// answered. Tests move the clip on by hand: advance() plays on and ticks,
// endClip() reports the end as (length, 0), seeks report (old, new) queued.
// Every call is recorded in calls() as text ("setFileName /a.mp3", "run",
// "setVolume -300" ...). UI thread only.

#include "media/media_engine.h"

#include <QHash>
#include <QObject>
#include <QStringList>

namespace velmora::test {

class FakeEngine final : public QObject, public MediaEngine {
    Q_OBJECT
public:
    struct Clip {
        double length = 60;
        int width = 0;  // 0: no picture, the display keeps its size
        int height = 0;
    };

    void addClip(const QString& path) { addClip(path, Clip{}); }
    void addClip(const QString& path, Clip clip) { clips_.insert(path, clip); }
    void holdOpens(bool hold) { holdOpens_ = hold; }
    bool openPending() const { return openPending_; }
    // Answers the open in progress now (held or not yet answered).
    void answerOpen();
    // While playing: moves the position on and sends a tick.
    void advance(double seconds);
    void tick();
    // The clip plays to its end: stopped at 0, position change (length, 0).
    void endClip();
    void pressKey(int keyCode, int shift);

    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    int volume() const { return volume_; }
    int balance() const { return balance_; }
    std::uintptr_t videoWindow() const { return videoWindow_; }
    MediaEngineListener* listener() const { return listener_; }

    void setListener(MediaEngineListener* listener) override { listener_ = listener; }
    void setFileName(const QString& path) override;
    QString fileName() const override { return fileName_; }
    void setNextFileName(const QString& path) override;
    const QString& nextFileName() const { return nextFileName_; }
    void run() override;
    void pause() override;
    void stop() override;
    int state() const override { return state_; }
    double position() const override { return position_; }
    void setPosition(double seconds) override;
    double length() const override { return length_; }
    void setVolume(int hundredthsDb) override;
    void setBalance(int hundredthsDb) override;
    bool fullScreen() const override { return fullScreen_; }
    void setFullScreen(bool on) override;
    void setFullScreenHandler(std::function<void(bool)> handler) override { fullScreenHandler_ = std::move(handler); }
    int displayWidth() const override { return displayWidth_; }
    int displayHeight() const override { return displayHeight_; }
    void setDisplaySize(int width, int height) override;
    void setVideoWindow(std::uintptr_t windowId) override;

private:
    QHash<QString, Clip> clips_;
    QStringList calls_;
    MediaEngineListener* listener_ = nullptr;
    std::function<void(bool)> fullScreenHandler_;
    bool holdOpens_ = false;
    bool openPending_ = false;
    int openSerial_ = 0;
    QString fileName_;
    QString nextFileName_;
    int state_ = kNothingLoaded;
    double position_ = 0;
    double length_ = 0;
    int volume_ = 0;
    int balance_ = 0;
    bool fullScreen_ = false;
    int displayWidth_ = 2;
    int displayHeight_ = 23;
    std::uintptr_t videoWindow_ = 0;
};

}  // namespace velmora::test
