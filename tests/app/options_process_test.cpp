// The real program on a real X server, driven with xdotool as a user
// drives it: the options dialog from the video window's menu, Close without
// a notification area (Xvfb has none), and the orderly end on a signal.

#include "support/test_support.h"
#include "support/x_driver.h"

#include <QProcess>
#include <QStandardPaths>

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

    test::TempHome home_;
    QProcessEnvironment env_;
    std::vector<QProcess*> running_;
};

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
    const QStringList geometry = xdotool({QStringLiteral("getwindowgeometry"), window});
    EXPECT_TRUE(geometry.join(QLatin1Char(' ')).contains(QStringLiteral("Position: %1,140").arg(x)))
        << geometry.join(QLatin1Char(' ')).toStdString();
}
