#include "mpris/mpris_service.h"

#include "mpris/mpris_adaptors.h"
#include "mpris/mpris_log.h"
#include "mpris/mpris_metadata.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>

Q_LOGGING_CATEGORY(lcMpris, "velmora.mpris", QtWarningMsg)

namespace velmora::mpris {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

const QString kTrackListInterface = QStringLiteral("org.mpris.MediaPlayer2.TrackList");

// How far the window's search goes past groups in each direction: a list of
// folders without clips cannot make a flush walk the whole table.
constexpr int kMaxScan = 4096;

}  // namespace

std::vector<int> trackWindow(const MprisHost& host, int size)
{
    const int count = host.trackCount();
    const int current = host.currentIndex();
    const int from = current >= 1 && current <= count ? current : 1;
    // 1. Clips before the current entry (nearest first) and from it on.
    std::vector<int> before;
    for (int i = from - 1, scanned = 0; i >= 1 && static_cast<int>(before.size()) < size && scanned < kMaxScan;
         --i, ++scanned) {
        if (!host.track(i).isGroup())
            before.push_back(i);
    }
    std::vector<int> after;
    for (int i = from, scanned = 0; i <= count && static_cast<int>(after.size()) < size && scanned < kMaxScan;
         ++i, ++scanned) {
        if (!host.track(i).isGroup())
            after.push_back(i);
    }
    // 2. Half before where there are that many, the rest after, and before
    // again when the list ends first.
    const std::size_t half = static_cast<std::size_t>(size / 2);
    std::size_t b = std::min(before.size(), half);
    const std::size_t a = std::min(after.size(), static_cast<std::size_t>(size) - b);
    b = std::min(before.size(), static_cast<std::size_t>(size) - a);
    std::vector<int> out(before.rbegin() + static_cast<std::ptrdiff_t>(before.size() - b), before.rend());
    out.insert(out.end(), after.begin(), after.begin() + static_cast<std::ptrdiff_t>(a));
    return out;
}

namespace {

std::vector<TrackState> trackStates(const MprisHost& host, int windowSize)
{
    std::vector<TrackState> out;
    for (int index : trackWindow(host, windowSize)) {
        const Track t = host.track(index);
        out.push_back({t.id, trackFingerprint(t)});
    }
    return out;
}

}  // namespace

MprisService::MprisService(MprisHost& host, QDBusConnection bus, Options options)
    : host_(host), bus_(std::move(bus)), options_(std::move(options))
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    stateTimer_.setSingleShot(true);
    stateTimer_.setInterval(0);
    connect(&stateTimer_, &QTimer::timeout, this, &MprisService::flushState);
    quietTimer_.setSingleShot(true);
    quietTimer_.setInterval(options_.quietDelay);
    maxTimer_.setSingleShot(true);
    maxTimer_.setInterval(options_.maxDelay);
    connect(&quietTimer_, &QTimer::timeout, this, &MprisService::quietTimeOut);
    connect(&maxTimer_, &QTimer::timeout, this, &MprisService::flushTrackList);

    if (!bus_.isConnected()) {
        qCDebug(lcMpris) << "no session bus: the desktop's media controls do not reach the player";
        return;
    }
    // What the desktop reads first is what it is told about later.
    mirror_.update(trackStates(host_, options_.trackWindow));
    for (std::uint64_t id : mirror_.ids())
        trackPaths_.push_back(trackPath(id));
    published_ = {playbackStatusName(host_.playbackStatus()), currentMetadata(), host_.volume(),
                  host_.playbackStatus() != PlaybackStatus::Stopped, currentTrackPath()};

    new RootAdaptor(*this);
    new PlayerAdaptor(*this);
    new TrackListAdaptor(*this);
    if (!bus_.registerObject(kObjectPath, this)) {
        qCDebug(lcMpris) << "cannot register" << kObjectPath << bus_.lastError().message();
        return;
    }
    // A second player of this name (another user's session bus shared, a
    // copy under test) makes this one an instance, as MPRIS allows.
    busName_ = options_.serviceName;
    if (!bus_.registerService(busName_)) {
        busName_ = options_.serviceName + QStringLiteral(".instance")
                   + QString::number(QCoreApplication::applicationPid());
        if (!bus_.registerService(busName_)) {
            qCDebug(lcMpris) << "the bus refuses the name" << busName_ << bus_.lastError().message();
            bus_.unregisterObject(kObjectPath);
            busName_.clear();
            return;
        }
    }
    registered_ = true;
}

MprisService::~MprisService()
{
    if (!registered_)
        return;
    bus_.unregisterObject(kObjectPath);
    bus_.unregisterService(busName_);
}

void MprisService::stateChanged()
{
    if (registered_ && !stateTimer_.isActive())
        stateTimer_.start();
}

void MprisService::trackListChanged()
{
    if (!registered_)
        return;
    // A run of changes waits for its end. Restarting the timer for each of
    // thousands of changes a second would cost more than the rest: the
    // time of the last one is kept, and the timer looks at it when it fires.
    lastChange_.start();
    if (!quietTimer_.isActive())
        quietTimer_.start(options_.quietDelay);
    if (!maxTimer_.isActive())
        maxTimer_.start();
}

