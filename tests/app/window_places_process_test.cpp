// Window places under real window managers (openbox, xfwm4), each on an X
// server of the test's own: every window that stores a place comes back
// where it was, run after run, with its title bar on the screen.

#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

constexpr int kRuns = 20;
// The default skin with the main window at (100, 100): its Menu element,
// and Plus on the playlist window below it.
constexpr QPoint kMenu{100 + 318 + 5, 100 + 7 + 5};
constexpr QPoint kPlus{100 + 14 + 5, 100 + 130 + 230 + 5};

QStringList run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A process of the test's own, ended (by its pid) when the test ends.
struct Owned {
    QProcess process;
    ~Owned()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // The first line it prints (Xvfb's display, dbus-daemon's address).
    QString firstLine()
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!process.canReadLine() && std::chrono::steady_clock::now() < deadline)
            process.waitForReadyRead(200);
        return QString::fromUtf8(process.readLine()).trimmed();
    }
};

class WindowPlacesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "xprop", "xwininfo", "ffmpeg", GetParam()}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << "needs " << tool;
        }
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), home_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.file(QStringLiteral("xdg-config")));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home_.file(QStringLiteral("data")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.file(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("VELMORA_CONFIG_HOME"), home_.file(QStringLiteral("config")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        env_.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));

        xvfb_.process.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                     QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const QString display = xvfb_.firstLine();
        ASSERT_FALSE(display.isEmpty()) << "Xvfb starts";
        env_.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + display);

        QProcessEnvironment wmEnv = env_;
        // The window manager is the machine's own, with its themes and settings.
        wmEnv.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/local/share:/usr/share"));
        wmEnv.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/etc/xdg"));
        QStringList wm = {QStringLiteral("openbox"), QStringLiteral("--sm-disable")};
        if (QString::fromLatin1(GetParam()) == QLatin1String("xfwm4")) {
            // xfwm4 reads its settings through xfconfd, started on a bus.
            bus_.process.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                               QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
            const QString address = bus_.firstLine();
            ASSERT_FALSE(address.isEmpty()) << "dbus-daemon starts";
            wmEnv.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
            wm = {QStringLiteral("xfwm4"), QStringLiteral("--compositor=off"), QStringLiteral("--sm-client-disable")};
        }
        auto managed = [&] {
            return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, env_)
                .join(QString())
                .contains(QLatin1String("window id"));
        };
        // Xvfb names its display a moment before it takes connections.
        ASSERT_TRUE(test::waitFor(
            [&] {
                return !run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, env_)
                            .isEmpty();
            },
            30s))
            << "the display answers";
        // On a loaded machine a window manager now and then ends while it
        // starts: it gets up to five tries, a moment apart.
        QString why;
        for (int attempt = 0; attempt < 5 && !managed(); ++attempt) {
            if (wm_.process.state() != QProcess::NotRunning) {
                wm_.process.kill();
                wm_.process.waitForFinished(5000);
            }
            if (attempt > 0)
                test::settle(std::chrono::milliseconds(500 * attempt));  // a server just up may still refuse it
            wm_.process.setProcessEnvironment(wmEnv);
            wm_.process.start(wm.front(), wm.mid(1));
            if (test::waitFor([&] { return managed() || wm_.process.state() == QProcess::NotRunning; }, 20s) && managed())
                break;
            why += QStringLiteral(" [try %1: state %2, exit %3: %4]")
                       .arg(attempt)
                       .arg(int(wm_.process.state()))
                       .arg(wm_.process.exitCode())
                       .arg(QString::fromUtf8(wm_.process.readAllStandardError()).left(300));
        }
        ASSERT_TRUE(managed()) << GetParam() << " manages the screen " << qPrintable(env_.value(QStringLiteral("DISPLAY")))
                               << qPrintable(why);
        video_ = QDir(home_.path()).filePath(QStringLiteral("clips/picture.mkv"));
        QDir().mkpath(QFileInfo(video_).path());
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                      QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                      QStringLiteral("testsrc=size=320x240:rate=10:duration=60"), video_});
        ASSERT_TRUE(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0) << "ffmpeg makes the clip";
    }

    QStringList xdotool(const QStringList& args) const { return run(QStringLiteral("xdotool"), args, env_); }

    // The places of the player's shown windows, frames included, by what
    // they are: captions tell the dialogs, sizes the others.
    QMap<QString, QPoint> places(qint64 pid) const
    {
        QMap<QString, QPoint> out;
        for (const QString& id : xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                          QString::number(pid)})) {
            // xwininfo's absolute place is the client area's on the root
            // window (xdotool's adds the offset inside the frame).
            const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id}, env_).join(QLatin1Char(' '));
            static const QRegularExpression numbers(QStringLiteral(
                "Absolute upper-left X:\\s+(-?\\d+).*Absolute upper-left Y:\\s+(-?\\d+).*Width:\\s+(\\d+).*Height:\\s+(\\d+)"));
            const QRegularExpressionMatch m = numbers.match(info);
            if (!m.hasMatch())
                continue;
            QPoint place(m.captured(1).toInt(), m.captured(2).toInt());
            const QString extents =
                run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")}, env_).join(QString());
            static const QRegularExpression four(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"));
            if (const QRegularExpressionMatch e = four.match(extents); e.hasMatch())
                place -= QPoint(e.captured(1).toInt(), e.captured(3).toInt());
            const QString name = xdotool({QStringLiteral("getwindowname"), id}).value(0);
            const QSize size(m.captured(3).toInt(), m.captured(4).toInt());
            QString what = name;
            if (name == QLatin1String("Velmora 4")) {
                if (size == QSize(320, 240))
                    what = QStringLiteral("video");
                else if (size == QSize(220, 124))
                    what = QStringLiteral("volume");
                else
                    what = size.height() == 262 ? QStringLiteral("playlist") : QStringLiteral("main");
            }
            out.insert(what, place);
        }
        return out;
    }

    void click(QPoint at) const
    {
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                 QStringLiteral("1")});
    }

    // The options dialog, opened through the main window's menu.
    void openOptions(qint64 pid) const
    {
        const QStringList search = {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                    QString::number(pid)};
        const qsizetype windows = xdotool(search).size();
        click(kMenu);
        ASSERT_TRUE(test::waitFor([&] { return xdotool(search).size() > windows; }, 20s)) << "the menu";
        xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});
        ASSERT_TRUE(test::waitFor([&] { return places(pid).contains(QStringLiteral("Опции")); }, 20s))
            << "the options dialog";
    }

    test::TempHome home_;
    QProcessEnvironment env_;
    Owned xvfb_, bus_, wm_;
    QString video_;
};

}  // namespace

