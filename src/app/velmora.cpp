#include "app/velmora.h"

#include "base/file_name.h"
#include "channel/channel_name.h"
#include "channel/instance_lock.h"
#include "channel/instance_server.h"
#include "app/command_sink.h"
#include "app/last_list.h"
#include "app/options_window.h"
#include "app/seek_controls.h"
#include "app/video_binding.h"
#include "app/mpris_bridge.h"
#include "appbar/toolbar.h"
#include "keys/key_map.h"
#include "base/config_paths.h"
#include "base/program_folder.h"
#include "options/options_form.h"
#include "video/play_form.h"
#include "playlist/adding/add_form.h"
#include "playlist/adding/folder_walk.h"
#include "playlist/adding/playlist_model_sink.h"
#include "playlist/window/playlist_window.h"
#include "shell/freedesktop_projection.h"
#include "shell/tray_icon.h"
#include "skin/skinned_windows.h"
#include "skin/trans_img.h"
#include "volume/volume_control.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmapCache>
#include <QSystemTrayIcon>
#include <QTranslator>

#include <malloc.h>

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

// The engine's notifications, passed on to their rooms: open
// complete sizes the window and continues the controller, position changes
// end clips, ticks move the seek bar, keys go to the keyboard commands.
class Velmora::EngineEvents : public MediaEngineListener {
public:
    explicit EngineEvents(Velmora& app) : app_(app) {}
    void engineOpenComplete() override
    {
        MediaEngine& engine = app_.engine();
        if (engine.hasClip())
            app_.video_->openComplete(QSize(engine.displayWidth(), engine.displayHeight()));
        app_.controller_->onOpenComplete();
    }
    // The engine went on to the next clip without an open: the controller
    // completes the move (parking the video window), then the window takes
    // the new clip's size as after an open.
    void engineMovedOn() override
    {
        app_.controller_->onMovedOn();
        MediaEngine& engine = app_.engine();
        if (!engine.fileName().isEmpty() && !app_.controller_->opening())
            app_.video_->openComplete(QSize(engine.displayWidth(), engine.displayHeight()));
    }
    void enginePositionChange(double oldPosition, double newPosition) override
    {
        if (app_.mpris_)
            app_.mpris_->positionChanged(oldPosition, newPosition, app_.engine().length());
        app_.controller_->onPositionChange(oldPosition, newPosition);
    }
    void engineTick() override
    {
        if (app_.seekControls_)
            app_.seekControls_->seekBar().tick();
        app_.controller_->onTick();
    }
    void engineKeyPressed(int keyCode, int) override { app_.keys_->press(keyCode); }

private:
    Velmora& app_;
};

// What the controller and the keyboard commands ask of the windows.
class Velmora::Services : public PlaybackHost, public KeyCommandHost {
public:
    explicit Services(Velmora& app) : app_(app) {}

    // Leaving full screen goes through the engine, so that its flag and the
    // hidden pointer end with it (Escape or the next clip from full screen).
    void parkVideoWindow() override
    {
        MediaEngine& engine = app_.media_.engine();
        if (engine.fullScreen()) {
            engine.setFullScreen(false);
            setPointerHidden(false);
        }
        app_.video_->park();
    }
    void applyVolumeAndBalance() override
    {
        app_.volume_->applyVolume();
        app_.volume_->applyBalance();
    }
    void closeProgram() override { app_.close(); }
    void showPointer() override { setPointerHidden(false); }
    void windBack() override
    {
        if (app_.seekControls_)
            app_.seekControls_->winding().back();
    }
    void windForward() override
    {
        if (app_.seekControls_)
            app_.seekControls_->winding().forward();
    }

