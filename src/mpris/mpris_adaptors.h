#pragma once
// The three MPRIS2 interfaces as Qt D-Bus adaptors of the service object.
// Each method and property is one call on the service or its host; see
// mpris_service.h. Internal to the mpris library; UI thread.

#include "base/config_folder.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace velmora::mpris {

class MprisService;

class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit RootAdaptor(MprisService& service);

    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return true; }
    QString identity() const { return QString::fromUtf8(kApplicationName); }
    QString desktopEntry() const { return QStringLiteral("velmora4"); }
    QStringList supportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList supportedMimeTypes() const;

public slots:
    void Raise();
    void Quit();

private:
    MprisService& service_;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ clipOpen)
    Q_PROPERTY(bool CanGoPrevious READ clipOpen)
    Q_PROPERTY(bool CanPlay READ clipOpen)
    Q_PROPERTY(bool CanPause READ clipOpen)
    Q_PROPERTY(bool CanSeek READ clipOpen)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    explicit PlayerAdaptor(MprisService& service);

    QString playbackStatus() const;
    double rate() const { return 1.0; }
    void setRate(double rate);  // one speed only; 0.0 pauses, as MPRIS asks
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double level);
    qlonglong position() const;
    bool clipOpen() const;
    bool canControl() const { return true; }

public slots:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    void OpenUri(const QString& uri);

signals:
    void Seeked(qlonglong position);

private:
    MprisService& service_;
};

class TrackListAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.TrackList")
    Q_PROPERTY(QList<QDBusObjectPath> Tracks READ tracks)
    Q_PROPERTY(bool CanEditTracks READ canEditTracks)
public:
    explicit TrackListAdaptor(MprisService& service);

    QList<QDBusObjectPath> tracks() const;
    bool canEditTracks() const { return false; }

public slots:
    QList<QVariantMap> GetTracksMetadata(const QList<QDBusObjectPath>& trackIds);
    // The list is edited in the player only (CanEditTracks is false).
    void AddTrack(const QString&, const QDBusObjectPath&, bool) {}
    void RemoveTrack(const QDBusObjectPath&) {}
    void GoTo(const QDBusObjectPath& trackId);

signals:
    void TrackListReplaced(const QList<QDBusObjectPath>& tracks, const QDBusObjectPath& currentTrack);
    void TrackAdded(const QVariantMap& metadata, const QDBusObjectPath& afterTrack);
    void TrackRemoved(const QDBusObjectPath& trackId);
    void TrackMetadataChanged(const QDBusObjectPath& trackId, const QVariantMap& metadata);

private:
    MprisService& service_;
};

}  // namespace velmora::mpris
