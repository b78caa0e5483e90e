#include "app/playback_wiring.h"

#include "app/playlist_clips.h"
#include "app/seek_controls.h"
#include "app/video_binding.h"
#include "appbar/x11_window.h"
#include "settings/settings.h"
#include "media/media_module.h"
#include "skin/skinned_windows.h"
#include "skin/trans_img.h"
#include "video/play_form.h"
#include "video/pointer_hiding.h"
#include "volume/volume_control.h"

namespace velmora {

// What the controller and the keyboard commands ask of the windows.
class PlaybackWiring::Services : public PlaybackHost, public KeyCommandHost {
public:
    explicit Services(PlaybackWiring& wiring) : w_(wiring) {}

    // Leaving full screen goes through the engine, so that its flag and the
    // hidden pointer end with it (Escape or the next clip from full screen).
    void parkVideoWindow() override
    {
        MediaEngine& engine = w_.parts_.media.engine();
        if (engine.fullScreen()) {
            engine.setFullScreen(false);
            setPointerHidden(false);
        }
        w_.video_->park();
    }
    void applyVolumeAndBalance() override
    {
        w_.volume_->applyVolume();
        w_.volume_->applyBalance();
    }
    void closeProgram() override { w_.parts_.closeProgram(); }
    void showPointer() override { setPointerHidden(false); }
    void windBack() override { w_.seekControls_->winding().back(); }
    void windForward() override { w_.seekControls_->winding().forward(); }

    bool videoWindowParked() const override { return w_.video_->place() == VideoPlace::Parked; }
    void setPointerHidden(bool hidden) override { pointer_.setHidden(hidden); }
    void bringMainWindowToFront() override
    {
        MainForm& main = w_.windows_->mainForm();
        main.raise();
        main.activateWindow();
    }
    void setVideoOnTop(bool onTop) override { w_.video_->setStaysOnTop(onTop); }
    void pressVolumeUp() override { w_.volume_->pressVolumeUp(); }
    void pressVolumeDown() override { w_.volume_->pressVolumeDown(); }

private:
    PlaybackWiring& w_;
    PointerHiding pointer_;
};

// The engine's notifications, passed on to their rooms: open complete sizes
// the window and continues the controller, position changes end clips,
// ticks move the seek bar, keys go to the keyboard commands. Built last and
// gone first: the engine, the length probe and the windows' keys let go of
// everything else, and libmpv ends before the window it draws into.
class PlaybackWiring::EngineBinding : public MediaEngineListener {
public:
    explicit EngineBinding(PlaybackWiring& wiring) : w_(wiring)
    {
        engine().setListener(this);
        w_.windows_->setKeySink(w_.keys_.get());
        w_.video_->setKeySink(w_.keys_.get());
    }
    ~EngineBinding() override
    {
        w_.windows_->setKeySink(nullptr);
        w_.video_->setKeySink(nullptr);
        engine().setListener(nullptr);
        w_.parts_.media.shutDownEngine();
    }
    EngineBinding(const EngineBinding&) = delete;
    EngineBinding& operator=(const EngineBinding&) = delete;

