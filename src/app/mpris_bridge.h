#pragma once
// MprisBridge: the player as the desktop's media controls see it. It
// implements the MPRIS host on the application's real parts, so that each
// desktop command is the operation of a button or key (the controller's
// transport, the volume window's apply, the command handler's add path),
// and passes the player's changes on to the service. Commands press the
// transport directly: the keys' lock-out does not drop them.
//
// It takes only the parts it uses. UI thread only. Built by the
// application object after those parts, and destroyed before them.

#include "media/tag_reader.h"
#include "mpris/mpris_host.h"
#include "mpris/mpris_service.h"
#include "playback/playback_state.h"

#include <QDBusConnection>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace velmora {

class MediaEngine;
class MediaModule;
class PlaybackController;
class PlaylistModel;
class SeekBar;
class VolumeControl;

// The extensions the player says it opens: the engine plays far more, but
// these are the types it is offered for.
QStringList playableExtensions();

class MprisBridge : public mpris::MprisHost {
public:
    struct Parts {
        PlaybackController& controller;
        PlaylistModel& playlist;
        MediaEngine& engine;
        MediaModule& media;  // its tag reader
        VolumeControl& volume;
        SeekBar& seekBar;
        std::function<void(const QString& commandText)> openCommand;  // as the desktop's open (CommandOrigin::Desktop)
        std::function<void(int index)> openEntry;  // as a double click on its row
        std::function<void()> raise;               // the main window to the front
        std::function<void()> quit;                // the tray's exit
    };

    MprisBridge(Parts parts, QDBusConnection bus);
    // The bridge on the bus at busAddress (empty: the session bus), on a
    // connection of its own that goes with it; null when the name cannot
    // be had (the program runs without desktop controls then).
    static std::unique_ptr<MprisBridge> publish(Parts parts, const QString& busAddress);
    ~MprisBridge() override;
    MprisBridge(const MprisBridge&) = delete;
    MprisBridge& operator=(const MprisBridge&) = delete;

    bool registered() const { return service_->registered(); }
    mpris::MprisService& service() { return *service_; }

    // --- From the player ---------------------------------------------------
    void stateChanged();
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
    void step(TransportButton button);

    Parts app_;
    QString connectionName_;  // the connection publish() made, closed last
    std::unique_ptr<mpris::MprisService> service_;
    int changeHandler_ = 0;
    // Next or Previous while paused: the entry that was paused; the clip
    // the step opens is paused as it starts (MPRIS keeps a paused player
    // paused). 0: none.
    std::uint64_t pausedStepFrom_ = 0;
    // Tags are read for the clips the desktop is shown, once each; track()
    // asks for them as the service looks at an entry.
    std::unique_ptr<TagReader> tagReader_;
    mutable std::unordered_map<std::uint64_t, ClipTags> tags_;  // by entry id; read
    mutable std::unordered_set<std::uint64_t> asked_;            // asked, maybe not yet read
};

}  // namespace velmora
