// The real program on a real X server, driven with xdotool as a user
// drives it: the options dialog from the video window's menu, Close without
// a notification area (Xvfb has none), the orderly end on a signal, and the
// list that comes back at the next start.

#include "support/test_support.h"
#include "support/x_driver.h"

#include <QProcess>
#include <QStandardPaths>
#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <gtest/gtest.h>

#include <csignal>

using namespace velmora;
using namespace velmora::test;
using namespace std::chrono_literals;

namespace {

class OptionsProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs an X server and xdotool";
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("VELMORA_CONFIG_HOME"), home_.file(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.file(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home_.file(QStringLiteral("data")));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.file(QStringLiteral("xdg-config")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velmora.app.debug=true\nvelmora.command.debug=true"));
    }
    void TearDown() override
    {
        for (QProcess* p : running_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QProcess* launch(const QByteArray& settings)
    {
        test::writeFile(home_.file(QStringLiteral("config/settings.ini")),
                        "[Settings]\nAutoPlay=0\n" + settings + "[Position]\nLeft=100\nTop=100\n");
        return launchWithStoredSettings();
    }
    QProcess* launchWithStoredSettings()
    {
        auto* p = new QProcess;
        p->setProcessEnvironment(env_);
        p->start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4"), {});
        running_.push_back(p);
        return p;
    }
    // Waits for a line of the player's debug output; all of it so far.
    bool waitForOutput(QProcess* p, const QString& text, std::chrono::milliseconds timeout = 60s)
    {
        return test::waitFor(
            [&] {
                output_ += QString::fromUtf8(p->readAllStandardError());
                return output_.contains(text);
            },
            timeout);
    }
    // Ends the player as a signal does (Close's saving, no fade).
    static void endBySignal(QProcess* p)
    {
        ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
        ASSERT_TRUE(p->waitForFinished(30000));
        EXPECT_EQ(p->exitCode(), 0);
    }

    test::TempHome home_;
    QProcessEnvironment env_;
    std::vector<QProcess*> running_;
    QString output_;
};

QString makeTone(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                            QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                                            QStringLiteral("-i"), QStringLiteral("sine=frequency=440:duration=8"), path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 ? path : QString();
}

// "main" keys of a saved list: its files and the current entry's place.
QMap<QString, QString> listKeys(const QString& path)
{
    QMap<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return keys;
    QString section;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            section = line.mid(1, line.size() - 2);
        else if (const qsizetype eq = line.indexOf(QLatin1Char('=')); eq > 0)
            keys.insert(section + QLatin1Char('/') + line.left(eq), line.mid(eq + 1));
    }
    return keys;
}

}  // namespace

TEST_F(OptionsProcessTest, TheVideoWindowsMenuItemOpensTheOptionsDialog)
{
    QProcess* player = launch({});
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
    click(kMainMenu);
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 2; }, 20s)) << "the menu";
    xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});  // its last item
    EXPECT_TRUE(test::waitFor([&] { return optionsShown(); }, 20s));
}

// Xvfb has no notification area: with nothing to bring hidden windows back,
// Close ends the program even with "NotClose".
TEST_F(OptionsProcessTest, WithoutANotificationAreaCloseEndsDespiteNotClose)
{
    QProcess* player = launch("NotClose=1\nTray=1\n");
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
    click(kMainClose);
    ASSERT_TRUE(player->waitForFinished(20000)) << "Close ends";
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player->exitCode(), 0);
}

