// The skinned windows on a real X server (run under xvfb-run): where the
// windows are, that the main window is shaped, the opacity property, and
// the video window's client size.

#include "app/video_binding.h"
#include "playback/play_form.h"
#include "skin_fixture.h"

#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// Xlib last: its macros (None, Bool, Status) clash with everything else.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

using namespace velmora;

namespace {

// A connection of our own, to see the windows as the X server has them.
class XView {
public:
    XView() : display_(XOpenDisplay(nullptr)) {}
    ~XView()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }

    QRect geometry(WId id) const
    {
        Window root = 0, child = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(display_, id, &root, &x, &y, &w, &h, &border, &depth);
        XTranslateCoordinates(display_, id, root, 0, 0, &x, &y, &child);
        return {x, y, static_cast<int>(w), static_cast<int>(h)};
    }

    int shapeRectangles(WId id) const
    {
        int event = 0, error = 0;
        if (!XShapeQueryExtension(display_, &event, &error))
            return -1;
        int count = 0, ordering = 0;
        XRectangle* rects = XShapeGetRectangles(display_, id, ShapeBounding, &count, &ordering);
        if (rects)
            XFree(rects);
        return count;
    }

    std::optional<unsigned long> opacity(WId id) const
    {
        const Atom atom = XInternAtom(display_, "_NET_WM_WINDOW_OPACITY", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, id, atom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data)
                != Success
            || !data || items != 1) {
            if (data)
                XFree(data);
            return std::nullopt;
        }
        const unsigned long v = *reinterpret_cast<unsigned long*>(data) & 0xFFFFFFFFul;
        XFree(data);
        return v;
    }

    // Asks the window to close as a window manager does (WM_DELETE_WINDOW).
    void closeAsTheWindowManager(Window w) const
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, w, False, NoEventMask, &e);
        XFlush(display_);
    }

    // The process that made the window (_NET_WM_PID), or 0.
    qint64 pidOf(Window w) const
    {
        const Atom atom = XInternAtom(display_, "_NET_WM_PID", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        qint64 pid = 0;
        if (XGetWindowProperty(display_, w, atom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data)
                == Success && data && items == 1)
            pid = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data) & 0xFFFFFFFFul);
        if (data)
            XFree(data);
        return pid;
    }

    // The top-level window with this window role, or 0; with a pid, only
    // one of that process (other tests may share the X server).
    Window byRole(const QByteArray& wanted, qint64 pid = 0) const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return 0;
        const Atom atom = XInternAtom(display_, "WM_WINDOW_ROLE", False);
        for (unsigned i = 0; i < count && !found; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, children[i], atom, 0, 64, False, AnyPropertyType, &type, &format,
                                   &items, &after, &data) == Success && data) {
                if (QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items)) == wanted
                    && (pid == 0 || pidOf(children[i]) == pid))
                    found = children[i];
                XFree(data);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

private:
    Display* display_;
};

}  // namespace

TEST(RealWindows, TheDefaultSkinOnAnXServer)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());

    test::WindowsHarness h;
    SkinnedWindows& w = *h.windows;
    PlayForm video;
    bindVideoWindow(video, w);
    w.loadSkin(QStringLiteral(VELMORA_BUILD_DIR "/skin/"));
    ASSERT_EQ(w.skin().skinName, QStringLiteral("Velmora Nocturne"));
    w.mainForm().move(50, 60);
    w.placeCompanions();
    w.setOpacity(SkinWindow::Main, 75);
    w.mainForm().show();
    w.volumeForm().show();
    w.playlistForm().show();
    video.setRememberedPosition({700, 40});
    video.show();
    video.openComplete({320, 240});
    for (QWidget* win : {static_cast<QWidget*>(&w.mainForm()), static_cast<QWidget*>(&w.volumeForm()),
                         static_cast<QWidget*>(&w.playlistForm()), static_cast<QWidget*>(&video)})
        ASSERT_TRUE(QTest::qWaitForWindowExposed(win));
    QCoreApplication::processEvents();

    const QRect main = x.geometry(w.mainForm().winId());
    EXPECT_EQ(main, QRect(50, 60, 400, 124));
    EXPECT_EQ(x.geometry(w.volumeForm().winId()).topLeft(), main.topLeft() + w.skin().offsets.volume);
    EXPECT_EQ(x.geometry(w.playlistForm().winId()).topLeft(), main.topLeft() + w.skin().offsets.playlist);

    // The rounded outline is an X shape of many rectangles, not one.
    EXPECT_GT(x.shapeRectangles(w.mainForm().winId()), 1);
    EXPECT_GT(x.shapeRectangles(w.playlistForm().winId()), 1);

    const auto opacity = x.opacity(w.mainForm().winId());
    ASSERT_TRUE(opacity);
    EXPECT_NEAR(static_cast<double>(*opacity), 191.0 * 0x01010101, 2.0);

    const QRect v = x.geometry(video.winId());
    EXPECT_EQ(v.size(), QSize(320, 240));
    EXPECT_EQ(x.geometry(video.display().winId()).size(), QSize(320, 240));

    // A group move reaches the X server.
    w.mainForm().move(80, 90);
    w.placeCompanions();
    EXPECT_TRUE(test::waitFor([&] { return x.geometry(w.playlistForm().winId()).topLeft() == QPoint(80, 220); },
                              std::chrono::seconds(5)));
}

