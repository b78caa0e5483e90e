#include "app/playlist_wiring.h"

#include "app/command_sink.h"
#include "app/playback_wiring.h"
#include "media/media_module.h"
#include "playlist/adding/add_form.h"
#include "playlist/adding/folder_walk.h"
#include "playlist/adding/playlist_model_sink.h"
#include "playlist/playlist_model.h"
#include "playlist/window/playlist_window.h"
#include "skin/skinned_windows.h"

namespace velmora {

// Gone first: the add-files window closes (so that its place and folder
// are stored) and the walks end before anything they report into goes.
class PlaylistWiring::AddingEnd {
public:
    explicit AddingEnd(PlaylistWiring& wiring) : w_(wiring) {}
    ~AddingEnd()
    {
        w_.closeAddForm();
        delete w_.addForm_.data();
        w_.walker_.shutdown();
    }
    AddingEnd(const AddingEnd&) = delete;
    AddingEnd& operator=(const AddingEnd&) = delete;

private:
    PlaylistWiring& w_;
};

PlaylistWiring::PlaylistWiring(Parts parts) : parts_(std::move(parts))
{
    sink_ = std::make_unique<PlaylistModelSink>(parts_.playlist);
    commandSink_ = std::make_unique<CommandSink>(*sink_);
    KeyCommand& keys = parts_.playback.keys();

    PlaylistWindow::Hooks hooks;
    hooks.openEntry = [this](int index) { openEntry(index); };
    hooks.engineHasClip = [this] { return parts_.media.engine().hasClip(); };
    hooks.keys = &keys;
    hooks.setIgnoreKeys = [&keys](bool on) { keys.setIgnoreKeys(on); };
    hooks.showAddForm = [this] { showAddForm(); };
    hooks.clipsComing = [this] { parts_.media.startLoading(); };
    hooks.addPaths = [this](const QStringList& paths, PlaylistWindow::Hooks::Started started,
                            PlaylistWindow::Hooks::Finished finished) {
        std::vector<AddSource> sources;
        sources.reserve(static_cast<std::size_t>(paths.size()));
        for (const QString& path : paths)
            sources.push_back({AddSource::Kind::FileOrFolder, path, 1});
        walker_.add(std::move(sources), parts_.accepted, *sink_,
                    {.started = std::move(started), .finished = std::move(finished)});
    };
    SkinnedWindows& windows = parts_.playback.windows();
    window_ = std::make_unique<PlaylistWindow>(windows.playlistForm(), parts_.playlist, parts_.settings, hooks);
    windows.setRefreshHandler([this, &windows] { window_->skinApplied(windows.skin().visibleRows); });

    CommandHandler::Playlist list;
    list.count = [this] { return parts_.playlist.playlistCount(); };
    list.currentIndex = [this] { return parts_.playlist.currentIndex(); };
    list.addToken = [this](const QString& path, std::function<void(bool named)> done) {
        auto named = std::make_shared<bool>(true);
        FolderWalker::Callbacks callbacks;
        callbacks.unresolved = [named](const QString&) { *named = false; };
        callbacks.finished = [named, done = std::move(done)](int) { done(*named); };
        walker_.add({{AddSource::Kind::CommandToken, path, 1}}, parts_.accepted, *commandSink_,
                    std::move(callbacks));
    };
    list.startMeasuring = [this] { window_->startMeasuring(); };
    PlaybackController& controller = parts_.playback.controller();
    commands_ = std::make_unique<CommandHandler>(controller, parts_.settings, list);
    lastList_ = std::make_unique<LastList>(
        parts_.lastListFile,
        LastList::Parts{parts_.playlist, controller, parts_.media.engine(), parts_.playback.seekBar()});
    addingEnd_ = std::make_unique<AddingEnd>(*this);
}

PlaylistWiring::~PlaylistWiring() = default;

void PlaylistWiring::openEntry(int index)
{
    if (index == 1)
        parts_.playback.controller().playFromStart();
    else
        parts_.playback.controller().OpenClip(index);
}

void PlaylistWiring::acceptedChanged()
{
    if (addForm_)
        addForm_->setAcceptedFiles(parts_.accepted);
}

void PlaylistWiring::hideAddForm()
{
    if (addForm_)
        addForm_->hide();
}

// It goes later: Close may run inside one of its own key events (Escape
// ending the list under AutoClose).
void PlaylistWiring::closeAddForm()
{
    if (addForm_)
        addForm_->close();
}

// Plus: the add-files window, one at a time; Plus is enabled again when it closes.
void PlaylistWiring::showAddForm()
{
    if (addForm_) {
        addForm_->raise();
        addForm_->activateWindow();
        return;
    }
    AddForm::Hooks hooks;
    hooks.playlistEmpty = [this] { return parts_.playlist.isEmpty(); };
    hooks.clipLoaded = [this] { return parts_.media.engine().hasClip(); };
    hooks.openFirstEntry = [this] { parts_.playback.controller().playFromStart(); };
    hooks.startMeasuring = [this] { window_->startMeasuring(); };
    hooks.keys = &parts_.playback.keys();
    AddForm::Options options;
    options.accepted = parts_.accepted;
    addForm_ = new AddForm(parts_.settings, walker_, *sink_, hooks, options);
    addForm_->setAttribute(Qt::WA_DeleteOnClose);
    connect(addForm_, &AddForm::closed, this, [this] { window_->enablePlus(); });
    parts_.playback.windows().setAddFilesWindow(addForm_);
    addForm_->show();
}

}  // namespace velmora
