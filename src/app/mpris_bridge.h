#pragma once
// MprisBridge: the player as the desktop's media controls see it. It
// implements the MPRIS host on the application's real parts, so that each
// desktop command is the operation of a button or key (the keyboard
// commands, the controller's buttons, the volume window's apply, the
// command handler's add path), and passes the player's changes on to the
// service. ObservedTransport is the main window's transport set as the
// controller drives it, telling the bridge of every change.
//
// UI thread only. Built by the application object after its parts, and
// destroyed before them.

#include "media/tag_reader.h"
#include "mpris/mpris_host.h"
#include "mpris/mpris_service.h"
#include "playback/playback_panels.h"

#include <QDBusConnection>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace velmora {

class Velmora;

class ObservedTransport : public TransportPanel {
public:
    explicit ObservedTransport(TransportPanel& panel) : panel_(panel) {}
    void setObserver(std::function<void()> changed) { changed_ = std::move(changed); }

    void setTransportEnabled(bool on) override;
    void setPauseEnabled(bool on) override;
    bool playEnabled() const override { return panel_.playEnabled(); }
    bool pauseEnabled() const override { return panel_.pauseEnabled(); }
    void setTimeText(const QString& text) override { panel_.setTimeText(text); }
    void setCurrentTimeText(const QString& text) override { panel_.setCurrentTimeText(text); }
    void resetSeekKnob() override { panel_.resetSeekKnob(); }

private:
    TransportPanel& panel_;
    std::function<void()> changed_;
};

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

    // Where embedded covers are written: the user's cache folder.
    static QString coverFolder();

private:
    void tagsRead(std::uint64_t id, const std::optional<ClipTags>& tags);

    Velmora& app_;
    std::unique_ptr<mpris::MprisService> service_;
    int changeHandler_ = 0;
    // Tags are read for the clips the desktop is shown, once each; track()
    // asks for them as the service looks at an entry.
    std::unique_ptr<TagReader> tagReader_;
    mutable std::unordered_map<std::uint64_t, ClipTags> tags_;  // by entry id; read
    mutable std::unordered_set<std::uint64_t> asked_;            // asked, maybe not yet read
};

}  // namespace velmora
