#include "app/mpris_bridge.h"

#include "channel/command_line.h"
#include "base/file_name.h"
#include "mpris/mpris_metadata.h"
#include "playlist/entry_location.h"
#include "playback/seek_bar.h"
#include "media/media_engine.h"
#include "playback/playback_controller.h"
#include "playlist/playlist_model.h"
#include "volume/volume_control.h"

#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace velmora {

QStringList playableExtensions()
{
    // The file types offered on the first run, what the engine is commonly
    // given beyond them, and the playlists the add path reads.
    return {QStringLiteral("pml"),  QStringLiteral("mp3"),  QStringLiteral("wav"),  QStringLiteral("mid"),
            QStringLiteral("mpg"),  QStringLiteral("mpeg"), QStringLiteral("mp2"),  QStringLiteral("avi"),
            QStringLiteral("asf"),  QStringLiteral("m1v"),  QStringLiteral("mpa"),  QStringLiteral("mpe"),
            QStringLiteral("mpv2"), QStringLiteral("mov"),  QStringLiteral("au"),   QStringLiteral("aif"),
            QStringLiteral("aifc"), QStringLiteral("aiff"), QStringLiteral("wmv"),  QStringLiteral("midi"),
            QStringLiteral("ogg"),  QStringLiteral("oga"),  QStringLiteral("opus"), QStringLiteral("flac"),
            QStringLiteral("m4a"),  QStringLiteral("aac"),  QStringLiteral("wma"),  QStringLiteral("mka"),
            QStringLiteral("mkv"),  QStringLiteral("mp4"),  QStringLiteral("m4v"),  QStringLiteral("webm"),
            QStringLiteral("ogv"),  QStringLiteral("3gp"),  QStringLiteral("flv"),  QStringLiteral("mts"),
            QStringLiteral("m3u"),  QStringLiteral("m3u8"), QStringLiteral("pls"),  QStringLiteral("xspf")};
}

MprisBridge::MprisBridge(Parts parts, QDBusConnection bus) : app_(std::move(parts))
{
    mpris::MprisService::Options options;
    options.mimeTypes = mpris::mimeTypesForExtensions(playableExtensions());
    // The reader first: the service looks at the current clip's track (and
    // so asks for its tags) as it starts.
    tagReader_ = std::make_unique<TagReader>(app_.media, coverFolder());
    tagReader_->setResultHandler(
        [this](std::uint64_t id, const std::optional<ClipTags>& tags) { tagsRead(id, tags); });
    service_ = std::make_unique<mpris::MprisService>(*this, std::move(bus), std::move(options));
    if (!service_->registered())
        return;
    changeHandler_ = app_.playlist.addChangeHandler([this](const PlaylistChange& change) {
        if (change.structure || change.content)
            service_->trackListChanged();
        if (change.current)
            service_->stateChanged();
    });
}

MprisBridge::~MprisBridge()
{
    if (changeHandler_)
        app_.playlist.removeChangeHandler(changeHandler_);
    service_.reset();
    tagReader_.reset();  // waits for a read running
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
}

std::unique_ptr<MprisBridge> MprisBridge::publish(Parts parts, const QString& busAddress)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QString connectionName;
    if (!busAddress.isEmpty()) {
        // One connection per player: its controller names it.
        connectionName = QStringLiteral("velmora-mpris-%1").arg(reinterpret_cast<quintptr>(&parts.controller), 0, 16);
        bus = QDBusConnection::connectToBus(busAddress, connectionName);
    }
    auto bridge = std::make_unique<MprisBridge>(std::move(parts), bus);
    bridge->connectionName_ = connectionName;
    if (!bridge->registered())
        return nullptr;
    return bridge;
}

QString MprisBridge::coverFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Velmora 4/covers");
}

void MprisBridge::tagsRead(std::uint64_t id, const std::optional<ClipTags>& tags)
{
    // Entries shown to the desktop come and go; what was read for them
    // stays bounded.
    constexpr std::size_t kMaxKept = 1024;
    if (tags_.size() >= kMaxKept) {
        tags_.clear();
        asked_.clear();
        asked_.insert(id);
    }
    tags_[id] = tags.value_or(ClipTags());
    service_->trackListChanged();  // the track's metadata, and the current one's
}

