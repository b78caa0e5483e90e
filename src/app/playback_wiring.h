#pragma once
// PlaybackWiring: the playing half of the program. It builds, in this
// order, the skinned windows, the video window, the seek controls, the
// volume window, the playback controller and the keyboard commands, and
// last binds the engine to them; each takes references only to what is
// built before it, so the members go in reverse and the engine lets go of
// them first. UI thread only.

#include "app/key_command.h"
#include "playback/playback_controller.h"

#include <QObject>

#include <functional>
#include <memory>

namespace velmora {

class MediaModule;
class PlaylistClips;
class PlayForm;
class ProfileFiles;
class SeekBar;
class SeekControls;
class Settings;
class SkinnedWindows;
class VolumeControl;
class VolumeScale;

class PlaybackWiring : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        ProfileFiles& profiles;
        VolumeScale& volumeScale;
        MediaModule& media;
        PlaylistClips& clips;
        std::function<void()> closeProgram;  // the main window's Close
    };

    explicit PlaybackWiring(Parts parts);
    ~PlaybackWiring() override;

    SkinnedWindows& windows() { return *windows_; }
    PlayForm& video() { return *video_; }
    SeekBar& seekBar();
    VolumeControl& volume() { return *volume_; }
    PlaybackController& controller() { return *controller_; }
    KeyCommand& keys() { return *keys_; }
    // At start: the windows go to their stored places and show, the side
    // windows as they were left.
    void showWindows();
    // The windows' places and the side windows' open flags, into the settings.
    void storePlaces();

signals:
    // The engine's position jumped (before the controller hears of it).
    void positionChanged(double oldPosition, double newPosition, double length);

private:
    class Services;
    class EngineBinding;

    void wireTransport();

    Parts parts_;
    std::unique_ptr<SkinnedWindows> windows_;
    std::unique_ptr<PlayForm> video_;
    std::unique_ptr<SeekControls> seekControls_;
    std::unique_ptr<VolumeControl> volume_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<PlaybackController> controller_;
    std::unique_ptr<KeyCommand> keys_;
    std::unique_ptr<EngineBinding> engineBinding_;
};

}  // namespace velmora
