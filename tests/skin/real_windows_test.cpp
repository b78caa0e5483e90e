// The skinned windows on a real X server (run under xvfb-run): where the
// windows are, that the main window is shaped, the opacity property, and
// the video window's client size.

#include "app/video_binding.h"
#include "video/play_form.h"
#include "skin_fixture.h"

#include <QGuiApplication>
#include <QImage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// Xlib last: its macros (None, Bool, Status) clash with everything else.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

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

    // The bounding box of the window's shape (its own coordinates).
    QRect shapeExtent(WId id) const
    {
        int count = 0, ordering = 0;
        XRectangle* rects = XShapeGetRectangles(display_, id, ShapeBounding, &count, &ordering);
        QRect box;
        for (int i = 0; i < count; ++i)
            box |= QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
        if (rects)
            XFree(rects);
        return box;
    }

    // The window's own pixels (0xRRGGBB) in an area of it.
    QImage pixels(WId id, QRect area) const
    {
        XImage* xi = XGetImage(display_, id, area.x(), area.y(), static_cast<unsigned>(area.width()),
                               static_cast<unsigned>(area.height()), AllPlanes, ZPixmap);
        if (!xi)
            return {};
        QImage image(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                image.setPixel(x, y, static_cast<QRgb>(XGetPixel(xi, x, y) & 0xFFFFFF) | 0xFF000000u);
        XDestroyImage(xi);
        return image;
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

    // A left click at a point of the screen, as the user's mouse makes it.
    void click(QPoint at) const
    {
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
    }
    // Gives a window the keyboard, as a window manager does on a click.
    void focus(Window w) const
    {
        XSetInputFocus(display_, w, RevertToParent, CurrentTime);
        XFlush(display_);
    }
    void pressKey(KeySym key) const
    {
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
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

// A clip of ffmpeg's test pattern, 10 s of the given size.
bool makeClip(const QString& path, QSize size)
{
    const QString source = QStringLiteral("testsrc2=size=%1x%2:rate=25:duration=10").arg(size.width()).arg(size.height());
    return QProcess::execute(QStringLiteral("ffmpeg"),
                             {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                              QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                              QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-pix_fmt"),
                              QStringLiteral("yuv420p"), path})
           == 0;
}

// The real player in a folder of its own (settings, runtime files), ended
// with the test.
class PlayerRun {
public:
    explicit PlayerRun(const QByteArray& settings = {})
    {
        if (!settings.isEmpty())
            test::writeFile(settingsFile(), settings);
        env_.insert(QStringLiteral("VELMORA_CONFIG_HOME"), path(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    }
    ~PlayerRun()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString settingsFile() const { return path(QStringLiteral("config/settings.ini")); }
    QString settingsText() const
    {
        QFile f(settingsFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void setEnv(const QString& name, const QString& value) { env_.insert(name, value); }
    bool start(const QStringList& args)
    {
        process_.setProcessEnvironment(env_);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4-player"), args);
        return process_.waitForStarted(5000);
    }
    qint64 pid() const { return process_.processId(); }
    QProcess& process() { return process_; }

private:
    QTemporaryDir dir_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    QProcess process_;
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
    PlayerRun player("[Settings]\nVolumeOpen=True\nPlaylistOpen=True\n[Position]\nLeft=40\nTop=40\n");
    const QString clip = player.path(QStringLiteral("clip.mp4"));
    ASSERT_TRUE(makeClip(clip, {320, 240}));
    ASSERT_TRUE(player.start({clip}));
    const qint64 pid = player.pid();

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
}

TEST(RealWindows, AWindowManagerClosingTheMainWindowEndsThePlayerAsItsCloseButtonDoes)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());
    PlayerRun player;
    ASSERT_TRUE(player.start({}));
    Window main = 0;
    ASSERT_TRUE(test::waitFor([&] { return (main = x.byRole("MainForm", player.pid())) != 0; },
                              std::chrono::seconds(60)));
    test::settle(std::chrono::milliseconds(500));  // the player's event loop runs

    x.closeAsTheWindowManager(main);
    EXPECT_TRUE(player.process().waitForFinished(20000)) << "a player whose main window is gone must not stay running";
    EXPECT_TRUE(player.settingsText().contains(QStringLiteral("Left="))) << "Close stored the window places";
}

// At twice the density (QT_SCALE_FACTOR=2, as on a 2x screen) the real
// player's windows are twice as large in screen pixels with their shapes,
// skin pictures come out as crisp 2 x 2 squares, and the picture of a clip
// is shown one to one: a 320 x 240 clip takes 320 x 240 screen pixels.
TEST(RealWindows, AtTwiceTheDensityTheSkinDoublesCrisplyAndTheVideoStaysOneToOne)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());
    PlayerRun player("[Settings]\nVolumeOpen=True\nPlaylistOpen=True\n[Position]\nLeft=20\nTop=20\nPlayLeft=300\n"
                     "PlayTop=200\n");
    const QString clip = player.path(QStringLiteral("clip.mp4"));
    ASSERT_TRUE(makeClip(clip, {320, 240}));
    player.setEnv(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    ASSERT_TRUE(player.start({clip}));
    const qint64 pid = player.pid();

    // Shown: at its remembered place (600, 400 on the screen), not parked.
    QSize video;
    test::waitFor(
        [&] {
            const Window w = x.byRole("PlayForm", pid);
            video = w && x.geometry(w).topLeft() == QPoint(600, 400) ? x.geometry(w).size() : QSize();
            return video == QSize(320, 240);
        },
        std::chrono::seconds(60));
    EXPECT_EQ(video, QSize(320, 240)) << "the picture's size in screen pixels";
    const Window main = x.byRole("MainForm", pid);
    const Window playlist = x.byRole("PlaylistForm", pid);
    ASSERT_TRUE(main && playlist);
    const QRect at = x.geometry(main);
    EXPECT_EQ(at, QRect(40, 40, 800, 248));
    EXPECT_EQ(x.geometry(playlist).topLeft(), at.topLeft() + QPoint(0, 260));
    EXPECT_EQ(x.shapeExtent(main), QRect(0, 0, 800, 248));
    EXPECT_GT(x.shapeRectangles(main), 1);

    // The band above the time display is the background picture alone:
    // every picture pixel a uniform 2 x 2 square of its own colour.
    const QImage skin = QImage(QStringLiteral(VELMORA_BUILD_DIR "/skin/main.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(skin.size(), QSize(400, 124));
    const QRect band(30, 4, 170, 32);
    QImage shown;
    ASSERT_TRUE(test::waitFor(
        [&] {
            shown = x.pixels(main, QRect(band.topLeft() * 2, band.size() * 2));
            return !shown.isNull() && shown.pixel(0, 0) == skin.pixel(band.topLeft());
        },
        std::chrono::seconds(10)));
    int wrong = 0;
    for (int y = 0; y < band.height(); ++y)
        for (int x2 = 0; x2 < band.width(); ++x2) {
            const QRgb want = skin.pixel(band.x() + x2, band.y() + y);
            for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
                wrong += shown.pixel(2 * x2 + d.x(), 2 * y + d.y()) != want ? 1 : 0;
        }
    EXPECT_EQ(wrong, 0) << "screen pixels that differ from their picture pixel";
}

// The add-files window of the real player, opened by Plus and used with the
// keyboard: the tree's top node is the desktop (here "Стол" in a private
// home, named by user-dirs.dirs), its subfolders first, then home and "/";
// and "/" can be shown.
TEST(RealWindows, TheAddFilesTreeStartsAtTheDesktopWithHomeAndTheRootBelowIt)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    XView x;
    ASSERT_TRUE(x.ok());
    PlayerRun player;
    const QString home = player.path(QStringLiteral("home"));
    const QString clips = home + QStringLiteral("/Стол/Клипы");
    ASSERT_TRUE(QDir().mkpath(clips));
    test::writeFile(player.path(QStringLiteral("xdg/user-dirs.dirs")), "XDG_DESKTOP_DIR=\"$HOME/Стол\"\n");
    test::writeFile(player.settingsFile(), "[Settings]\nPlaylistOpen=True\nAutoPlay=0\nOpenPath=" + clips.toUtf8()
                                               + "/\n[Position]\nLeft=0\nTop=0\nAddLeft=500\nAddTop=20\n");
    player.setEnv(QStringLiteral("HOME"), home);
    player.setEnv(QStringLiteral("XDG_CONFIG_HOME"), player.path(QStringLiteral("xdg")));
    ASSERT_TRUE(player.start({}));
    const qint64 pid = player.pid();
    Window playlist = 0;
    ASSERT_TRUE(test::waitFor([&] { return (playlist = x.byRole("PlaylistForm", pid)) != 0; },
                              std::chrono::seconds(60)));
    test::settle(std::chrono::milliseconds(500));  // the player's event loop runs

    // Plus, where the skin puts it.
    const QImage plus(QStringLiteral(VELMORA_BUILD_DIR "/skin/plus.bmp"));
    ASSERT_FALSE(plus.isNull());
    x.click(x.geometry(playlist).topLeft() + QPoint(14, 230) + QPoint(plus.width() / 2, plus.height() / 2));
    Window add = 0;
    ASSERT_TRUE(test::waitFor([&] { return (add = x.byRole("AddForm", pid)) != 0; }, std::chrono::seconds(20)));
    test::settle(std::chrono::milliseconds(500));

    // The stored folder is the desktop's "Клипы"; below it in the tree come
    // home, then "/".
    x.focus(add);
    test::settle(std::chrono::milliseconds(300));
    for (int i = 0; i < 2; ++i) {
        x.pressKey(XK_Down);
        test::settle(std::chrono::milliseconds(200));
    }
    x.closeAsTheWindowManager(add);
    QString stored;
    const bool closed = test::waitFor(
        [&] {
            stored = player.settingsText();
            return !stored.contains(QStringLiteral("OpenPath=") + clips);
        },
        std::chrono::seconds(10));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(stored.contains(QStringLiteral("\nOpenPath=/\n"))) << stored.toStdString();
}