void MprisService::seeked(double seconds)
{
    if (registered_)
        emit seekedTo(std::llround(std::max(0.0, seconds) * 1e6));
}

QDBusObjectPath MprisService::currentTrackPath() const
{
    const int index = host_.currentIndex();
    if (index < 1 || index > host_.trackCount())
        return noTrackPath();
    return trackPath(host_.track(index).id);
}

QVariantMap MprisService::currentMetadata() const
{
    const int index = host_.currentIndex();
    if (index < 1 || index > host_.trackCount())
        return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(noTrackPath())}};
    Track track = host_.track(index);
    // The open clip's length is the engine's, as its Position is: the
    // measured one is rounded to seconds.
    if (host_.playbackStatus() != PlaybackStatus::Stopped && host_.clipLength() > 0)
        track.lengthUs = std::llround(host_.clipLength() * 1e6);
    return trackMetadata(track);
}

QVariantMap MprisService::metadataOfId(std::uint64_t id) const
{
    const int index = host_.indexOf(id);
    if (index < 1 || host_.track(index).isGroup())
        return {};
    return trackMetadata(host_.track(index));
}

const QList<QDBusObjectPath>& MprisService::tracks()
{
    if (quietTimer_.isActive())
        flushTrackList();
    return trackPaths_;
}

QList<QVariantMap> MprisService::tracksMetadata(const QList<QDBusObjectPath>& ids) const
{
    QList<QVariantMap> out;
    out.reserve(ids.size());
    for (const QDBusObjectPath& path : ids) {
        const std::optional<std::uint64_t> id = trackIdOf(path);
        QVariantMap map = id ? metadataOfId(*id) : QVariantMap();
        if (id && *id == trackIdOf(currentTrackPath()))
            map = currentMetadata();
        if (!map.isEmpty())
            out.push_back(std::move(map));
    }
    return out;
}

void MprisService::flushState()
{
    const PlaybackStatus status = host_.playbackStatus();
    QVariantMap changed;
    const QString statusNow = playbackStatusName(status);
    if (statusNow != published_.status) {
        published_.status = statusNow;
        changed.insert(QStringLiteral("PlaybackStatus"), statusNow);
    }
    const bool open = status != PlaybackStatus::Stopped;
    if (open != published_.clipOpen) {
        published_.clipOpen = open;
        for (const char* name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"})
            changed.insert(QLatin1String(name), open);
    }
    const double volume = host_.volume();
    if (volume != published_.volume) {
        published_.volume = volume;
        changed.insert(QStringLiteral("Volume"), volume);
    }
    // Another current entry moves the track list's window.
    const QDBusObjectPath current = currentTrackPath();
    if (current != published_.current) {
        published_.current = current;
        trackListChanged();
    }
    QVariantMap metadata = currentMetadata();
    if (metadata != published_.metadata) {
        published_.metadata = metadata;
        changed.insert(QStringLiteral("Metadata"), metadata);
    }
    if (!changed.isEmpty())
        sendPropertiesChanged(kPlayerInterface, changed);
}

void MprisService::quietTimeOut()
{
    const auto quietFor = std::chrono::milliseconds(lastChange_.elapsed());
    if (quietFor < options_.quietDelay) {
        quietTimer_.start(options_.quietDelay - quietFor);
        return;
    }
    flushTrackList();
}

void MprisService::flushTrackList()
{
    quietTimer_.stop();
    maxTimer_.stop();
    stateChanged();  // the current entry's text or length may have changed with the list
    const TrackListUpdate update = mirror_.update(trackStates(host_, options_.trackWindow));
    if (update.empty())
        return;
    // Tracks is announced as invalidated, its new value told by the
    // TrackList signals.
    sendPropertiesChanged(kTrackListInterface, {}, {QStringLiteral("Tracks")});
    if (update.replaced) {
        trackPaths_.clear();
        trackPaths_.reserve(static_cast<qsizetype>(mirror_.ids().size()));
        for (std::uint64_t id : mirror_.ids())
            trackPaths_.push_back(trackPath(id));
        emit trackListReplaced(trackPaths_, currentTrackPath());
        return;
    }
    for (std::uint64_t id : update.removed) {
        trackPaths_.removeOne(trackPath(id));
        emit trackRemoved(trackPath(id));
    }
    for (const auto& [after, id] : update.added) {
        const qsizetype at = after == 0 ? 0 : trackPaths_.indexOf(trackPath(after)) + 1;
        trackPaths_.insert(at, trackPath(id));
        emit trackAdded(metadataOfId(id), after == 0 ? noTrackPath() : trackPath(after));
    }
    for (std::uint64_t id : update.metadataChanged)
        emit trackMetadataChanged(trackPath(id), metadataOfId(id));
}

void MprisService::sendPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                         const QStringList& invalidated)
{
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << interface << changed << invalidated;
    bus_.send(signal);
}

}  // namespace velmora::mpris
