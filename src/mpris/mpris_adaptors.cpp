#include "mpris/mpris_adaptors.h"

#include "mpris/mpris_log.h"
#include "mpris/mpris_metadata.h"
#include "mpris/mpris_service.h"


#include <algorithm>
#include <cmath>

namespace velmora::mpris {

namespace {

constexpr double kMicroseconds = 1e6;

qlonglong toMicroseconds(double seconds) { return std::llround(std::max(0.0, seconds) * kMicroseconds); }

}  // namespace

// --- org.mpris.MediaPlayer2 ---------------------------------------------------

RootAdaptor::RootAdaptor(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service) {}

QStringList RootAdaptor::supportedMimeTypes() const { return service_.options().mimeTypes; }

void RootAdaptor::Raise() { service_.host().raise(); }

void RootAdaptor::Quit() { service_.host().quit(); }

// --- org.mpris.MediaPlayer2.Player -------------------------------------------

PlayerAdaptor::PlayerAdaptor(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service)
{
    connect(&service, &MprisService::seekedTo, this, &PlayerAdaptor::Seeked);
}

QString PlayerAdaptor::playbackStatus() const { return playbackStatusName(service_.host().playbackStatus()); }

QVariantMap PlayerAdaptor::metadata() const { return service_.currentMetadata(); }

void PlayerAdaptor::setRate(double rate)
{
    if (rate == 0.0)
        service_.host().pause();
}

double PlayerAdaptor::volume() const { return service_.host().volume(); }

void PlayerAdaptor::setVolume(double level)
{
    if (std::isnan(level))
        return;
    service_.host().setVolume(std::clamp(level, 0.0, 1.0));
}

qlonglong PlayerAdaptor::position() const
{
    if (!clipOpen())
        return 0;
    return toMicroseconds(service_.host().position());
}

bool PlayerAdaptor::clipOpen() const { return service_.host().playbackStatus() != PlaybackStatus::Stopped; }

void PlayerAdaptor::Next() { service_.host().next(); }
void PlayerAdaptor::Previous() { service_.host().previous(); }
void PlayerAdaptor::Pause() { service_.host().pause(); }
void PlayerAdaptor::PlayPause() { service_.host().playPause(); }
void PlayerAdaptor::Stop() { service_.host().stop(); }
void PlayerAdaptor::Play() { service_.host().play(); }

void PlayerAdaptor::Seek(qlonglong offset)
{
    if (!clipOpen())
        return;
    MprisHost& host = service_.host();
    const double target = host.position() + static_cast<double>(offset) / kMicroseconds;
    // Past the end acts as Next; before the start goes to the start.
    if (host.clipLength() > 0 && target > host.clipLength()) {
        host.next();
        return;
    }
    host.seekTo(std::max(0.0, target));
}

void PlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position)
{
    // Only for the clip that plays now, and only inside it.
    if (!clipOpen() || trackId != service_.currentTrackPath())
        return;
    const double seconds = static_cast<double>(position) / kMicroseconds;
    if (seconds < 0 || seconds > service_.host().clipLength()) {
        qCDebug(lcMpris) << "position outside the clip ignored:" << position;
        return;
    }
    service_.host().seekTo(seconds);
}

void PlayerAdaptor::OpenUri(const QString& uri)
{
    const QString path = pathOfFileUrl(uri);
    if (path.isEmpty()) {
        qCDebug(lcMpris) << "only local files are opened:" << uri;
        return;
    }
    service_.host().openFile(path);
}

// --- org.mpris.MediaPlayer2.TrackList ----------------------------------------

TrackListAdaptor::TrackListAdaptor(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service)
{
    connect(&service, &MprisService::trackListReplaced, this, &TrackListAdaptor::TrackListReplaced);
    connect(&service, &MprisService::trackAdded, this, &TrackListAdaptor::TrackAdded);
    connect(&service, &MprisService::trackRemoved, this, &TrackListAdaptor::TrackRemoved);
    connect(&service, &MprisService::trackMetadataChanged, this, &TrackListAdaptor::TrackMetadataChanged);
}

QList<QDBusObjectPath> TrackListAdaptor::tracks() const { return service_.tracks(); }

QList<QVariantMap> TrackListAdaptor::GetTracksMetadata(const QList<QDBusObjectPath>& trackIds)
{
    return service_.tracksMetadata(trackIds);
}

void TrackListAdaptor::GoTo(const QDBusObjectPath& trackId)
{
    const std::optional<std::uint64_t> id = trackIdOf(trackId);
    const int index = id ? service_.host().indexOf(*id) : 0;
    if (index <= 0) {
        qCDebug(lcMpris) << "GoTo an entry that is not in the list:" << trackId.path();
        return;
    }
    service_.host().goTo(index);
}

}  // namespace velmora::mpris
