#include "app/velmora.h"

#include "base/config_paths.h"
#include "base/file_name.h"
#include "base/program_folder.h"
#include "channel/channel_name.h"
#include "channel/instance_lock.h"
#include "channel/instance_server.h"
#include "app/options_window.h"
#include "appbar/toolbar.h"
#include "playlist/window/playlist_window.h"
#include "shell/freedesktop_projection.h"
#include "shell/tray_icon.h"
#include "skin/skinned_windows.h"
#include "video/play_form.h"
#include "volume/volume_control.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTimer>
#include <QTranslator>

#include <optional>

Q_LOGGING_CATEGORY(lcApp, "velmora.app", QtWarningMsg)

namespace velmora {

namespace {

QString configFile(const Velmora::Options& options, const QString& name)
{
    const QString folder = options.configFolder.isEmpty() ? userConfigFolder() : options.configFolder;
    return withSlash(folder) + name;
}

// The folder of the program's data: the executable's folder in the build
// tree, the data folder of an installed tree.
QString programFolderOf(const Velmora::Options& options)
{
    return withSlash(options.programFolder.isEmpty() ? programDataFolder(QCoreApplication::applicationDirPath())
                                                     : options.programFolder);
}

// The front program the desktop starts (it hands files to a running copy).
QString frontProgramOf(const Velmora::Options& options)
{
    return options.programFolder.isEmpty() ? frontProgramPath(QCoreApplication::applicationDirPath())
                                           : withSlash(options.programFolder) + QStringLiteral("velmora4");
}

std::unique_ptr<FreedesktopProjection> userDesktop(const Velmora::Options& options)
{
    if (options.desktop)
        return nullptr;
    // The desktop starts the front program, which hands files to a running copy.
    return std::make_unique<FreedesktopProjection>(frontProgramOf(options),
                                                   FreedesktopProjection::Folders::fromEnvironment());
}

// The current type icons live with the user's data: the program folder may
// not be writable.
QString currentIconFolder()
{
    return FreedesktopProjection::Folders::fromEnvironment().dataHome + QStringLiteral("/velmora4/icons/");
}

}  // namespace

Velmora::Velmora() : Velmora(Options{}) {}

Velmora::Velmora(Options options)
    : options_(std::move(options)),
      programFolder_(programFolderOf(options_)),
      store_(configFile(options_, QStringLiteral("settings.ini"))),
      settings_(store_),
      freedesktop_(userDesktop(options_)),
      desktopProjection_(options_.desktop ? options_.desktop : freedesktop_.get()),
      classRoot_(configFile(options_, QStringLiteral("classes.ini")), desktopProjection_),
      shell_(classRoot_, frontProgramOf(options_)),
      typeIcons_(currentIconFolder(), programFolder_ + QStringLiteral("default icons/")),
      fileTypes_(settings_, shell_, typeIcons_),
      media_(options_.media)
{
    fileTypes_.setPatternHandler([this](const QString& pattern) {
        mediaFilter_ = FileFilter::fromPattern(pattern);
        if (lists_)
            lists_->acceptedChanged();
    });
}

// The members go in reverse: the channel, the desktop's parts, the list's,
// then playback (its engine binding first, so libmpv ends before the window
// it draws into); the settings store writes what is pending last.
Velmora::~Velmora() = default;

QString Velmora::skinFolder() const
{
    return withSlash(toSlashes(settings_.text(keys::Skin, programFolder_ + QStringLiteral("skin/"))));
}

void Velmora::build()
{
    playback_ = std::make_unique<PlaybackWiring>(
        PlaybackWiring::Parts{settings_, profiles_, volumeScale_, media_, clips_, [this] { close(); }});
    PlaybackController& controller = playback_->controller();
    playlist_.setEndOfListHandler([&controller](int position) { controller.NextClip(position); });
    playlist_.addChangeHandler([&controller](const PlaylistChange& change) {
        if (change.structure || change.content)
            controller.nextMayHaveChanged();
    });
    playlist_.setLengthProbe(&media_.lengthProbe());
    lists_ = std::make_unique<PlaylistWiring>(PlaylistWiring::Parts{
        settings_, playlist_, media_, *playback_, mediaFilter_, configFile(options_, QStringLiteral("last.pml"))});
    desktop_ = std::make_unique<DesktopWiring>(
        DesktopWiring::Parts{settings_, media_, playlist_, fileTypes_, *playback_, *lists_,
                             programFolder_ + QStringLiteral("skin/"), options_.notificationArea,
                             [this] { forceExit(); }});
    connect(&playback_->windows(), &SkinnedWindows::closeClicked, this, &Velmora::close);
}

void Velmora::maintain(channel::StartKind kind)
{
    // The types held are given back and the classes, the settings (as a
    // whole) and the folder verb removed.
    UndoShellRegistration(store_, shell_);
    if (kind == channel::StartKind::Init) {
        // The default file types, registered again; none is taken over.
        fileTypes_.LoadFileTypes();
        // The first-run settings. The main window's "Left" and "Top" stay
        // unset: without a screen there is no centre to store, and unset
        // they centre the window on the screen of the next start.
        settings_.setText(keys::MailslotName, QLatin1String(kApplicationName));
        settings_.setFraction(keys::PlayLeft, 0);
        settings_.setFraction(keys::PlayTop, 0);
        settings_.setFlag(keys::VolumeOpen, false);
        settings_.setFlag(keys::PlaylistOpen, false);
    } else {
        typeIcons_.removeCurrentFolder();
    }
    store_.flush();
    if (freedesktop_)
        freedesktop_->waitForTools(30000);  // the desktop's caches are whole when we end
}

bool Velmora::start(const QString& commandText, const channel::InstanceLock* lock)
{
    // The whole interface is Russian, whatever the user's locale: Qt's own
    // dialogs and standard buttons too.
    qtTranslator_ = std::make_unique<QTranslator>();
    if (qtTranslator_->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator_.get());
    else
        qCDebug(lcApp) << "no Russian translation of Qt's own texts";
    fileTypes_.LoadFileTypes();
    if (settings_.text(keys::MailslotName).isEmpty())
        settings_.setText(keys::MailslotName, QLatin1String(kApplicationName));
    build();
    listen(lock);
    windows().loadSkin(skinFolder());
    startNormal(commandText);
    return true;
}

void Velmora::listen(const channel::InstanceLock* lock)
{
    server_ = std::make_unique<InstanceServer>([this](const std::string& text) {
        if (text.empty())
            restoreFromTray();  // an empty second start, tray or not
        else
            commands().submit(fileNameFromBytes(text));
    });
    if (lock) {
        const std::string name = channel::channelFileName(settings_.text(keys::MailslotName).toStdString());
        if (!server_->listen(*lock, name))
            qCDebug(lcApp) << "no channel: the socket cannot be made";
    }
}

void Velmora::startNormal(const QString& commandText)
{
    playback_->showWindows();
    desktop_->tray().show(settings_.whole(keys::Tray) != 0);
    desktop_->toolbar().ShowToolbar(settings_.whole(keys::Toolbar) != 0);
    // The desktop's media controls; without a bus the program runs as before.
    if (options_.mprisBus)
        desktop_->publish(*options_.mprisBus);
    // The media libraries (some 40 MB) load when the first clip arrives; a
    // command line with clips starts them at once, so its start is as quick.
    loadMediaOnFirstEntry();
    // The list of the last run comes first; a command line's files follow it.
    if (settings_.flag(keys::RestoreList) && lists_->lastList().restore(commandText.isEmpty()))
        lists_->window().startMeasuring();
    if (!commandText.isEmpty()) {
        media_.startLoading();
        server_->post(fileNameBytes(commandText).toStdString());
    }
}

// Every road of adding ends in the playlist: its first entry loads the
// module (the open waits for it, as the deferred engine keeps what it is
// asked). Lengths and the engine's state show idle until then.
void Velmora::loadMediaOnFirstEntry()
{
    if (media_.status() != MediaModule::Status::NotStarted)
        return;
    mediaTrigger_ = playlist_.addChangeHandler([this](const PlaylistChange& change) {
        if (!change.structure || playlist_.isEmpty() || mediaTrigger_ < 0)
            return;
        playlist_.removeChangeHandler(mediaTrigger_);
        mediaTrigger_ = -1;
        media_.startLoading();
    });
}

void Velmora::restoreFromTray()
{
    if (desktop_)
        desktop_->restoreFromTray();
}

void Velmora::forceExit()
{
    forceExit_ = true;
    close();
}

void Velmora::close()
{
    if (closing_)
        return;
    // Hiding needs a way back: without a tray icon on the screen, Close
    // ends the program as it does without "NotClose".
    if (settings_.flag(keys::NotClose) && !forceExit_ && desktop_->trayIconOnScreen()) {
        desktop_->hideToTray();
        return;
    }
    saveAndRelease();
    FadeLevels levels;
    levels.main = settings_.whole(keys::MainTransparanted);
    levels.volume = settings_.whole(keys::VolumeTransparanted);
    levels.playlist = settings_.whole(keys::PlaylistTransparanted);
    levels.sound = media_.engine().hasClip() ? volumeControl().volumePercent() : 0;
    const bool heard = levels.sound > 0;
    windows().startClosingFade(
        levels, [this](int percent) { media_.engine().setVolume(*volumeScale_.volumeForPercent(percent)); },
        [this, heard] { heard ? unloadAfterSoundTail() : unload(); });
}

// The engine's volume acts before the sound output's buffers: the quietest
// steps of the fade are still on their way when the fade ends. Stopping at
// once would cut them off, audibly; the windows go at once, the sound after.
void Velmora::unloadAfterSoundTail()
{
    hideWindows();
    QTimer::singleShot(kSoundTail, this, &Velmora::unload);
}

// What Close does before the fade: the places and options are saved, the
// side windows, the channel, the tray icon and the toolbar go.
void Velmora::saveAndRelease()
{
    closing_ = true;
    savePlaces();
    lists_->lastList().save(settings_.flag(keys::RestoreList));
    lists_->closeAddForm();
    desktop_->options().unload();
    lists_->walker().cancelAll();  // nothing more arrives in a list that is closing
    if (server_)
        server_->close();
    if (settings_.whole(keys::Tray) == 1)
        tray().show(false);
    if (settings_.whole(keys::Toolbar) == 1)
        toolbar().ShowToolbar(false);
}

void Velmora::endNow()
{
    if (unloaded_)
        return;
    if (!closing_)
        saveAndRelease();
    unload();  // a fade that runs finds the program unloaded
}

void Velmora::savePlaces()
{
    playback_->storePlaces();
    store_.flush();
}

void Velmora::hideWindows()
{
    windows().playlistForm().hide();
    windows().volumeForm().hide();
    videoWindow().hide();
    windows().mainForm().hide();
}

void Velmora::unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    hideWindows();
    media_.engine().stop();
    store_.flush();
    emit ended();
}

}  // namespace velmora
