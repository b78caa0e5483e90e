#include "app/desktop_wiring.h"

#include "app/mpris_bridge.h"
#include "app/options_window.h"
#include "app/playback_wiring.h"
#include "app/playlist_wiring.h"
#include "appbar/toolbar.h"
#include "media/media_module.h"
#include "options/options_form.h"
#include "shell/tray_icon.h"
#include "skin/skinned_windows.h"
#include "video/play_form.h"
#include "volume/volume_control.h"

#include <QPixmapCache>
#include <QSystemTrayIcon>
#include <QTimer>

#include <malloc.h>

namespace velmora {

DesktopWiring::DesktopWiring(Parts parts) : parts_(std::move(parts))
{
    PlaybackController& controller = parts_.playback.controller();
    TrayIcon::Hooks trayHooks;
    trayHooks.playPause = [&controller] { controller.playPause(); };
    trayHooks.press = [&controller](TransportButton button) { controller.press(button); };
    trayHooks.restore = [this] { restoreFromTray(); };
    trayHooks.hidden = [this] { return hiddenToTray_; };
    trayHooks.exitProgram = [this] { parts_.exitProgram(); };
    tray_ = std::make_unique<TrayIcon>(trayHooks);

    // The toolbar's buttons are the main window's transport buttons.
    Toolbar::Hooks toolbarHooks;
    toolbarHooks.press = [&controller](TransportButton button) { controller.press(button); };
    toolbarHooks.keys = &parts_.playback.keys();
    toolbar_ = std::make_unique<Toolbar>(std::move(toolbarHooks));

    options_ = std::make_unique<OptionsWindow>(OptionsWindow::Parts{
        parts_.settings, *tray_, *toolbar_, parts_.playback.windows(), parts_.fileTypes, parts_.defaultSkinFolder});
    connect(&parts_.playback.video(), &PlayForm::optionsItemTriggered, options_.get(), &OptionsWindow::show);

    connect(&controller, &PlaybackController::stateChanged, this, [this, &controller] {
        tray_->showPlayback(controller.state());
        toolbar_->showPlayback(controller.state());
        stateChanged();
    });
    connect(&parts_.playback.volume(), &VolumeControl::volumeApplied, this, &DesktopWiring::stateChanged);
    connect(&controller, &PlaybackController::clipStarted, this, &DesktopWiring::stateChanged);
    connect(&controller, &PlaybackController::wentIdle, this, &DesktopWiring::stateChanged);
    connect(&parts_.playback, &PlaybackWiring::positionChanged, this,
            [this](double oldPosition, double newPosition, double length) {
                if (mpris_)
                    mpris_->positionChanged(oldPosition, newPosition, length);
            });
}

DesktopWiring::~DesktopWiring() = default;

void DesktopWiring::stateChanged()
{
    if (mpris_)
        mpris_->stateChanged();
}

void DesktopWiring::publish(const QString& busAddress)
{
    PlaybackWiring& playback = parts_.playback;
    PlaylistWiring& lists = parts_.lists;
    MprisBridge::Parts parts{playback.controller(),
                             parts_.playlist,
                             parts_.media.engine(),
                             parts_.media,
                             playback.volume(),
                             playback.seekBar(),
                             [&lists](const QString& text) { lists.commands().submit(text, CommandOrigin::Desktop); },
                             [&lists](int index) { lists.openEntry(index); },
                             [this, &playback] {
                                 restoreFromTray();
                                 MainForm& main = playback.windows().mainForm();
                                 main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
                                 main.raise();
                                 main.activateWindow();
                             },
                             [this] { parts_.exitProgram(); }};
    mpris_ = MprisBridge::publish(std::move(parts), busAddress);
}

bool DesktopWiring::trayIconOnScreen() const
{
    return tray_->shown() &&
           (parts_.notificationArea ? parts_.notificationArea() : QSystemTrayIcon::isSystemTrayAvailable());
}

void DesktopWiring::hideToTray()
{
    if (hiddenToTray_)
        return;  // hidden already: keep what was shown for the restore
    hiddenToTray_ = true;
    SkinnedWindows& windows = parts_.playback.windows();
    windows.recordVisibility();
    parts_.lists.hideAddForm();
    if (OptionsForm* form = options_->form())
        form->hide();
    windows.playlistForm().hide();
    windows.volumeForm().hide();
    windows.mainForm().hide();
    if (!parts_.media.engine().hasClip())
        QTimer::singleShot(0, this, &DesktopWiring::releaseMemory);
}

// Hidden by Close with nothing loaded: what can be rebuilt goes back to
// the system (pictures Qt keeps for reuse, and the allocator's free pages).
void DesktopWiring::releaseMemory()
{
    if (!hiddenToTray_ || parts_.media.engine().hasClip())
        return;
    QPixmapCache::clear();
    ::malloc_trim(0);
}

void DesktopWiring::restoreFromTray()
{
    if (!hiddenToTray_)
        return;
    hiddenToTray_ = false;
    parts_.playback.windows().showRecorded();
    parts_.playback.video().returnFromBelowScreen();
    parts_.playback.windows().mainForm().show();
}

}  // namespace velmora
