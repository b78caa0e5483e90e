#pragma once
// MediaEngine: the playback engine the program drives. LengthProbe
// (media/length_probe.h) measures clip lengths without playing them.
//
// Both are plain abstract classes (no QObject, no symbols outside their
// headers), so that the real implementations can live in a module loaded at
// run time while the program, the controller and the fakes use only the
// headers. Notifications reach one listener, always on the UI thread.
//
// Units: positions and lengths in seconds; volume and balance in hundredths
// of a decibel (volume 0 loudest, more negative quieter; balance negative
// left, positive right), the values of the volume tables.

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace velmora {

class MediaEngineListener {
public:
    virtual ~MediaEngineListener() = default;
    // Opening finished, successfully or not (a failed open reads back an
    // empty fileName()).
    virtual void engineOpenComplete() = 0;
    // The position jumped; the end of a clip is reported as
    // (old = length, new = 0).
    virtual void enginePositionChange(double oldPosition, double newPosition) = 0;
    // Periodic tick while a clip plays.
    virtual void engineTick() = 0;
    // A key pressed while the engine's display has the focus.
    virtual void engineKeyPressed(int keyCode, int shift) = 0;
};

class MediaEngine {
public:
    // state(): nothing loaded, playing, or something else.
    static constexpr int kNothingLoaded = -1;
    static constexpr int kStopped = 0;
    static constexpr int kPaused = 1;
    static constexpr int kPlaying = 2;

    virtual ~MediaEngine() = default;

    virtual void setListener(MediaEngineListener* listener) = 0;

    // Starts opening the clip (never blocks); an empty path closes the
    // current one. engineOpenComplete() follows; a failed open makes
    // fileName() read back empty.
    virtual void setFileName(const QString& path) = 0;
    virtual QString fileName() const = 0;
    // A clip is loaded (or loading).
    bool hasClip() const { return !fileName().isEmpty(); }

    virtual void run() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual int state() const = 0;

    virtual double position() const = 0;
    virtual void setPosition(double seconds) = 0;
    virtual double length() const = 0;

    virtual void setVolume(int hundredthsDb) = 0;
    virtual void setBalance(int hundredthsDb) = 0;

    // Full screen belongs to the host window; the engine keeps the flag and
    // tells the host through the callback set here.
    virtual bool fullScreen() const = 0;
    virtual void setFullScreen(bool on) = 0;
    virtual void setFullScreenHandler(std::function<void(bool)> handler) = 0;

    // Size of the display in pixels: set to 2 x 23 before each open; after
    // opening a clip with a picture it is the picture's size.
    virtual int displayWidth() const = 0;
    virtual int displayHeight() const = 0;
    virtual void setDisplaySize(int width, int height) = 0;

    // The native window the picture is drawn into (0: none).
    virtual void setVideoWindow(std::uintptr_t windowId) = 0;
};

}  // namespace velmora
