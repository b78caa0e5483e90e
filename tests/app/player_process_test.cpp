// The real programs: the front program `velmora4` and the player it starts,
// each test with its own settings and runtime folders.

#include "support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

class PlayerProcessTest : public ::testing::Test {
protected:
    PlayerProcessTest()
    {
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("VELMORA_CONFIG_HOME"), home_.file(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.file(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velmora.command.debug=true\nvelmora.channel.debug=true"));
        QDir().mkpath(home_.file(QStringLiteral("clips")));
    }
    ~PlayerProcessTest() override
    {
        for (QProcess* p : running_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QString front() const { return QStringLiteral(VELMORA_BUILD_DIR "/velmora4"); }
    QString settingsText() const
    {
        QFile f(home_.file(QStringLiteral("config/settings.ini")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void writeSettings(const QByteArray& text) { test::writeFile(home_.file(QStringLiteral("config/settings.ini")), text); }
    QString clip(const QString& name)
    {
        return test::writeFile(home_.file(QStringLiteral("clips/") + name), "not really a clip");
    }

    // Starts the front program (which becomes the player when it is first).
    QProcess* launch(const QStringList& args, const QString& workingFolder = {})
    {
        auto* p = new QProcess;
        p->setProcessEnvironment(env_);
        p->setWorkingDirectory(workingFolder.isEmpty() ? home_.path() : workingFolder);
        p->start(front(), args);
        running_.push_back(p);
        return p;
    }
    int run(const QStringList& args, const QString& workingFolder = {}, int timeoutMs = 60000)
    {
        QProcess* p = launch(args, workingFolder);
        if (!p->waitForFinished(timeoutMs))
            return -1000;
        return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -999;
    }
    // The first copy is up when its channel socket exists.
    bool waitForChannel()
    {
        const QString socket = home_.file(QStringLiteral("runtime/Velmora 4/Velmora 4"));
        return test::waitFor([&] { return QFile::exists(socket); }, 60s);
    }
    // Paths the running copy added, from its debug output.
    QStringList added(QProcess* p)
    {
        stderr_ += QString::fromUtf8(p->readAllStandardError());
        QStringList paths;
        for (const QString& line : stderr_.split(QLatin1Char('\n'))) {
            const qsizetype at = line.indexOf(QLatin1String("velmora.command: add "));
            if (at >= 0)
                paths << line.mid(at + 21);
        }
        return paths;
    }

    test::TempHome home_;
    QProcessEnvironment env_;
    std::vector<QProcess*> running_;
    QString stderr_;
};

}  // namespace

// The maintenance verbs run with no window system at all.
TEST_F(PlayerProcessTest, InitAndUninstallNeedNoDisplay)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env_.remove(QString::fromLatin1(name));
    writeSettings("[Settings]\nVolume=40\n");
    EXPECT_EQ(run({QStringLiteral("INIT")}), 0) << stderr_.toStdString();
    const QString text = settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("MailslotName=Velmora 4"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("VolumeOpen=False")));
    EXPECT_TRUE(text.contains(QStringLiteral("PlaylistOpen=False")));
    EXPECT_TRUE(text.contains(QStringLiteral("PlayLeft=0")));
    EXPECT_FALSE(text.contains(QStringLiteral("Volume=40")));

    EXPECT_EQ(run({QStringLiteral("uninstall")}), 0);
    EXPECT_FALSE(QFile::exists(home_.file(QStringLiteral("config/settings.ini"))));
}

// A normal start with no display says so in one line instead of aborting.
TEST_F(PlayerProcessTest, AStartWithoutADisplayEndsWithOneLine)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env_.remove(QString::fromLatin1(name));
    QProcess* p = launch({});
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 1);
    const QByteArray error = p->readAllStandardError();
    EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
    EXPECT_TRUE(error.startsWith("velmora4: ")) << error.toStdString();
}

TEST_F(PlayerProcessTest, ASecondStartHandsItsFilesOverInOrder)
{
    writeSettings("[Settings]\nAutoPlay=0\n");
    QProcess* first = launch({});
    ASSERT_TRUE(waitForChannel());
    const QStringList files = {clip(QStringLiteral("with blank.mp3")), clip(QStringLiteral("Песня.ogg")),
                               clip(QStringLiteral("say \"hi\".wav"))};
    // Relative names, against the second start's own working folder.
    EXPECT_EQ(run({QStringLiteral("with blank.mp3"), QStringLiteral("Песня.ogg"), QStringLiteral("say \"hi\".wav")},
                  home_.file(QStringLiteral("clips"))),
              0);
    ASSERT_TRUE(test::waitFor([&] { return added(first).size() >= 3; }, 20s)) << stderr_.toStdString();
    EXPECT_EQ(added(first), files);
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(PlayerProcessTest, APathThatNamesNothingCostsNothingElseOfTheCommandLine)
{
    writeSettings("[Settings]\nAutoPlay=0\n");
    const QStringList files = {clip(QStringLiteral("c.ogg")), clip(QStringLiteral("w.mkv")),
                               clip(QStringLiteral("space name.wav"))};
    QProcess* first = launch({QStringLiteral("/nonexistent/x.mp3"), files[0]});
    ASSERT_TRUE(waitForChannel());
    ASSERT_TRUE(test::waitFor([&] { return added(first).size() >= 1; }, 20s)) << stderr_.toStdString();
    EXPECT_EQ(run({files[0], QStringLiteral("/nonexistent/x.mp3"), files[1], files[2]}), 0);
    ASSERT_TRUE(test::waitFor([&] { return added(first).size() >= 4; }, 20s)) << stderr_.toStdString();
    EXPECT_EQ(added(first), QStringList({files[0], files[0], files[1], files[2]}));
}

TEST_F(PlayerProcessTest, FiftySecondStartsAtOnceAllArriveWhole)
{
    writeSettings("[Settings]\nAutoPlay=0\n");
    QProcess* first = launch({});
    ASSERT_TRUE(waitForChannel());
    QStringList expected;
    std::vector<QProcess*> senders;
    for (int i = 0; i < 50; ++i) {
        expected << clip(QStringLiteral("clip %1.mp3").arg(i));
        senders.push_back(launch({expected.back()}));
    }
    for (QProcess* s : senders) {
        ASSERT_TRUE(s->waitForFinished(30000));
        EXPECT_EQ(s->exitCode(), 0);
    }
    ASSERT_TRUE(test::waitFor([&] { return added(first).size() >= 50; }, 30s));
    QStringList got = added(first);
    got.sort();
    expected.sort();
    EXPECT_EQ(got, expected);
}

TEST_F(PlayerProcessTest, AKilledFirstCopyDoesNotBlockTheNextStart)
{
    writeSettings("[Settings]\nAutoPlay=0\n");
    QProcess* first = launch({});
    ASSERT_TRUE(waitForChannel());
    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    first->waitForFinished(5000);
    // The dead copy's socket file is still there; the next copy takes the
    // lock, replaces the socket and says so.
    QProcess* second = launch({});
    ASSERT_TRUE(test::waitFor(
        [&] {
            stderr_ += QString::fromUtf8(second->readAllStandardError());
            return stderr_.contains(QLatin1String("listening on"));
        },
        60s))
        << stderr_.toStdString();
    const QString file = clip(QStringLiteral("after.mp3"));
    EXPECT_EQ(run({file}), 0);
    ASSERT_TRUE(test::waitFor([&] { return added(second).contains(file); }, 20s)) << stderr_.toStdString();
}

TEST_F(PlayerProcessTest, InitRegistersTheClassesAndUninstallLeavesTheDesktopAsItWas)
{
    const QString data = home_.file(QStringLiteral("data"));
    const QString mimeapps = home_.file(QStringLiteral("xdg-config/mimeapps.list"));
    test::writeFile(mimeapps, "[Default Applications]\naudio/mpeg=other.desktop;\n");
    EXPECT_EQ(run({QStringLiteral("init")}), 0);
    const QStringList entries = QDir(data + QStringLiteral("/applications")).entryList({QStringLiteral("vlmr4_*.desktop")});
    EXPECT_EQ(entries.size(), 33);
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/file-manager/actions/velmora4-play-clips.desktop")));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/velmora4/icons/mp3.png")));
    EXPECT_TRUE(settingsText().contains(QStringLiteral("33 checked=0")));

    EXPECT_EQ(run({QStringLiteral("uninstall")}), 0);
    EXPECT_TRUE(QDir(data + QStringLiteral("/applications")).entryList({QStringLiteral("vlmr4_*")}).isEmpty());
    EXPECT_FALSE(QFile::exists(data + QStringLiteral("/file-manager/actions/velmora4-play-clips.desktop")));
    QStringList left;
    QDirIterator it(data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << it.next();
    EXPECT_EQ(left, QStringList()) << "nothing of the player is left on the desktop";
    QFile list(mimeapps);
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), "[Default Applications]\naudio/mpeg=other.desktop;\n");
}