// A session's end, Ctrl+C or a closed terminal: what Close saves is saved,
// the channel's socket goes, and the program ends with success.
TEST_F(OptionsProcessTest, ASignalEndsInOrderAndTheNextStartFindsWhatWasSaved)
{
    const QString socket = home_.file(QStringLiteral("runtime/Velmora 4/Velmora 4"));
    int x = 150;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QProcess* player = launch({});
        ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
        const QString window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                        QString::number(player->processId())})
                                   .value(0);
        x += 20;
        xdotool({QStringLiteral("windowmove"), window, QString::number(x), QStringLiteral("140")});
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        xdotool({QStringLiteral("key"), QStringLiteral("minus")});  // the volume down: a setting changes
        test::settle(300ms);
        ::kill(static_cast<pid_t>(player->processId()), signal);
        ASSERT_TRUE(player->waitForFinished(20000));
        EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player->exitCode(), 0);
        EXPECT_FALSE(QFile::exists(socket)) << "no socket left for the next start to clean up";
        QFile settings(home_.file(QStringLiteral("config/settings.ini")));
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        const QByteArray text = settings.readAll();
        EXPECT_TRUE(text.contains("Left=" + QByteArray::number(x) + "\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("Top=140\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("\nVolume=") && !text.contains("\nVolume=100\n")) << text.toStdString();
    }
    QProcess* next = launchWithStoredSettings();
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*next) == 1; }, 60s)) << "the main window";
    const QString window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                    QString::number(next->processId())})
                               .value(0);
    // The window may be mapped a moment before it stands at its place.
    QString geometry;
    EXPECT_TRUE(test::waitFor(
        [&] {
            geometry = xdotool({QStringLiteral("getwindowgeometry"), window}).join(QLatin1Char(' '));
            return geometry.contains(QStringLiteral("Position: %1,140").arg(x));
        },
        20s))
        << geometry.toStdString();
}

// "RestoreList": the list, its current entry and position come back at the
// next start, paused there; a command line's files come after it.
TEST_F(OptionsProcessTest, TheListComesBackAtTheNextStart)
{
    const QString a = makeTone(home_.file(QStringLiteral("clips/a.wav")));
    const QString b = makeTone(home_.file(QStringLiteral("clips/b b.wav")));
    const QString c = makeTone(home_.file(QStringLiteral("clips/c.wav")));
    ASSERT_FALSE(a.isEmpty() || b.isEmpty() || c.isEmpty()) << "ffmpeg makes the clips";
    const QString last = home_.file(QStringLiteral("config/last.pml"));
    test::writeFile(home_.file(QStringLiteral("config/settings.ini")),
                    "[Settings]\nRestoreList=1\n[Position]\nLeft=100\nTop=100\n");
    auto* first = new QProcess;
    first->setProcessEnvironment(env_);
    first->start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4"), {a, b});
    running_.push_back(first);
    ASSERT_TRUE(waitForOutput(first, QStringLiteral("add ") + b)) << output_.toStdString();
    test::settle(2500ms);  // plays a while
    endBySignal(first);
    const QMap<QString, QString> saved = listKeys(last);
    EXPECT_EQ(saved.value(QStringLiteral("main/files")), QStringLiteral("2"));
    EXPECT_EQ(saved.value(QStringLiteral("main/current")), QStringLiteral("1"));
    const double position = saved.value(QStringLiteral("main/position")).toDouble();
    EXPECT_GT(position, 0.0) << "a played for a while";

    // No command line: a is cued at its place, paused; the next end saves
    // the same list and place.
    output_.clear();
    QProcess* second = launchWithStoredSettings();
    ASSERT_TRUE(waitForOutput(second, QStringLiteral("cued entry 2"))) << output_.toStdString();
    test::settle(1000ms);  // paused: the place does not move on
    endBySignal(second);
    const QMap<QString, QString> again = listKeys(last);
    EXPECT_EQ(again.value(QStringLiteral("file2/path")), saved.value(QStringLiteral("file2/path")));
    EXPECT_EQ(again.value(QStringLiteral("main/current")), QStringLiteral("1"));
    EXPECT_NEAR(again.value(QStringLiteral("main/position")).toDouble(), position, 0.05);

    // With files: they follow the restored list.
    output_.clear();
    auto* third = new QProcess;
    third->setProcessEnvironment(env_);
    third->start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4"), {c});
    running_.push_back(third);
    ASSERT_TRUE(waitForOutput(third, QStringLiteral("add ") + c)) << output_.toStdString();
    endBySignal(third);
    const QMap<QString, QString> withFiles = listKeys(last);
    EXPECT_EQ(withFiles.value(QStringLiteral("main/files")), QStringLiteral("3"));
    EXPECT_EQ(withFiles.value(QStringLiteral("file3/text")), QStringLiteral("c.wav"));

    // Off: nothing is kept, and the next start is empty.
    test::writeFile(home_.file(QStringLiteral("config/settings.ini")), "[Settings]\nRestoreList=0\n");
    QProcess* fourth = launchWithStoredSettings();
    ASSERT_TRUE(test::waitFor([&] { return visibleWindows(*fourth) >= 1; }, 60s));
    endBySignal(fourth);
    EXPECT_FALSE(QFile::exists(last));
}
