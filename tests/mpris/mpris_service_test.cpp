// The MPRIS service on a private bus with a fake player: each method reaches
// the player, properties and signals follow it, the track list mirrors the
// table and coalesces, and playerctl drives it as a desktop would.

#include "base/file_name.h"
#include "mpris/mpris_metadata.h"
#include "mpris/mpris_service.h"
#include "support/private_bus.h"
#include "support/test_support.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;
using namespace velmora::mpris;
using velmora::test::waitFor;

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.velmora4");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kTrackList = QStringLiteral("org.mpris.MediaPlayer2.TrackList");

struct FakeHost : MprisHost {
    PlaybackStatus status = PlaybackStatus::Stopped;
    double positionNow = 0;
    double length = 0;
    double level = 1.0;
    std::vector<Track> tracks;
    int current = -1;
    QStringList calls;

    PlaybackStatus playbackStatus() const override { return status; }
    double position() const override { return positionNow; }
    double clipLength() const override { return length; }
    double volume() const override { return level; }
    int trackCount() const override { return static_cast<int>(tracks.size()); }
    Track track(int index) const override { return tracks[static_cast<std::size_t>(index - 1)]; }
    int indexOf(std::uint64_t id) const override
    {
        for (std::size_t i = 0; i < tracks.size(); ++i)
            if (tracks[i].id == id)
                return static_cast<int>(i) + 1;
        return 0;
    }
    int currentIndex() const override { return current; }
    void play() override { calls << QStringLiteral("play"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void playPause() override { calls << QStringLiteral("playPause"); }
    void stop() override { calls << QStringLiteral("stop"); }
    void next() override { calls << QStringLiteral("next"); }
    void previous() override { calls << QStringLiteral("previous"); }
    void seekTo(double seconds) override { calls << QStringLiteral("seekTo %1").arg(seconds); }
    void setVolume(double l) override { calls << QStringLiteral("setVolume %1").arg(l); }
    void openFile(const QString& path) override { calls << QStringLiteral("openFile ") + path; }
    void goTo(int index) override { calls << QStringLiteral("goTo %1").arg(index); }
    void raise() override { calls << QStringLiteral("raise"); }
    void quit() override { calls << QStringLiteral("quit"); }

    void addTracks(int n)
    {
        for (int i = 0; i < n; ++i) {
            const std::uint64_t id = tracks.size() + 1;
            tracks.push_back({id, QStringLiteral("clip %1").arg(id), QStringLiteral("/m/clip %1.mp3").arg(id), -1});
        }
    }
};

// Signals from the service, as a client on the bus receives them.
class SignalLog : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> messages;
    int count(const QString& member) const
    {
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [&](const QDBusMessage& m) { return m.member() == member; }));
    }
    QVariantMap lastChanged() const
    {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it)
            if (it->member() == QLatin1String("PropertiesChanged"))
                return qdbus_cast<QVariantMap>(it->arguments().at(1));
        return {};
    }
public slots:
    void onSignal(const QDBusMessage& message) { messages << message; }
};

class MprisServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.ok()) << "dbus-daemon could not be started";
        host.addTracks(3);
        host.tracks[0].path.clear();  // the root group
        host.tracks[0].title = QStringLiteral("Все клипы");
        service = std::make_unique<MprisService>(host, bus.connection(), MprisService::Options{});
        ASSERT_TRUE(service->registered());
        const std::pair<QString, const char*> signalsOfInterest[] = {
            {QStringLiteral("org.freedesktop.DBus.Properties"), "PropertiesChanged"},
            {kPlayer, "Seeked"},
            {kTrackList, "TrackListReplaced"},
            {kTrackList, "TrackAdded"},
            {kTrackList, "TrackRemoved"},
            {kTrackList, "TrackMetadataChanged"}};
        for (const auto& [interface, name] : signalsOfInterest)
            ASSERT_TRUE(bus.client().connect(kService, kPath, interface, QLatin1String(name), &log,
                                             SLOT(onSignal(QDBusMessage))));
    }
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, interface, method);
        m.setArguments(args);
        return bus.client().call(m, QDBus::BlockWithGui, 5000);
    }
    QVariant property(const QString& interface, const QString& name)
    {
        const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {interface, name});
        return reply.arguments().isEmpty() ? QVariant() : qdbus_cast<QDBusVariant>(reply.arguments().at(0)).variant();
    }
    QList<QDBusObjectPath> tracks()
    {
        return qdbus_cast<QList<QDBusObjectPath>>(property(kTrackList, QStringLiteral("Tracks")));
    }

    test::PrivateBus bus;
    FakeHost host;
    std::unique_ptr<MprisService> service;
    SignalLog log;
};

