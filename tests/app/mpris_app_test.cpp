// The player on a private bus with its real parts: each desktop command
// changes the player as its key or button does, properties and signals
// follow playback, and the track list follows the playlist.

#include "app/mpris_bridge.h"
#include "app/key_command.h"
#include "app/velmora.h"
#include "keys/key_map.h"
#include "mpris/mpris_metadata.h"
#include "media/media_clips.h"
#include "playlist/playlist_model.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "skin/main_form.h"
#include "skin/skinned_windows.h"
#include "support/private_bus.h"
#include "support/test_support.h"
#include "volume/volume_control.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace velmora;
using velmora::test::waitFor;

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.velmora4");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kTrackList = QStringLiteral("org.mpris.MediaPlayer2.TrackList");

class SignalLog : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> messages;
    bool has(const QString& member, const std::function<bool(const QVariantList&)>& match) const
    {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const QDBusMessage& m) { return m.member() == member && match(m.arguments()); });
    }
public slots:
    void onSignal(const QDBusMessage& message) { messages << message; }
};

class MprisAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.ok()) << "dbus-daemon could not be started";
        for (const char* name : {"one", "two", "three"}) {
            const QString path = clipFolder.filePath(QLatin1String(name) + QStringLiteral(".wav"));
            ASSERT_TRUE(test::runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                         QStringLiteral("sine=f=440:d=30"), QStringLiteral("-ar"),
                                         QStringLiteral("8000"), path}));
            clips << path;
        }
        test::writeFile(home.file(QStringLiteral("settings.ini")), "[Settings]\nAutoClose=0\nVolumeOpen=True\n");
        Velmora::Options options;
        options.configFolder = home.path();
        options.programFolder = QStringLiteral(VELMORA_BUILD_DIR "/");
        options.media.moduleFile = QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so");
        options.media.engine.videoOutput = QStringLiteral("null");
        options.media.engine.audioOutput = QStringLiteral("null");
        options.mprisBus = bus.address();
        options.notificationArea = [] { return true; };  // Close with NotClose only hides
        app = std::make_unique<Velmora>(options);
        for (const auto& [interface, name] : {std::pair{QStringLiteral("org.freedesktop.DBus.Properties"),
                                                        QStringLiteral("PropertiesChanged")},
                                              std::pair{kPlayer, QStringLiteral("Seeked")},
                                              std::pair{kTrackList, QStringLiteral("TrackListReplaced")},
                                              std::pair{kTrackList, QStringLiteral("TrackAdded")}})
            bus.client().connect(kService, kPath, interface, name, &log, SLOT(onSignal(QDBusMessage)));
    }
    void start(const QStringList& paths)
    {
        QString command;
        for (const QString& p : paths)
            command += QLatin1Char('"') + p + QStringLiteral("\" ");
        ASSERT_TRUE(app->start(command.trimmed(), nullptr));
        ASSERT_NE(app->mpris(), nullptr) << "the player is on the bus";
    }
    void call(const QString& interface, const QString& method, const QVariantList& args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, interface, method);
        m.setArguments(args);
        const QDBusMessage reply = bus.client().call(m, QDBus::BlockWithGui, 5000);
        ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    }
    QVariant property(const QString& interface, const QString& name)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                        QStringLiteral("Get"));
        m.setArguments({interface, name});
        const QDBusMessage reply = bus.client().call(m, QDBus::BlockWithGui, 5000);
        return reply.arguments().isEmpty() ? QVariant() : qdbus_cast<QDBusVariant>(reply.arguments().at(0)).variant();
    }
    bool statusSignalled(const QString& status)
    {
        return waitFor([&] {
            return log.has(QStringLiteral("PropertiesChanged"), [&](const QVariantList& a) {
                return qdbus_cast<QVariantMap>(a.at(1)).value(QStringLiteral("PlaybackStatus")).toString() == status;
            });
        });
    }
    QDBusObjectPath trackOf(int index) { return mpris::trackPath(app->playlist().entryId(index)); }
    static QString pathOfArt(const QVariantMap& metadata)
    {
        return mpris::pathOfFileUrl(metadata.value(QStringLiteral("mpris:artUrl")).toString());
    }
    QString playerctl(const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(bus.environment());
        p.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("velmora4")} + args);
        waitFor([&] { return p.state() == QProcess::NotRunning; });  // the bus is served meanwhile
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    test::PrivateBus bus;
    test::TempHome home;
    QTemporaryDir clipFolder;
    QStringList clips;
    std::unique_ptr<Velmora> app;
    SignalLog log;
};