void MprisBridge::positionChanged(double oldPosition, double newPosition, double length)
{
    const bool endOfClip = std::abs(oldPosition - length) < 0.01 && newPosition == 0;
    if (!endOfClip)
        service_->seeked(newPosition);
}

mpris::PlaybackStatus MprisBridge::playbackStatus() const
{
    const PlaybackState& state = app_.controller.state();
    if (!state.clipOpen())
        return mpris::PlaybackStatus::Stopped;
    return state.playing() ? mpris::PlaybackStatus::Playing : mpris::PlaybackStatus::Paused;
}

double MprisBridge::position() const { return app_.engine.position(); }
double MprisBridge::clipLength() const { return app_.engine.length(); }
double MprisBridge::volume() const { return app_.volume.volumePercent() / 100.0; }
int MprisBridge::trackCount() const { return app_.playlist.playlistCount(); }

mpris::Track MprisBridge::track(int index) const
{
    const PlaylistModel& list = app_.playlist;
    const PlaylistEntry& e = list.entry(index);
    mpris::Track t;
    t.id = list.entryId(index);
    t.title = displayFileName(e.text);
    t.path = e.path;
    if (e.isFile() && e.time >= 0)
        t.lengthUs = std::int64_t{e.time} * 1'000'000;
    if (e.isGroup() || isStreamUrl(e.path))
        return t;
    if (const auto known = tags_.find(t.id); known != tags_.end()) {
        const ClipTags& tags = known->second;
        if (!tags.title.isEmpty())
            t.title = tags.title;  // else the file name stays the title
        t.artist = tags.artist;
        t.album = tags.album;
        t.trackNumber = tags.trackNumber;
        t.artPath = tags.artPath;
    } else if (tagReader_ && asked_.insert(t.id).second) {
        tagReader_->request(t.id, e.path);
    }
    return t;
}

int MprisBridge::indexOf(std::uint64_t id) const { return app_.playlist.indexOf(id); }
int MprisBridge::currentIndex() const { return app_.playlist.currentIndex(); }

// Play and Pause are the main window's buttons, pressed only when they
// would change something: Play on a playing clip would restart it.
void MprisBridge::play()
{
    if (playbackStatus() == mpris::PlaybackStatus::Paused)
        app_.controller.press(TransportButton::Play);
}

void MprisBridge::pause() { app_.controller.press(TransportButton::Pause); }

// The rest do what the tray menu's items (and their keys) do.
void MprisBridge::playPause() { app_.controller.playPause(); }
void MprisBridge::stop() { app_.controller.press(TransportButton::Stop); }
void MprisBridge::next() { step(TransportButton::StepForward); }
void MprisBridge::previous() { step(TransportButton::StepBack); }

void MprisBridge::step(TransportButton button)
{
    const PlaybackState& state = app_.controller.state();
    const bool paused = state.clipOpen() && !state.playing();
    const std::uint64_t from = state.entry;
    if (app_.controller.press(button) && paused)
        pausedStepFrom_ = from;
}

void MprisBridge::stateChanged()
{
    const PlaybackState& state = app_.controller.state();
    if (pausedStepFrom_ != 0 && state.phase != PlaybackState::Phase::Opening) {
        const bool another = state.playing() && state.entry != pausedStepFrom_;
        pausedStepFrom_ = 0;
        if (another)
            app_.controller.press(TransportButton::Pause);
    }
    service_->stateChanged();
}

void MprisBridge::seekTo(double seconds)
{
    if (playbackStatus() == mpris::PlaybackStatus::Stopped)
        return;
    app_.engine.setPosition(seconds);
    app_.seekBar.showPosition();
}

void MprisBridge::setVolume(double level)
{
    app_.volume.setVolumePercent(static_cast<int>(std::lround(std::clamp(level, 0.0, 1.0) * 100)));
}

void MprisBridge::openFile(const QString& path)
{
    const std::string text = channel::buildCommandLine(std::vector<std::string>{fileNameBytes(path).toStdString()}, "/");
    if (!text.empty())
        app_.openCommand(fileNameFromBytes(text));
}

void MprisBridge::goTo(int index) { app_.openEntry(index); }
void MprisBridge::raise() { app_.raise(); }
void MprisBridge::quit() { app_.quit(); }

}  // namespace velmora