TEST_P(WindowPlacesTest, EveryWindowComesBackWhereItWas)
{
    test::writeFile(home_.file(QStringLiteral("config/settings.ini")),
                    "[Settings]\nAutoPlay=1\nVolumeOpen=True\nPlaylistOpen=True\n"
                    "[Position]\nLeft=100\nTop=100\nPlayLeft=700\nPlayTop=600\n");
    const QStringList all = {QStringLiteral("main"), QStringLiteral("volume"), QStringLiteral("playlist"),
                             QStringLiteral("video"), QStringLiteral("Опции"), QStringLiteral("Добавить файлы")};
    QMap<QString, QPoint> first;
    for (int runNumber = 1; runNumber <= kRuns; ++runNumber) {
        SCOPED_TRACE(runNumber);
        QProcess player;
        player.setProcessEnvironment(env_);
        player.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4-player"), {video_});
        auto shown = [&](const QStringList& names) {
            const QMap<QString, QPoint> now = places(player.processId());
            for (const QString& n : names) {
                if (!now.contains(n))
                    return false;
            }
            return true;
        };
        ASSERT_TRUE(test::waitFor([&] { return shown(all.mid(0, 4)); }, 60s))
            << "the skinned windows and the picture";
        openOptions(player.processId());
        ASSERT_FALSE(HasFatalFailure());
        click(kPlus);
        ASSERT_TRUE(test::waitFor([&] { return shown(all); }, 20s)) << "the add-files window";
        // The window manager has had its say when two looks agree.
        QMap<QString, QPoint> now = places(player.processId());
        ASSERT_TRUE(test::waitFor(
            [&] {
                const QMap<QString, QPoint> again = places(player.processId());
                return std::exchange(now, again) == again;
            },
            10s));
        for (const QString& n : all) {
            EXPECT_GE(now.value(n).y(), 0) << n.toStdString() << ": title bar on the screen";
            EXPECT_GE(now.value(n).x(), 0) << n.toStdString();
        }
        if (runNumber == 1)
            first = now;
        else
            EXPECT_EQ(now, first);
        ::kill(static_cast<pid_t>(player.processId()), SIGTERM);  // saves the places as Close does
        ASSERT_TRUE(player.waitForFinished(30000));
        if (HasFailure())
            return;
    }
}