TEST_F(MprisServiceTest, MethodsReachThePlayer)
{
    host.status = PlaybackStatus::Playing;
    host.current = 2;
    host.positionNow = 10;
    host.length = 60;
    for (const char* m : {"Play", "Pause", "PlayPause", "Stop", "Next", "Previous"})
        call(kPlayer, QLatin1String(m));
    call(kPlayer, QStringLiteral("Seek"), {qlonglong(5'000'000)});
    call(kPlayer, QStringLiteral("Seek"), {qlonglong(-60'000'000)});  // before the start: the start
    call(kPlayer, QStringLiteral("Seek"), {qlonglong(60'000'000)});   // past the end: next
    call(kPlayer, QStringLiteral("SetPosition"), {QVariant::fromValue(trackPath(2)), qlonglong(30'000'000)});
    call(kPlayer, QStringLiteral("SetPosition"), {QVariant::fromValue(trackPath(3)), qlonglong(1'000'000)});
    call(kPlayer, QStringLiteral("SetPosition"), {QVariant::fromValue(trackPath(2)), qlonglong(61'000'000)});
    call(kPlayer, QStringLiteral("OpenUri"), {QStringLiteral("file:///m/a%20b.ogg")});
    call(kPlayer, QStringLiteral("OpenUri"), {QStringLiteral("http://example.com/x.mp3")});
    call(kTrackList, QStringLiteral("GoTo"), {QVariant::fromValue(trackPath(3))});
    call(kTrackList, QStringLiteral("GoTo"), {QVariant::fromValue(trackPath(99))});
    call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Raise"));
    call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit"));
    for (double rate : {1.0, 0.0})  // 0.0 acts as Pause
        call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
             {kPlayer, QStringLiteral("Rate"), QVariant::fromValue(QDBusVariant(rate))});
    EXPECT_EQ(host.calls, QStringList({"play", "pause", "playPause", "stop", "next", "previous", "seekTo 15",
                                       "seekTo 0", "next", "seekTo 30", "openFile /m/a b.ogg", "goTo 3", "raise",
                                       "quit", "pause"}));

    host.calls.clear();
    host.status = PlaybackStatus::Stopped;
    call(kPlayer, QStringLiteral("Seek"), {qlonglong(1'000'000)});
    call(kPlayer, QStringLiteral("SetPosition"), {QVariant::fromValue(trackPath(2)), qlonglong(1'000'000)});
    EXPECT_TRUE(host.calls.isEmpty()) << "no jumps without an open clip";
}

