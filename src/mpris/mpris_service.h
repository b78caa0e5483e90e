#pragma once
// MprisService: the player on the D-Bus session bus as an MPRIS2 media
// player ("org.mpris.MediaPlayer2.velmora4", object /org/mpris/MediaPlayer2,
// with the root, Player and TrackList interfaces), so that media keys,
// desktop widgets and playerctl drive it. Every method calls the host
// (mpris_host.h); nothing is decided here that a button or key decides.
//
// Notifications: the player calls stateChanged() whenever its status,
// volume or current entry may have changed, trackListChanged() after
// playlist changes and seeked() after jumps in the clip. The service
// compares with what it told the desktop last and sends PropertiesChanged
// only for what differs, on the next turn of the event loop; track list
// changes are gathered for a short while and sent as one signal. The track
// list is a window of clips around the current entry (trackWindow()), so
// that a flush costs the same with ten entries as with 100,000.
//
// Threading and lifetime: UI thread only. The host must outlive the
// service; the service leaves the bus when destroyed. Without a bus, or
// when the bus refuses the name, registered() is false and the calls do
// nothing.

#include "mpris/mpris_host.h"
#include "mpris/track_list_mirror.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <chrono>
#include <vector>

namespace velmora::mpris {

// The indexes of the clips Tracks shows: up to size clips, half of them
// before the current entry where there are that many (from the start when
// none is current). Cost: the window and the groups between its clips.
std::vector<int> trackWindow(const MprisHost& host, int size);

class MprisService : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString serviceName = QStringLiteral("org.mpris.MediaPlayer2.velmora4");
        QStringList mimeTypes;  // SupportedMimeTypes
        // Track list changes are sent once this long has passed without
        // another, and never later than maxDelay after the first.
        std::chrono::milliseconds quietDelay{150};
        std::chrono::milliseconds maxDelay{1000};
        // Tracks lists this many clips around the current one (groups are
        // no tracks), as MPRIS recommends for long lists.
        int trackWindow = 20;
    };

    MprisService(MprisHost& host, QDBusConnection bus, Options options);
    ~MprisService() override;
    MprisService(const MprisService&) = delete;
    MprisService& operator=(const MprisService&) = delete;

    bool registered() const { return registered_; }
    // The name taken on the bus (the instance suffix added when another
    // program held the plain one).
    const QString& busName() const { return busName_; }

    // --- From the player ---------------------------------------------------
    void stateChanged();
    void trackListChanged();
    void seeked(double seconds);

    // --- For the interfaces (mpris_adaptors.cpp) ----------------------------
    MprisHost& host() { return host_; }
    const Options& options() const { return options_; }
    QVariantMap currentMetadata() const;
    QDBusObjectPath currentTrackPath() const;
    // Tracks as last sent, after sending what is pending.
    const QList<QDBusObjectPath>& tracks();
    QList<QVariantMap> tracksMetadata(const QList<QDBusObjectPath>& ids) const;

signals:
    // Relayed by the interfaces as their D-Bus signals.
    void seekedTo(qlonglong microseconds);
    void trackListReplaced(const QList<QDBusObjectPath>& tracks, const QDBusObjectPath& current);
    void trackAdded(const QVariantMap& metadata, const QDBusObjectPath& after);
    void trackRemoved(const QDBusObjectPath& id);
    void trackMetadataChanged(const QDBusObjectPath& id, const QVariantMap& metadata);

private:
    struct Published {  // what the desktop was told last
        QString status;
        QVariantMap metadata;
        double volume = -1;
        bool clipOpen = false;
        QDBusObjectPath current;
    };

    void flushState();
    void quietTimeOut();
    void flushTrackList();
    void sendPropertiesChanged(const QString& interface, const QVariantMap& changed,
                               const QStringList& invalidated = {});
    QVariantMap metadataOfId(std::uint64_t id) const;

    MprisHost& host_;
    QDBusConnection bus_;
    Options options_;
    bool registered_ = false;
    QString busName_;
    Published published_;
    TrackListMirror mirror_;
    QList<QDBusObjectPath> trackPaths_;
    QTimer stateTimer_;
    QTimer quietTimer_;
    QTimer maxTimer_;
    QElapsedTimer lastChange_;  // since the last track list change
};

}  // namespace velmora::mpris