// The volume and playlist windows go with the main window, not above every
// window of the program: the options dialog, once shown, is not under them.
TEST_P(WindowPlacesTest, TheOptionsDialogLiesAboveTheSideWindows)
{
    test::writeFile(home_.file(QStringLiteral("config/settings.ini")),
                    "[Settings]\nVolumeOpen=True\nPlaylistOpen=True\n[Position]\nLeft=100\nTop=100\n");
    QProcess player;
    player.setProcessEnvironment(env_);
    player.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4-player"), {});
    ASSERT_TRUE(test::waitFor([&] { return places(player.processId()).contains(QStringLiteral("playlist")); }, 60s));
    openOptions(player.processId());
    ASSERT_FALSE(HasFatalFailure());
    // The pointer names the top window there (a frame holds its client).
    auto topAt = [&](QPoint at) {
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
        const QStringList shell = xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
        const QString window = shell.filter(QStringLiteral("WINDOW=")).value(0).mid(7);
        return run(QStringLiteral("xwininfo"), {QStringLiteral("-tree"), QStringLiteral("-id"), window}, env_).join(QLatin1Char('\n'));
    };
    // Opened from the menu by keys, it stands on top at once (the main
    // window taking the focus back from the menu does not bury it); it
    // stands at (0, 0) and reaches over the playlist window.
    test::settle(1000ms);
    EXPECT_TRUE(topAt(QPoint(300, 300)).contains(QStringLiteral("\"Опции\""))) << "opened on top";
    // The user clicks the dialog where nothing else lies: still on top.
    click(QPoint(30, 60));
    EXPECT_TRUE(test::waitFor([&] { return topAt(QPoint(300, 300)).contains(QStringLiteral("\"Опции\"")); }, 10s))
        << topAt(QPoint(300, 300)).toStdString();
    ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
    ASSERT_TRUE(player.waitForFinished(30000));
}

// Without a picture the video window is parked out of sight; a window
// manager that keeps windows on the screen must not get it to show there
// (a tiny framed window in a corner). The race it loses is a matter of
// timing, hence a few starts.
TEST_P(WindowPlacesTest, TheParkedVideoWindowIsNeverShown)
{
    for (int runNumber = 1; runNumber <= 5; ++runNumber) {
        SCOPED_TRACE(runNumber);
        QProcess player;
        player.setProcessEnvironment(env_);
        player.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4-player"), {});
        auto videoShown = [&] {
            for (const QString& id : xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                              QString::number(player.processId())})) {
                if (run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_WINDOW_ROLE")}, env_)
                        .join(QString())
                        .contains(QLatin1String("\"PlayForm\"")))
                    return true;
            }
            return false;
        };
        ASSERT_TRUE(test::waitFor([&] { return places(player.processId()).contains(QStringLiteral("main")); }, 60s));
        EXPECT_FALSE(test::waitFor(videoShown, 3s)) << "the parked video window is on the screen";
        ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
        ASSERT_TRUE(player.waitForFinished(30000));
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, WindowPlacesTest, ::testing::Values("openbox", "xfwm4"));