TEST_F(MprisServiceTest, PropertiesFollowThePlayerAndChangesAreSignalledOnce)
{
    EXPECT_EQ(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Stopped");
    EXPECT_FALSE(property(kPlayer, QStringLiteral("CanPlay")).toBool());
    EXPECT_TRUE(property(kPlayer, QStringLiteral("CanControl")).toBool());

    host.status = PlaybackStatus::Playing;
    host.current = 2;
    host.positionNow = 1.5;
    host.length = 2.6;
    host.tracks[1].lengthUs = 3'000'000;  // measured, in whole seconds
    service->stateChanged();
    service->stateChanged();
    ASSERT_TRUE(waitFor([&] { return log.count(QStringLiteral("PropertiesChanged")) == 1; }));
    QVariantMap changed = log.lastChanged();
    EXPECT_EQ(changed.value(QStringLiteral("PlaybackStatus")).toString(), "Playing");
    EXPECT_TRUE(changed.value(QStringLiteral("CanGoNext")).toBool());
    const QVariantMap metadata = qdbus_cast<QVariantMap>(changed.value(QStringLiteral("Metadata")));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), "clip 2");
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(), "file:///m/clip%202.mp3");
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 2'600'000) << "the engine's, as Position is";
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(metadata.value(QStringLiteral("mpris:trackid"))), trackPath(2));
    EXPECT_EQ(property(kPlayer, QStringLiteral("Position")).toLongLong(), 1'500'000);

    // Nothing changed: nothing sent. A pause changes the status alone.
    service->stateChanged();
    host.status = PlaybackStatus::Paused;
    service->stateChanged();
    ASSERT_TRUE(waitFor([&] { return log.count(QStringLiteral("PropertiesChanged")) == 2; }));
    EXPECT_EQ(log.lastChanged().keys(), QStringList({"PlaybackStatus"}));

    // Volume written by a client is clamped and reaches the player.
    call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
         {kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(1.7))});
    EXPECT_EQ(host.calls, QStringList({"setVolume 1"}));
    host.level = 0.42;
    service->stateChanged();
    ASSERT_TRUE(waitFor([&] { return log.count(QStringLiteral("PropertiesChanged")) == 3; }));
    EXPECT_DOUBLE_EQ(log.lastChanged().value(QStringLiteral("Volume")).toDouble(), 0.42);

    service->seeked(2.25);
    ASSERT_TRUE(waitFor([&] { return log.count(QStringLiteral("Seeked")) == 1; }));
    EXPECT_EQ(log.messages.last().arguments().at(0).toLongLong(), 2'250'000);
}

TEST_F(MprisServiceTest, TrackListIsAWindowOfClipsAndEveryChangeIsAnnounced)
{
    EXPECT_EQ(tracks(), QList<QDBusObjectPath>({trackPath(2), trackPath(3)})) << "the root group is no track";
    const QDBusMessage reply = call(kTrackList, QStringLiteral("GetTracksMetadata"),
                                    {QVariant::fromValue(QList<QDBusObjectPath>({trackPath(3), trackPath(1)}))});
    const auto maps = qdbus_cast<QList<QVariantMap>>(reply.arguments().at(0));
    ASSERT_EQ(maps.size(), 1);
    EXPECT_EQ(maps[0].value(QStringLiteral("xesam:title")).toString(), "clip 3");
    auto tracksInvalidated = [&] {
        return std::count_if(log.messages.begin(), log.messages.end(), [](const QDBusMessage& m) {
            return m.member() == QLatin1String("PropertiesChanged") && m.arguments().at(0).toString() == kTrackList
                   && m.arguments().at(2).toStringList() == QStringList{QStringLiteral("Tracks")};
        });
    };

    // One file added and one measured: sent one by one, Tracks announced.
    host.addTracks(1);
    host.tracks[1].lengthUs = 7'000'000;
    service->trackListChanged();
    ASSERT_TRUE(waitFor([&] { return log.count(QStringLiteral("TrackMetadataChanged")) == 1; }));
    EXPECT_EQ(log.count(QStringLiteral("TrackAdded")), 1);
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(log.messages.last().arguments().at(0)), trackPath(2));
    EXPECT_EQ(tracksInvalidated(), 1);

    // 10,000 more files and a group: the window holds 20 clips.
    host.addTracks(10'000);
    host.tracks[100].path.clear();
    service->trackListChanged();
    EXPECT_EQ(tracks().size(), 20) << "Tracks sends what is pending first";
    EXPECT_EQ(tracksInvalidated(), 2);

    // Another current entry moves the window around it: one replacement.
    log.messages.clear();
    host.current = 5000;
    host.status = PlaybackStatus::Playing;
    service->stateChanged();
    ASSERT_TRUE(waitFor([&] { return log.count(QStringLiteral("TrackListReplaced")) == 1; }));
    QList<QDBusObjectPath> around;
    for (std::uint64_t id = 4990; id < 5010; ++id)
        around << trackPath(id);
    const QDBusMessage replaced = *std::find_if(log.messages.begin(), log.messages.end(), [](const QDBusMessage& m) {
        return m.member() == QLatin1String("TrackListReplaced");
    });
    EXPECT_EQ(qdbus_cast<QList<QDBusObjectPath>>(replaced.arguments().at(0)), around);
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(replaced.arguments().at(1)), trackPath(5000));

    // Near the end the window reaches back further; a group is skipped.
    host.current = 102;
    host.tracks.erase(host.tracks.begin() + 103, host.tracks.end());
    service->trackListChanged();
    QList<QDBusObjectPath> end;
    for (std::uint64_t id = 82; id <= 103; ++id)
        if (id != 101)
            end << trackPath(id);
    EXPECT_EQ(tracks(), end.mid(end.size() - 20));
}