// A close by the window manager goes to the program's handler (which parks
// the window through the engine, leaving full screen), not only to the window.
TEST(RealWindows, AWindowManagerClosingTheVideoWindowAsksTheProgram)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());
    PlayForm video;
    int asked = 0;
    video.setCloseHandler([&] { ++asked; });
    video.setRememberedPosition({40, 40});
    video.show();
    video.openComplete({160, 120});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&video));
    x.closeAsTheWindowManager(static_cast<Window>(video.winId()));
    EXPECT_TRUE(test::waitFor([&] { return asked == 1; }, std::chrono::seconds(5)));
    EXPECT_TRUE(video.isVisible()) << "the window itself never closes";
}

// The real player with a generated clip on its command line: the video
// window's client area takes the picture's size, and the companions sit
// where the skin puts them.
TEST(RealWindows, AClipPlaysInTheVideoWindowOfThePlayer)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.mp4"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"),
                                {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                 QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                 QStringLiteral("testsrc2=size=320x240:rate=25:duration=10"), QStringLiteral("-c:v"),
                                 QStringLiteral("libx264"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                                 clip}),
              0);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("config")));
    QFile ini(dir.filePath(QStringLiteral("config/settings.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nVolumeOpen=True\nPlaylistOpen=True\n[Position]\nLeft=40\nTop=40\n");
    ini.close();

    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMORA_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.setStandardOutputFile(QProcess::nullDevice());
    player.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4-player"), {clip});
    ASSERT_TRUE(player.waitForStarted(5000));
    const qint64 pid = player.processId();

    // Up to a minute: a sanitizer build loads libmpv slowly.
    const bool sized = test::waitFor(
        [&] {
            const Window video = x.byRole("PlayForm", pid);
            return video && x.geometry(video).size() == QSize(320, 240) && x.geometry(video).x() != -333;
        },
        std::chrono::seconds(60));
    const Window main = x.byRole("MainForm", pid);
    const Window volume = x.byRole("VolumeForm", pid);
    const Window playlist = x.byRole("PlaylistForm", pid);
    EXPECT_TRUE(sized);
    ASSERT_TRUE(main && volume && playlist);
    const QPoint at = x.geometry(main).topLeft();
    EXPECT_EQ(x.geometry(main).size(), QSize(400, 124));
    EXPECT_EQ(x.geometry(volume).topLeft(), at + QPoint(406, 0));
    EXPECT_EQ(x.geometry(playlist).topLeft(), at + QPoint(0, 130));
    EXPECT_GT(x.shapeRectangles(main), 1);

    player.terminate();
    if (!player.waitForFinished(5000)) {
        player.kill();
        player.waitForFinished(5000);
    }
}

TEST(RealWindows, AWindowManagerClosingTheMainWindowEndsThePlayerAsItsCloseButtonDoes)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());
    QTemporaryDir dir;
    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMORA_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.setStandardOutputFile(QProcess::nullDevice());
    player.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4-player"), {});
    ASSERT_TRUE(player.waitForStarted(5000));
    Window main = 0;
    ASSERT_TRUE(test::waitFor([&] { return (main = x.byRole("MainForm", player.processId())) != 0; },
                              std::chrono::seconds(60)));
    QTest::qWait(500);  // the player's event loop runs

    x.closeAsTheWindowManager(main);
    const bool ended = player.waitForFinished(20000);
    if (!ended) {
        player.kill();
        player.waitForFinished(5000);
    }
    EXPECT_TRUE(ended) << "a player whose main window is gone must not stay running";
    QFile settings(dir.filePath(QStringLiteral("config/settings.ini")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("Left=")) << "Close stored the window places";
}