TEST_F(MprisAppTest, DesktopCommandsActAsTheKeysAndButtons)
{
    start(clips);
    MainForm& main = app->windows().mainForm();
    MediaEngine& engine = app->engine();
    ASSERT_TRUE(waitFor([&] { return engine.fileName() == clips[0] && main.element("Pause")->isEnabled(); }));
    EXPECT_EQ(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Playing");
    // Once every length is measured, only what the commands change is signalled.
    ASSERT_TRUE(waitFor([&] { return app->playlist().entry(1).time == 90; }));
    velmora::test::settle(std::chrono::milliseconds(200));
    log.messages.clear();

    call(kPlayer, QStringLiteral("PlayPause"));
    EXPECT_TRUE(waitFor([&] { return engine.state() == MediaEngine::kPaused && !main.element("Pause")->isEnabled(); }));
    EXPECT_TRUE(statusSignalled(QStringLiteral("Paused")));
    call(kPlayer, QStringLiteral("Play"));
    EXPECT_TRUE(waitFor([&] { return engine.state() == MediaEngine::kPlaying && main.element("Pause")->isEnabled(); }));
    call(kPlayer, QStringLiteral("Play"));  // playing already: no restart
    call(kPlayer, QStringLiteral("SetPosition"), {QVariant::fromValue(trackOf(2)), qlonglong(10'000'000)});
    EXPECT_TRUE(waitFor([&] { return engine.position() >= 10; })) << "jumped to 10 s";
    EXPECT_TRUE(waitFor([&] {
        return log.has(QStringLiteral("Seeked"), [](const QVariantList& a) { return a.at(0).toLongLong() == 10'000'000; });
    }));

    call(kPlayer, QStringLiteral("Next"));
    EXPECT_TRUE(waitFor([&] { return engine.fileName() == clips[1] && app->playlist().currentIndex() == 3; }));
    const QVariantMap metadata = qdbus_cast<QVariantMap>(property(kPlayer, QStringLiteral("Metadata")));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), "two.wav");
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(metadata.value(QStringLiteral("mpris:trackid"))), trackOf(3));
    call(kPlayer, QStringLiteral("Previous"));
    EXPECT_TRUE(waitFor([&] { return engine.fileName() == clips[0] && app->playlist().currentIndex() == 2; }));
    // Desktop commands are no keys: the keys' lock-out does not drop the second.
    call(kPlayer, QStringLiteral("PlayPause"));
    call(kPlayer, QStringLiteral("PlayPause"));
    EXPECT_TRUE(app->controller().state().playing()) << "paused and resumed";

    // The volume window's level and the designed table, both ways.
    call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
         {kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.5))});
    EXPECT_EQ(app->settings().whole(keys::Volume), 50);
    EXPECT_EQ(app->volumeControl().volumePercent(), 50);
    app->volumeControl().pressVolumeDown();
    EXPECT_TRUE(waitFor([&] { return property(kPlayer, QStringLiteral("Volume")).toDouble() < 0.5; }));

    call(kPlayer, QStringLiteral("Stop"));
    EXPECT_TRUE(waitFor([&] { return app->playlist().currentIndex() == -1 && !main.element("Play")->isEnabled(); }));
    EXPECT_TRUE(statusSignalled(QStringLiteral("Stopped")));
    EXPECT_FALSE(property(kPlayer, QStringLiteral("CanGoNext")).toBool());
    call(kPlayer, QStringLiteral("PlayPause"));  // as Space: nothing without an open clip
    velmora::test::settle(std::chrono::milliseconds(200));
    EXPECT_FALSE(main.element("Play")->isEnabled());
}