TEST_F(MprisServiceTest, PlayerctlDrivesThePlayer)
{
    host.status = PlaybackStatus::Playing;
    host.current = 3;
    auto playerctl = [&](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(bus.environment());
        p.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("velmora4")} + args);
        // playerctl waits for the answers, so the bus must be served meanwhile.
        waitFor([&] { return p.state() == QProcess::NotRunning; });
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    playerctl({QStringLiteral("play-pause")});
    playerctl({QStringLiteral("volume"), QStringLiteral("0.5")});
    EXPECT_EQ(host.calls, QStringList({"playPause", "setVolume 0.5"}));
    EXPECT_EQ(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}), "clip 3");
    EXPECT_EQ(playerctl({QStringLiteral("status")}), "Playing");
}

TEST(MprisServiceWithoutBus, DoesNothing)
{
    FakeHost host;
    MprisService service(host, QDBusConnection(QStringLiteral("no such connection")), MprisService::Options{});
    EXPECT_FALSE(service.registered());
    service.stateChanged();
    service.trackListChanged();
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST(MprisMetadata, MimeTypesAndTrackPaths)
{
    const QStringList types = mimeTypesForExtensions({QStringLiteral("mp3"), QStringLiteral("MP3"),
                                                      QStringLiteral("ogg"), QStringLiteral("nonsense")});
    EXPECT_TRUE(types.contains(QStringLiteral("audio/mpeg")));
    EXPECT_EQ(types.count(QStringLiteral("audio/mpeg")), 1);
    EXPECT_FALSE(types.contains(QStringLiteral("application/octet-stream")));
    EXPECT_EQ(trackIdOf(trackPath(12345)), 12345u);
    const QString odd = fileNameFromBytes("/m/caf\xE9 x.mp3");
    EXPECT_EQ(fileUrl(odd), "file:///m/caf%E9%20x.mp3") << "a name's bytes as they are";
    EXPECT_EQ(pathOfFileUrl(fileUrl(odd)), odd);
    EXPECT_TRUE(pathOfFileUrl(QStringLiteral("file://elsewhere/m/a.mp3")).isEmpty());
    EXPECT_EQ(fileUrl(QStringLiteral("C:\\Music\\a b.mp3")), "file:///C:/Music/a%20b.mp3") << "from an old list";
    EXPECT_EQ(fileUrl(QStringLiteral("http://radio.example/one")), "http://radio.example/one");
    Track tagged{7, QStringLiteral("Song"), QStringLiteral("/m/a.mp3"), 1'000'000, QStringLiteral("Artist"),
                 QStringLiteral("Album"), 3, QStringLiteral("/c/cover.png")};
    const QVariantMap map = trackMetadata(tagged);
    EXPECT_EQ(map.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{"Artist"});
    EXPECT_EQ(map.value(QStringLiteral("xesam:trackNumber")).toInt(), 3);
    EXPECT_EQ(map.value(QStringLiteral("mpris:artUrl")).toString(), "file:///c/cover.png");
    EXPECT_FALSE(trackIdOf(noTrackPath()).has_value());
}

}  // namespace

#include "mpris_service_test.moc"
