#pragma once
// Velmora: the application object. It owns everything program-wide: the
// settings, the file types with their desktop associations, the profile-file
// cache, the volume tables, the media module and the playlist, then the
// three wirings built on them in order (playback, the list's, the desktop's)
// and the channel. Members are declared in the order they are built, so
// they go in reverse. Any number of instances can live side by side in a
// test. UI thread only.
//
// Life: construct, start() with the kind of start, run the event loop until
// ended() (the closing fade finished), destroy.

#include "app/command_handler.h"
#include "app/desktop_wiring.h"
#include "app/key_command.h"
#include "app/playback_wiring.h"
#include "app/playlist_clips.h"
#include "app/playlist_wiring.h"
#include "channel/command_line.h"
#include "media/media_module.h"
#include "playback/playback_controller.h"
#include "playlist/adding/file_filter.h"
#include "playlist/playlist_model.h"
#include "settings/profile_files.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "shell/class_root.h"
#include "shell/file_types.h"
#include "shell/shell_registration.h"
#include "shell/type_icons.h"
#include "volume/volume_scale.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QTranslator;

namespace velmora {

namespace channel {
class InstanceLock;
}
class DesktopProjection;
class FreedesktopProjection;
class InstanceServer;
class PlayForm;
class SkinnedWindows;
class Toolbar;
class TrayIcon;
class VolumeControl;

class Velmora : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString configFolder;   // empty: userConfigFolder()
        QString programFolder;  // empty: programDataFolder() of the executable's folder
        MediaModule::Options media;
        // Where the file classes and folder actions go; null: the user's
        // freedesktop folders ($XDG_DATA_HOME, $XDG_CONFIG_HOME).
        DesktopProjection* desktop = nullptr;
        // The desktop's media controls (MPRIS): nullopt none, empty the
        // session bus, otherwise the address of the bus to use.
        std::optional<QString> mprisBus;
        // Whether the desktop shows a notification area; null: Qt's answer.
        std::function<bool()> notificationArea;
    };

    Velmora();
    explicit Velmora(Options options);
    ~Velmora() override;
    Velmora(const Velmora&) = delete;
    Velmora& operator=(const Velmora&) = delete;

    // The maintenance verbs "uninstall" and "init": the settings (and what
    // they hold) go back to nothing or to their first-run state. Needs no
    // display and builds no window; the program ends afterwards.
    void maintain(channel::StartKind kind);
    // A normal start after the instance test: shows the windows and hands
    // the command line to the handler. lock: the instance lock the channel
    // listens under (null: no channel). Returns true: the event loop runs.
    bool start(const QString& commandText, const channel::InstanceLock* lock);

    // The main window's Close: hides the program when "NotClose" is 1 (and
    // the exit is not forced), otherwise saves the places and fades out.
    void close();
    // The tray menu's exit item: ends the program even with "NotClose" 1.
    void forceExit();
    // An orderly end at once (a signal, the session's end): what Close saves
    // is saved, the channel, tray icon and toolbar go, no fade; then ended().
    void endNow();
    // The session manager's save request: the window places and every
    // pending setting reach the disk. Never blocks the logout.
    void savePlaces();
    // The tray icon's click or double-click, or a second start without
    // arguments: shows the windows Close hid.
    void restoreFromTray();
    bool hiddenToTray() const { return desktop_ && desktop_->hiddenToTray(); }
    bool closing() const { return closing_; }

    Settings& settings() { return settings_; }
    PlaylistModel& playlist() { return playlist_; }
    MediaEngine& engine() { return media_.engine(); }
    MediaModule::Status mediaStatus() const { return media_.status(); }
    PlaybackController& controller() { return playback_->controller(); }
    SkinnedWindows& windows() { return playback_->windows(); }
    PlayForm& videoWindow() { return playback_->video(); }
    CommandHandler& commands() { return lists_->commands(); }
    KeyCommand& keys() { return playback_->keys(); }
    TrayIcon& tray() { return desktop_->tray(); }
    VolumeControl& volumeControl() { return playback_->volume(); }
    // Null without a bus or before start().
    MprisBridge* mpris() { return desktop_ ? desktop_->mpris() : nullptr; }
    // The docked toolbar: ShowToolbar(bool), ToolbarShown().
    Toolbar& toolbar() { return desktop_->toolbar(); }
    // The file type table: the options dialog's way to the types, their
    // icons and associations.
    FileTypes& fileTypes() { return fileTypes_; }
    // The skin folder: "Skin" of "Settings", default programFolder + "skin/".
    QString skinFolder() const;

signals:
    // The closing fade has ended: the program should end now.
    void ended();

private:
    // How long the last faded sound takes through the output's buffers
    // (libmpv's own 0.2 s and the sound server's).
    static constexpr std::chrono::milliseconds kSoundTail{500};

    void build();
    void startNormal(const QString& commandText);
    void listen(const channel::InstanceLock* lock);
    void saveAndRelease();
    void unload();
    void unloadAfterSoundTail();
    void hideWindows();
    void loadMediaOnFirstEntry();

    Options options_;
    QString programFolder_;
    SettingsStore store_;
    Settings settings_;
    std::unique_ptr<FreedesktopProjection> freedesktop_;  // when Options::desktop is null
    DesktopProjection* desktopProjection_;
    ClassRoot classRoot_;
    ShellRegistration shell_;
    TypeIcons typeIcons_;
    FileTypes fileTypes_;
    FileFilter mediaFilter_ = FileFilter::fromPattern({});
    ProfileFiles profiles_;
    VolumeScale volumeScale_;
    MediaModule media_;
    PlaylistModel playlist_;
    PlaylistClips clips_{playlist_};
    // Built by start(), in this order.
    std::unique_ptr<QTranslator> qtTranslator_;
    std::unique_ptr<PlaybackWiring> playback_;
    std::unique_ptr<PlaylistWiring> lists_;
    std::unique_ptr<DesktopWiring> desktop_;
    std::unique_ptr<InstanceServer> server_;

    int mediaTrigger_ = -1;  // the playlist handler that loads the media module
    bool forceExit_ = false;
    bool closing_ = false;
    bool unloaded_ = false;
};

}  // namespace velmora
