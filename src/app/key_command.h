#pragma once
// KeyCommand: the keys every window of the program answers.
//
// One command per key code; the shift state is not looked at. The transport
// keys press the controller's buttons (acting only as an enabled button
// would). After each key, further keys are ignored for 55 ms (a second key
// within that time is dropped), and not at all while IgnoreKeys is held by
// label editing. UI thread only.

#include "keys/key_sink.h"

#include <QObject>
#include <QTimer>

namespace velmora {

class MediaEngine;
class PlaybackController;
class Settings;
class ClipList;

// What the commands do to the windows.
class KeyCommandHost {
public:
    virtual ~KeyCommandHost() = default;
    virtual bool videoWindowParked() const = 0;
    virtual void setPointerHidden(bool hidden) = 0;
    virtual void bringMainWindowToFront() = 0;
    virtual void setVideoOnTop(bool onTop) = 0;
    virtual void pressVolumeUp() = 0;    // the volume window's VolumeRight
    virtual void pressVolumeDown() = 0;  // the volume window's VolumeLeft
};

class KeyCommand : public QObject, public KeySink {
    Q_OBJECT
public:
    KeyCommand(MediaEngine& engine, PlaybackController& controller, ClipList& clips, Settings& settings,
               KeyCommandHost& host);

    // Performs the command bound to the virtual-key code.
    void press(int keyCode) override;

    // Held by the playlist window while an entry's text is edited.
    void setIgnoreKeys(bool ignore);
    bool ignoreKeys() const { return ignoreKeys_; }
    bool videoOnTop() const { return videoOnTop_; }

private:
    void toggleFullScreen();
    void rememberPosition();
    void restorePosition();
    QString rememberedKey() const;

    MediaEngine& engine_;
    PlaybackController& controller_;
    ClipList& clips_;
    Settings& settings_;
    KeyCommandHost& host_;
    bool ignoreKeys_ = false;
    bool videoOnTop_ = false;
    QTimer keyLockOut_;
};

}  // namespace velmora