    void engineOpenComplete() override
    {
        if (engine().hasClip())
            w_.video_->openComplete(QSize(engine().displayWidth(), engine().displayHeight()));
        w_.controller_->onOpenComplete();
    }
    // The engine went on to the next clip without an open: the controller
    // completes the move (parking the video window), then the window takes
    // the new clip's size as after an open.
    void engineMovedOn() override
    {
        w_.controller_->onMovedOn();
        if (!engine().fileName().isEmpty() && !w_.controller_->opening())
            w_.video_->openComplete(QSize(engine().displayWidth(), engine().displayHeight()));
    }
    void enginePositionChange(double oldPosition, double newPosition) override
    {
        emit w_.positionChanged(oldPosition, newPosition, engine().length());
        w_.controller_->onPositionChange(oldPosition, newPosition);
    }
    void engineTick() override
    {
        w_.seekControls_->seekBar().tick();
        w_.controller_->onTick();
    }
    void engineKeyPressed(int keyCode, int) override { w_.keys_->press(keyCode); }

private:
    MediaEngine& engine() { return w_.parts_.media.engine(); }
    PlaybackWiring& w_;
};

PlaybackWiring::PlaybackWiring(Parts parts) : parts_(std::move(parts))
{
    MediaEngine& engine = parts_.media.engine();
    windows_ = std::make_unique<SkinnedWindows>(parts_.settings, parts_.profiles);
    video_ = std::make_unique<PlayForm>();
    engine.setFullScreenHandler([this](bool on) { video_->setFullScreen(on); });
    seekControls_ = std::make_unique<SeekControls>(engine, windows_->mainForm());
    video_->attachEngine(engine);
    bindVideoWindow(*video_, *windows_);
    volume_ = std::make_unique<VolumeControl>(windows_->volumeForm(), parts_.volumeScale, parts_.settings, engine);
    services_ = std::make_unique<Services>(*this);
    controller_ = std::make_unique<PlaybackController>(engine, parts_.clips, parts_.settings, services_.get());
    keys_ = std::make_unique<KeyCommand>(engine, *controller_, parts_.clips, parts_.settings, *services_);
    engineBinding_ = std::make_unique<EngineBinding>(*this);
    video_->setCloseHandler([this] { services_->parkVideoWindow(); });
    video_->setAboveHandler([this](bool above, bool mapped) {
        if (const std::optional<x11::Server> server = x11::qtServer())
            x11::setAbove(*server, static_cast<xcb_window_t>(video_->winId()), above, mapped);
    });
    connect(controller_.get(), &PlaybackController::stateChanged, this,
            [this] { windows_->mainForm().showPlayback(controller_->state()); });
    wireTransport();
}

PlaybackWiring::~PlaybackWiring() = default;

SeekBar& PlaybackWiring::seekBar() { return seekControls_->seekBar(); }

// The windows in their stored places, the side windows open as they were.
void PlaybackWiring::showWindows()
{
    SkinnedWindows& windows = *windows_;
    PlayForm& video = *video_;
    Settings& settings = parts_.settings;
    windows.placeFromSettings();
    video.setRememberedPosition(
        QPoint(qRound(settings.fraction(keys::PlayLeft)), qRound(settings.fraction(keys::PlayTop))));
    windows.placeCompanions();
    windows.applyStartOpacities();
    windows.mainForm().show();
    // The video window starts parked without being mapped: a map followed
    // at once by an unmap loses the race with some window managers
    // (xfwm4), which then show the tiny parked window in a corner.
    video.park();
    const bool volumeOpen = settings.flag(keys::VolumeOpen);
    video.volumeItem().setChecked(volumeOpen);
    windows.volumeForm().setVisible(volumeOpen);
    const bool playlistOpen = settings.flag(keys::PlaylistOpen);
    video.playlistItem().setChecked(playlistOpen);
    windows.playlistForm().setVisible(playlistOpen);
}

void PlaybackWiring::storePlaces()
{
    Settings& settings = parts_.settings;
    const QPoint mainPlace = windows_->mainForm().pos();
    settings.setFraction(keys::Left, mainPlace.x());
    settings.setFraction(keys::Top, mainPlace.y());
    const QPoint videoPlace = video_->placeToStore();
    settings.setFraction(keys::PlayLeft, videoPlace.x());
    settings.setFraction(keys::PlayTop, videoPlace.y());
    settings.setFlag(keys::VolumeOpen, video_->volumeItem().isChecked());
    settings.setFlag(keys::PlaylistOpen, video_->playlistItem().isChecked());
}

// The main window's transport buttons act on a press of any mouse button
// (Back and Forward are the seek controls' winding).
void PlaybackWiring::wireTransport()
{
    using B = TransportButton;
    MainForm& main = windows_->mainForm();
    for (const auto& [name, button] : {std::pair{"Play", B::Play}, std::pair{"Pause", B::Pause},
                                       std::pair{"Stop", B::Stop}, std::pair{"StepForward", B::StepForward},
                                       std::pair{"StepBack", B::StepBack}}) {
        if (TransImg* e = main.element(name))
            connect(e, &TransImg::mouseDown, this, [this, button] { controller_->press(button); });
    }
}

}  // namespace velmora