    bool videoWindowParked() const override { return app_.video_->place() == VideoPlace::Parked; }
    void setPointerHidden(bool hidden) override
    {
        if (hidden == pointerHidden_)
            return;
        pointerHidden_ = hidden;
        if (hidden)
            QApplication::setOverrideCursor(Qt::BlankCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    void bringMainWindowToFront() override
    {
        MainForm& main = app_.windows_->mainForm();
        main.raise();
        main.activateWindow();
    }
    void setVideoOnTop(bool onTop) override { app_.video_->setStaysOnTop(onTop); }
    void pressVolumeUp() override { app_.volume_->pressVolumeUp(); }
    void pressVolumeDown() override { app_.volume_->pressVolumeDown(); }

private:
    Velmora& app_;
    bool pointerHidden_ = false;
};

Velmora::Velmora() : Velmora(Options{}) {}

Velmora::Velmora(Options options)
    : programFolder_(programFolderOf(options)),
      store_(configFile(options, QStringLiteral("settings.ini"))),
      settings_(store_),
      freedesktop_(userDesktop(options)),
      desktop_(options.desktop ? options.desktop : freedesktop_.get()),
      classRoot_(configFile(options, QStringLiteral("classes.ini")), desktop_),
      shell_(classRoot_, frontProgramOf(options)),
      typeIcons_(currentIconFolder(), programFolder_ + QStringLiteral("default icons/")),
      fileTypes_(settings_, shell_, typeIcons_),
      media_(options.media),
      mprisBus_(options.mprisBus),
      notificationArea_(std::move(options.notificationArea)),
      lastListFile_(configFile(options, QStringLiteral("last.pml")))
{
    fileTypes_.setPatternHandler([this](const QString& pattern) {
        mediaFilter_ = FileFilter::fromPattern(pattern);
        if (addForm_)
            addForm_->setAcceptedFiles(mediaFilter_);
    });
}

Velmora::~Velmora()
{
    // Reverse order of building: the users of the engine and the windows go
    // before them.
    mpris_.reset();
    lastList_.reset();
    if (!mprisConnection_.isEmpty())
        QDBusConnection::disconnectFromBus(mprisConnection_);
    server_.reset();
    commands_.reset();
    closeAddForm();
    delete addForm_.data();
    walker_.shutdown();
    playlistWindow_.reset();
    options_.reset();
    toolbar_.reset();
    if (windows_)
        windows_->setKeySink(nullptr);
    if (video_)
        video_->setKeySink(nullptr);
    keys_.reset();
    controller_.reset();
    volume_.reset();
    tray_.reset();
    playlist_.setLengthProbe(nullptr);
    playlist_.setRowView(nullptr);
    media_.engine().setListener(nullptr);
    media_.shutDownEngine();  // libmpv must not outlive the window it draws into
    seekControls_.reset();
    video_.reset();
    windows_.reset();
    store_.flush();
}

QString Velmora::skinFolder() const
{
    return withSlash(toSlashes(settings_.text(keys::Skin, programFolder_ + QStringLiteral("skin/"))));
}

void Velmora::buildWindows()
{
    windows_ = std::make_unique<SkinnedWindows>(settings_, profiles_);
    video_ = std::make_unique<PlayForm>();
    services_ = std::make_unique<Services>(*this);
    sink_ = std::make_unique<PlaylistModelSink>(playlist_);
    commandSink_ = std::make_unique<CommandSink>(*sink_);
    engineEvents_ = std::make_unique<EngineEvents>(*this);

    MediaEngine& engine = media_.engine();
    engine.setListener(engineEvents_.get());
    engine.setFullScreenHandler([this](bool on) { video_->setFullScreen(on); });
    seekControls_ = std::make_unique<SeekControls>(engine, windows_->mainForm());
    video_->attachEngine(engine);
    bindVideoWindow(*video_, *windows_);

    volume_ = std::make_unique<VolumeControl>(windows_->volumeForm(), volumeScale_, settings_, engine);
    TrayIcon::Hooks trayHooks;
    trayHooks.playPause = [this] { controller_->playPause(); };
    trayHooks.press = [this](TransportButton button) { controller_->press(button); };
    trayHooks.restore = [this] { restoreFromTray(); };
    trayHooks.hidden = [this] { return hiddenToTray_; };
    trayHooks.exitProgram = [this] { forceExit(); };
    tray_ = std::make_unique<TrayIcon>(trayHooks);
    controller_ = std::make_unique<PlaybackController>(engine, clips_, settings_, services_.get());
    keys_ = std::make_unique<KeyCommand>(engine, *controller_, clips_, settings_, *services_);
    buildToolbar();
    options_ = std::make_unique<OptionsWindow>(OptionsWindow::Parts{
        settings_, *tray_, *toolbar_, *windows_, fileTypes_, programFolder_ + QStringLiteral("skin/")});
    connect(video_.get(), &PlayForm::optionsItemTriggered, options_.get(), &OptionsWindow::show);
    connect(controller_.get(), &PlaybackController::stateChanged, this, [this] {
        const PlaybackState& state = controller_->state();
        windows_->mainForm().showPlayback(state);
        tray_->showPlayback(state);
        toolbar_->showPlayback(state);
        if (mpris_)
            mpris_->stateChanged();
    });
    playlist_.setEndOfListHandler([this](int position) { controller_->NextClip(position); });
    playlist_.addChangeHandler([this](const PlaylistChange& change) {
        if (controller_ && (change.structure || change.content))
            controller_->nextMayHaveChanged();
    });
    playlist_.setLengthProbe(&media_.lengthProbe());

    // Every window's keys go to the keyboard commands.
    windows_->setKeySink(keys_.get());
    video_->setKeySink(keys_.get());
    video_->setCloseHandler([this] { services_->parkVideoWindow(); });

    PlaylistWindow::Hooks hooks;
    hooks.openEntry = [this](int index) { openEntry(index); };
    hooks.engineHasClip = [this] { return media_.engine().hasClip(); };
    hooks.keys = keys_.get();
    hooks.setIgnoreKeys = [this](bool on) { keys_->setIgnoreKeys(on); };
    hooks.showAddForm = [this] { showAddForm(); };
    hooks.clipsComing = [this] { media_.startLoading(); };
    hooks.addPaths = [this](const QStringList& paths, PlaylistWindow::Hooks::Started started,
                            PlaylistWindow::Hooks::Finished finished) {
        std::vector<AddSource> sources;
        sources.reserve(static_cast<std::size_t>(paths.size()));
        for (const QString& path : paths)
            sources.push_back({AddSource::Kind::FileOrFolder, path, 1});
        walker_.add(std::move(sources), mediaFilter_, *sink_,
                    {.started = std::move(started), .finished = std::move(finished)});
    };
    playlistWindow_ = std::make_unique<PlaylistWindow>(windows_->playlistForm(), playlist_, settings_, hooks);
    windows_->setRefreshHandler([this] { playlistWindow_->skinApplied(windows_->skin().visibleRows); });

    CommandHandler::Playlist list;
    list.count = [this] { return playlist_.playlistCount(); };
    list.currentIndex = [this] { return playlist_.currentIndex(); };
    list.addToken = [this](const QString& path, std::function<void(bool named)> done) {
        auto named = std::make_shared<bool>(true);
        FolderWalker::Callbacks callbacks;
        callbacks.unresolved = [named](const QString&) { *named = false; };
        callbacks.finished = [named, done = std::move(done)](int) { done(*named); };
        walker_.add({{AddSource::Kind::CommandToken, path, 1}}, mediaFilter_, *commandSink_,
                    std::move(callbacks));
    };
    list.startMeasuring = [this] { playlistWindow_->startMeasuring(); };
    commands_ = std::make_unique<CommandHandler>(*controller_, settings_, list);

    lastList_ = std::make_unique<LastList>(
        lastListFile_, LastList::Parts{playlist_, *controller_, engine, seekControls_->seekBar()});
    wireTransport();
    connect(windows_.get(), &SkinnedWindows::closeClicked, this, &Velmora::close);
    auto stateChanged = [this] {
        if (mpris_)
            mpris_->stateChanged();
    };
    connect(volume_.get(), &VolumeControl::volumeApplied, this, stateChanged);
    connect(controller_.get(), &PlaybackController::clipStarted, this, stateChanged);
    connect(controller_.get(), &PlaybackController::wentIdle, this, stateChanged);
}

SeekBar& Velmora::seekBar() { return seekControls_->seekBar(); }

void Velmora::openEntry(int index)
{
    if (index == 1)
        controller_->playFromStart();
    else
        controller_->OpenClip(index);
}

// The desktop's media controls; without a bus the program runs as before.
void Velmora::publishOnBus()
{
    if (!mprisBus_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!mprisBus_->isEmpty()) {
        mprisConnection_ = QStringLiteral("velmora-mpris-%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
        bus = QDBusConnection::connectToBus(*mprisBus_, mprisConnection_);
    }
    MprisBridge::Parts parts{*controller_,
                             playlist_,
                             media_.engine(),
                             media_,
                             *volume_,
                             seekControls_->seekBar(),
                             [this](const QString& text) { commands_->submit(text, CommandOrigin::Desktop); },
                             [this](int index) { openEntry(index); },
                             [this] {
                                 restoreFromTray();
                                 MainForm& main = windows_->mainForm();
                                 main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
                                 main.raise();
                                 main.activateWindow();
                             },
                             [this] { forceExit(); }};
    mpris_ = std::make_unique<MprisBridge>(std::move(parts), bus);
    if (!mpris_->registered())
        mpris_.reset();
}

// The main window's transport buttons act on a press of any mouse button
// (Back and Forward are the seek controls' winding).
void Velmora::wireTransport()
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

// The toolbar's buttons are the main window's transport buttons.
void Velmora::buildToolbar()
{
    Toolbar::Hooks hooks;
    hooks.press = [this](TransportButton button) { controller_->press(button); };
    hooks.keys = keys_.get();
    toolbar_ = std::make_unique<Toolbar>(std::move(hooks));
}

// Plus: the add-files window, one at a time; Plus is enabled again when it closes.
void Velmora::showAddForm()
{
    if (addForm_) {
        addForm_->raise();
        addForm_->activateWindow();
        return;
    }
    AddForm::Hooks hooks;
    hooks.playlistEmpty = [this] { return playlist_.isEmpty(); };
    hooks.clipLoaded = [this] { return media_.engine().hasClip(); };
    hooks.openFirstEntry = [this] { controller_->playFromStart(); };
    hooks.startMeasuring = [this] { playlistWindow_->startMeasuring(); };
    hooks.keys = keys_.get();
    AddForm::Options options;
    options.accepted = mediaFilter_;
    addForm_ = new AddForm(settings_, walker_, *sink_, hooks, options);
    addForm_->setAttribute(Qt::WA_DeleteOnClose);
    connect(addForm_, &AddForm::closed, this, [this] { playlistWindow_->enablePlus(); });
    windows_->setAddFilesWindow(addForm_);
    addForm_->show();
}

// Closed as the user closes it, so that its place and folder are stored. It
// goes later: Close may run inside one of its own key events (Escape ending
// the list under AutoClose).
void Velmora::closeAddForm()
{
    if (addForm_)
        addForm_->close();
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
    buildWindows();
    listen(lock);
    windows_->loadSkin(skinFolder());
    startNormal(commandText);
    return true;
}

void Velmora::listen(const channel::InstanceLock* lock)
{
    server_ = std::make_unique<InstanceServer>([this](const std::string& text) {
        if (text.empty())
            restoreFromTray();  // an empty second start, tray or not
        else
            commands_->submit(fileNameFromBytes(text));
    });
    if (lock) {
        const std::string name = channel::channelFileName(settings_.text(keys::MailslotName).toStdString());
        if (!server_->listen(*lock, name))
            qCDebug(lcApp) << "no channel: the socket cannot be made";
    }
}

void Velmora::startNormal(const QString& commandText)
{
    windows_->placeFromSettings();
    video_->setRememberedPosition(QPoint(qRound(settings_.fraction(keys::PlayLeft)),
                                         qRound(settings_.fraction(keys::PlayTop))));
    windows_->placeCompanions();
    windows_->applyStartOpacities();
    windows_->mainForm().show();
    video_->show();
    video_->park();
    const bool volumeOpen = settings_.flag(keys::VolumeOpen);
    video_->volumeItem().setChecked(volumeOpen);
    windows_->volumeForm().setVisible(volumeOpen);
    const bool playlistOpen = settings_.flag(keys::PlaylistOpen);
    video_->playlistItem().setChecked(playlistOpen);
    windows_->playlistForm().setVisible(playlistOpen);
    tray_->show(settings_.whole(keys::Tray) != 0);
    toolbar_->ShowToolbar(settings_.whole(keys::Toolbar) != 0);
    publishOnBus();
    // The media libraries (some 40 MB) load when the first clip arrives; a
    // command line with clips starts them at once, so its start is as quick.
    loadMediaOnFirstEntry();
    // The list of the last run comes first; a command line's files follow it.
    if (settings_.flag(keys::RestoreList) && lastList_->restore(commandText.isEmpty()))
        playlistWindow_->startMeasuring();
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

// Hidden by Close with nothing loaded: what can be rebuilt goes back to
// the system (pictures Qt keeps for reuse, and the allocator's free pages).
void Velmora::releaseMemory()
{
    if (!hiddenToTray_ || media_.engine().hasClip())
        return;
    QPixmapCache::clear();
    ::malloc_trim(0);
}

// The tray icon's click or double-click, or an empty second start, after
// Close only hid the program: the windows come back as they were.
void Velmora::restoreFromTray()
{
    if (!hiddenToTray_)
        return;
    hiddenToTray_ = false;
    windows_->showRecorded();
    video_->returnFromBelowScreen();
    windows_->mainForm().show();
}

bool Velmora::trayIconOnScreen() const
{
    return tray_->shown() && (notificationArea_ ? notificationArea_() : QSystemTrayIcon::isSystemTrayAvailable());
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
    if (settings_.flag(keys::NotClose) && !forceExit_ && trayIconOnScreen()) {
        if (hiddenToTray_)
            return;  // hidden already: keep what was shown for the restore
        hiddenToTray_ = true;
        windows_->recordVisibility();
        if (addForm_)
            addForm_->hide();
        if (OptionsForm* form = options_->form())
            form->hide();
        windows_->playlistForm().hide();
        windows_->volumeForm().hide();
        windows_->mainForm().hide();
        if (!media_.engine().hasClip())
            QTimer::singleShot(0, this, &Velmora::releaseMemory);
        return;
    }
    saveAndRelease();
    FadeLevels levels;
    levels.main = settings_.whole(keys::MainTransparanted);
    levels.volume = settings_.whole(keys::VolumeTransparanted);
    levels.playlist = settings_.whole(keys::PlaylistTransparanted);
    levels.sound = media_.engine().hasClip() ? volume_->volumePercent() : 0;
    windows_->startClosingFade(
        levels, [this](int percent) { media_.engine().setVolume(*volumeScale_.volumeForPercent(percent)); },
        [this] { unload(); });
}

// What Close does before the fade: the places and options are saved, the
// side windows, the channel, the tray icon and the toolbar go.
void Velmora::saveAndRelease()
{
    closing_ = true;
    savePlaces();
    lastList_->save(settings_.flag(keys::RestoreList));
    closeAddForm();
    options_->unload();
    walker_.cancelAll();  // nothing more arrives in a list that is closing
    if (server_)
        server_->close();
    if (settings_.whole(keys::Tray) == 1)
        tray_->show(false);
    if (settings_.whole(keys::Toolbar) == 1)
        toolbar_->ShowToolbar(false);
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
    const QPoint mainPlace = windows_->mainForm().pos();
    settings_.setFraction(keys::Left, mainPlace.x());
    settings_.setFraction(keys::Top, mainPlace.y());
    const QPoint videoPlace = video_->placeToStore();
    settings_.setFraction(keys::PlayLeft, videoPlace.x());
    settings_.setFraction(keys::PlayTop, videoPlace.y());
    settings_.setFlag(keys::VolumeOpen, video_->volumeItem().isChecked());
    settings_.setFlag(keys::PlaylistOpen, video_->playlistItem().isChecked());
    store_.flush();
}

void Velmora::unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    windows_->playlistForm().hide();
    windows_->volumeForm().hide();
    video_->hide();
    windows_->mainForm().hide();
    media_.engine().stop();
    store_.flush();
    emit ended();
}

}  // namespace velmora