TEST_F(MprisAppTest, TrackListFollowsThePlaylistAndOpenUriAddsAndPlays)
{
    app->settings().setWhole(keys::NotClose, 1);
    app->settings().setWhole(keys::Tray, 1);
    start({});
    test::writeFile(clipFolder.filePath(QStringLiteral("mix.m3u")), "#EXTINF:30,Second\ntwo.wav\nthree.wav\n");
    call(kPlayer, QStringLiteral("OpenUri"),
         {QUrl::fromLocalFile(clipFolder.filePath(QStringLiteral("mix.m3u"))).toString()});
    PlaylistModel& list = app->playlist();
    ASSERT_TRUE(waitFor([&] { return list.playlistCount() == 4; })) << "the root, the list's group and two clips";
    EXPECT_EQ(list.entry(3).text, "Second");
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips[1]; })) << "nothing played: OpenUri plays";
    EXPECT_TRUE(waitFor([&] {
        return qdbus_cast<QList<QDBusObjectPath>>(property(kTrackList, QStringLiteral("Tracks")))
               == QList<QDBusObjectPath>({trackOf(3), trackOf(4)});
    }));
    EXPECT_TRUE(log.has(QStringLiteral("TrackListReplaced"), [](const QVariantList&) { return true; })
                || log.has(QStringLiteral("TrackAdded"), [](const QVariantList&) { return true; }));
    EXPECT_TRUE(log.has(QStringLiteral("PropertiesChanged"), [](const QVariantList& a) {
        return a.at(0).toString() == kTrackList && a.at(2).toStringList().contains(QStringLiteral("Tracks"));
    })) << "Tracks announced after OpenUri";

    call(kTrackList, QStringLiteral("GoTo"), {QVariant::fromValue(trackOf(4))});
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips[2]; }));

    // Close only hides (NotClose); Raise brings the windows back; Quit ends.
    app->close();
    ASSERT_TRUE(app->hiddenToTray());
    call(kRoot, QStringLiteral("Raise"));
    EXPECT_FALSE(app->hiddenToTray());
    EXPECT_TRUE(app->windows().mainForm().isVisible());
    QSignalSpy ended(app.get(), &Velmora::ended);
    call(kRoot, QStringLiteral("Quit"));
    EXPECT_TRUE(app->closing());
    EXPECT_TRUE(ended.wait(5000));
}

TEST_F(MprisAppTest, MetadataComesFromTheClipsTags)
{
    // A tagged clip with its cover inside; an untagged one with a cover beside it.
    const QString cover = clipFolder.filePath(QStringLiteral("cover-source.png"));
    const QString tagged = clipFolder.filePath(QStringLiteral("tagged.flac"));
    const QString plain = clipFolder.filePath(QStringLiteral("plain/one.wav"));
    ASSERT_TRUE(QDir().mkpath(clipFolder.filePath(QStringLiteral("plain"))));
    ASSERT_TRUE(test::runFfmpeg({"-f", "lavfi", "-i", "color=c=red:s=16x16", "-frames:v", "1", cover}));
    ASSERT_TRUE(test::runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:d=30", "-i", cover, "-map", "0:a", "-map", "1:v",
                                 "-c:v", "png", "-disposition:v", "attached_pic", "-ar", "8000", "-metadata",
                                 "title=Заголовок", "-metadata", "artist=Исполнитель", "-metadata", "album=Альбом",
                                 "-metadata", "track=3/12", tagged}));
    QFile::copy(clips[0], plain);
    test::writeFile(clipFolder.filePath(QStringLiteral("plain/Folder.JPG")), "a picture");
    start({tagged, plain});
    ASSERT_TRUE(waitFor([&] { return app->engine().fileName() == tagged; }));
    auto metadata = [&] { return qdbus_cast<QVariantMap>(property(kPlayer, QStringLiteral("Metadata"))); };
    ASSERT_TRUE(waitFor([&] { return metadata().value(QStringLiteral("xesam:title")).toString() == "Заголовок"; }))
        << "read off the UI thread, then announced";
    QVariantMap m = metadata();
    EXPECT_EQ(m.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{"Исполнитель"});
    EXPECT_EQ(m.value(QStringLiteral("xesam:album")).toString(), "Альбом");
    EXPECT_EQ(m.value(QStringLiteral("xesam:trackNumber")).toInt(), 3);
    const QString art = pathOfArt(m);
    EXPECT_TRUE(art.startsWith(MprisBridge::coverFolder())) << art.toStdString();
    QFile written(art);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("\x89PNG")) << "the embedded picture, written to the cache";
    EXPECT_EQ(playerctl({QStringLiteral("metadata"), QStringLiteral("artist")}), "Исполнитель");

    call(kPlayer, QStringLiteral("Next"));
    ASSERT_TRUE(waitFor([&] { return app->engine().fileName() == plain; }));
    EXPECT_TRUE(waitFor([&] {
        return pathOfArt(metadata()) == clipFolder.filePath(QStringLiteral("plain/Folder.JPG"));
    })) << "the cover beside the clip";
    m = metadata();
    EXPECT_EQ(m.value(QStringLiteral("xesam:title")).toString(), "one.wav") << "no tag: the file name";
    EXPECT_FALSE(m.contains(QStringLiteral("xesam:artist")));
}

