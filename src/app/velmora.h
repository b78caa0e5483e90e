#pragma once
// Velmora: the application object. It owns everything program-wide (the
// settings, the profile-file cache, the volume tables, the playlist, the
// media module with its engine and length probe, the windows, the playback
// controller, the keyboard commands, the command handler, the channel and
// the file types with their desktop associations), builds them in
// dependency order and tears them down in reverse, and hands each the references it needs. Any number of instances
// can live side by side in a test. UI thread only.
//
// Life: construct, start() with the kind of start, run the event loop until
// ended() (the closing fade finished), destroy.

#include "app/command_handler.h"
#include "app/key_command.h"
#include "app/playlist_clips.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "channel/command_line.h"
#include "media/media_module.h"
#include "playback/playback_controller.h"
#include "playlist/adding/folder_walker.h"
#include "playlist/playlist_model.h"
#include "shell/class_root.h"
#include "shell/file_types.h"
#include "shell/shell_registration.h"
#include "shell/type_icons.h"
#include "settings/profile_files.h"
#include "volume/volume_scale.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QTranslator;

namespace velmora {

namespace channel {
class InstanceLock;
}
class AddForm;
class OptionsWindow;
class DesktopProjection;
class FreedesktopProjection;
class CommandSink;
class InstanceServer;
class MprisBridge;
class PlaylistModelSink;
class PlaylistWindow;
class VolumeControl;
class PlayForm;
class SeekBar;
class SeekControls;
class TrayIcon;
class Toolbar;
class SkinnedWindows;

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
    // The tray icon's double-click: shows the windows Close hid.
    void restoreFromTray();
    // A second start without arguments: the tray's restore, when there is no
    // tray icon to do it (no notification area, or "Tray" 0).
    void restoreWithoutTray();
    // Opens an entry as a double click on its row does (the root plays
    // from the start).
    void openEntry(int index);
    bool hiddenToTray() const { return hiddenToTray_; }
    bool closing() const { return closing_; }

    Settings& settings() { return settings_; }
    PlaylistModel& playlist() { return playlist_; }
    MediaEngine& engine() { return media_.engine(); }
    MediaModule::Status mediaStatus() const { return media_.status(); }
    PlaybackController& controller() { return *controller_; }
    SkinnedWindows& windows() { return *windows_; }
    PlayForm& videoWindow() { return *video_; }
    CommandHandler& commands() { return *commands_; }
    KeyCommand& keys() { return *keys_; }
    TrayIcon& tray() { return *tray_; }
    VolumeControl& volumeControl() { return *volume_; }
    SeekBar& seekBar();
    // Null without a bus or before start().
    MprisBridge* mpris() { return mpris_.get(); }
    // The docked toolbar: ShowToolbar(bool), ToolbarShown().
    Toolbar& toolbar() { return *toolbar_; }
    // The file type table: the options dialog's way to the types, their
    // icons and associations.
    FileTypes& fileTypes() { return fileTypes_; }
    // The skin folder: "Skin" of "Settings", default programFolder + "skin/".
    QString skinFolder() const;

signals:
    // The closing fade has ended: the program should end now.
    void ended();

private:
    class EngineEvents;
    class Services;

    void buildWindows();
    void wireTransport();
    void buildToolbar();
    void showAddForm();
    void closeAddForm();
    void startNormal(const QString& commandText);
    void listen(const channel::InstanceLock* lock);
    void publishOnBus();
    void saveAndRelease();
    // The tray icon is on the screen: the way back after Close only hid.
    bool trayIconOnScreen() const;
    void unload();
    void loadMediaOnFirstEntry();
    void releaseMemory();

    QString programFolder_;
    SettingsStore store_;
    Settings settings_;
    std::unique_ptr<FreedesktopProjection> freedesktop_;  // when Options::desktop is null
    DesktopProjection* desktop_;
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
    std::unique_ptr<SkinnedWindows> windows_;
    std::unique_ptr<PlayForm> video_;
    std::unique_ptr<SeekControls> seekControls_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<EngineEvents> engineEvents_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<Toolbar> toolbar_;
    std::unique_ptr<OptionsWindow> options_;
    std::unique_ptr<PlaybackController> controller_;
    std::unique_ptr<KeyCommand> keys_;
    std::unique_ptr<VolumeControl> volume_;
    std::unique_ptr<PlaylistWindow> playlistWindow_;
    FolderWalker walker_;
    std::unique_ptr<PlaylistModelSink> sink_;
    std::unique_ptr<CommandSink> commandSink_;
    QPointer<AddForm> addForm_;
    std::unique_ptr<CommandHandler> commands_;
    std::unique_ptr<InstanceServer> server_;
    std::optional<QString> mprisBus_;
    std::function<bool()> notificationArea_;
    QString mprisConnection_;  // the connection made for mprisBus_, to close at the end
    std::unique_ptr<MprisBridge> mpris_;

    int mediaTrigger_ = -1;  // the playlist handler that loads the media module
    bool forceExit_ = false;
    bool hiddenToTray_ = false;
    bool closing_ = false;
    bool unloaded_ = false;
    std::unique_ptr<QTranslator> qtTranslator_;
};

}  // namespace velmora
