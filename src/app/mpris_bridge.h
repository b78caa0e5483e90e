#pragma once
// MprisBridge: the player as the desktop's media controls see it. It
// implements the MPRIS host on the application's real parts, so that each
// desktop command is the operation of a button or key (the controller's
// transport, the volume window's apply, the command handler's add path),
// and passes the player's changes on to the service. Commands press the
// transport directly: the keys' lock-out does not drop them.
//
// UI thread only. Built by the application object after its parts, and
// destroyed before them.

#include "mpris/mpris_host.h"
#include "mpris/mpris_service.h"

#include <QDBusConnection>
#include <QStringList>

#include <functional>
#include <memory>

namespace velmora {

class Velmora;

// The extensions the player says it opens: the engine plays far more, but
// these are the types it is offered for.
QStringList playableExtensions();

class MprisBridge : public mpris::MprisHost {
public:
    MprisBridge(Velmora& app, QDBusConnection bus);
    ~MprisBridge() override;
    MprisBridge(const MprisBridge&) = delete;
    MprisBridge& operator=(const MprisBridge&) = delete;

    bool registered() const { return service_->registered(); }
    mpris::MprisService& service() { return *service_; }

    // --- From the player ---------------------------------------------------
    void stateChanged() { service_->stateChanged(); }
    // The engine's position jumped; the end of a clip is no jump.
    void positionChanged(double oldPosition, double newPosition, double length);

    // --- MprisHost ----------------------------------------------------------
    mpris::PlaybackStatus playbackStatus() const override;
    double position() const override;
    double clipLength() const override;
    double volume() const override;
    int trackCount() const override;
    mpris::Track track(int index) const override;
    int indexOf(std::uint64_t id) const override;
    int currentIndex() const override;
    void play() override;
    void pause() override;
    void playPause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void seekTo(double seconds) override;
    void setVolume(double level) override;
    void openFile(const QString& path) override;
    void goTo(int index) override;
    void raise() override;
    void quit() override;

private:
    Velmora& app_;
    std::unique_ptr<mpris::MprisService> service_;
    int changeHandler_ = 0;
};

}  // namespace velmora