TEST_F(MprisAppTest, StatusIsThePlayersStateAndDesktopCommandsAreNeverDropped)
{
    const QString brief = clipFolder.filePath(QStringLiteral("brief.wav"));
    ASSERT_TRUE(test::runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:d=1", "-ar", "8000", brief}));
    app->settings().setWhole(keys::AutoNext, 0);
    start({brief, clips[0], clips[1], clips[2]});
    MediaEngine& engine = app->engine();
    ASSERT_TRUE(waitFor([&] { return engine.fileName() == brief && engine.state() == MediaEngine::kPlaying; }));
    // The clip ends and AutoNext is off: nothing plays, and the desktop is told.
    EXPECT_TRUE(waitFor([&] { return property(kPlayer, QStringLiteral("PlaybackStatus")).toString() != "Playing"; },
                        std::chrono::seconds(10)));
    EXPECT_NE(engine.state(), MediaEngine::kPlaying);
    call(kPlayer, QStringLiteral("Play"));
    EXPECT_TRUE(waitFor([&] { return engine.state() == MediaEngine::kPlaying; })) << "Play works after the end";
    EXPECT_TRUE(statusSignalled(QStringLiteral("Playing")));

    // A key just pressed (its lock-out running) does not swallow a desktop
    // command.
    call(kPlayer, QStringLiteral("Next"));
    ASSERT_TRUE(waitFor([&] { return engine.fileName() == clips[0] && engine.state() == MediaEngine::kPlaying; }));
    app->keys().press(vk::RightBracket);
    QDBusMessage previous = QDBusMessage::createMethodCall(kService, kPath, kPlayer, QStringLiteral("Previous"));
    bus.client().call(previous, QDBus::BlockWithGui, 5000);
    // Had the command been dropped, the key's step would have reached entry 4.
    ASSERT_TRUE(waitFor([&] { return engine.state() == MediaEngine::kPlaying; }));
    velmora::test::settle(std::chrono::milliseconds(300));
    EXPECT_LT(app->playlist().currentIndex(), 4) << "the desktop's step back acted";

    // Next while paused stays paused, as MPRIS asks.
    const int here = app->playlist().currentIndex();
    call(kPlayer, QStringLiteral("Pause"));
    ASSERT_TRUE(waitFor([&] { return engine.state() == MediaEngine::kPaused; }));
    call(kPlayer, QStringLiteral("Next"));
    ASSERT_TRUE(waitFor([&] { return app->playlist().currentIndex() == here + 1; }));
    velmora::test::settle(std::chrono::milliseconds(300));
    EXPECT_EQ(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Paused");
}

TEST_F(MprisAppTest, OpenUriPlaysWhenStoppedAndIsNoStartOfTheProgram)
{
    // AutoClose would end a player started by a file manager at the end of
    // its list; AutoPlay off: OpenUri plays all the same.
    const QString brief = clipFolder.filePath(QStringLiteral("brief.wav"));
    ASSERT_TRUE(test::runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:d=1", "-ar", "8000", brief}));
    app->settings().setWhole(keys::AutoClose, 1);
    app->settings().setWhole(keys::AutoPlay, 0);
    start({});
    call(kPlayer, QStringLiteral("OpenUri"), {QUrl::fromLocalFile(brief).toString()});
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == brief; })) << "stopped: OpenUri plays";
    EXPECT_TRUE(waitFor([&] { return property(kPlayer, QStringLiteral("PlaybackStatus")).toString() == "Stopped"; },
                        std::chrono::seconds(10))) << "the end of the list";
    velmora::test::settle(std::chrono::milliseconds(300));
    EXPECT_FALSE(app->closing()) << "no AutoClose after the desktop's open";

    call(kPlayer, QStringLiteral("OpenUri"), {QUrl::fromLocalFile(clips[1]).toString()});
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips[1]; })) << "stopped again: plays";
}

}  // namespace

#include "mpris_app_test.moc"
