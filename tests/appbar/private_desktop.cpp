#include "private_desktop.h"
#include "x_properties.h"

#include "support/test_support.h"

#include <QProcessEnvironment>
#include <QStandardPaths>

#include <xcb/shape.h>

#include <algorithm>
#include <cstdlib>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::test {

namespace {

constexpr int kStartMs = 10000;

}  // namespace

PrivateDesktop::~PrivateDesktop()
{
    if (toolbar_) {
        toolbar_->write("quit\n");
        if (!toolbar_->waitForFinished(5000))
            toolbar_->kill();
        toolbar_->waitForFinished(2000);
    }
    killWindowManager();
    if (c_)
        xcb_disconnect(c_);
    if (server_ > 0) {
        ::kill(server_, SIGTERM);
        ::waitpid(server_, nullptr, 0);
    }
}

QString PrivateDesktop::missing(const QStringList& programs)
{
    for (const QString& p : programs) {
        if (QStandardPaths::findExecutable(p).isEmpty())
            return p + QStringLiteral(" is not installed (tools/bootstrap installs it)");
    }
    return {};
}

bool PrivateDesktop::start(QSize root)
{
    const QByteArray xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toLocal8Bit();
    int fds[2];
    if (xvfb.isEmpty() || ::pipe(fds) != 0)
        return false;
    const QByteArray fd = QByteArray::number(fds[1]);
    const QByteArray screen = QByteArray::number(root.width()) + 'x' + QByteArray::number(root.height()) + "x24";
    // Prepared before the fork: the child only closes and execs.
    const char* argv[] = {xvfb.constData(), "-displayfd", fd.constData(), "-nolisten", "tcp", "-noreset",
                          "-screen", "0", screen.constData(), nullptr};
    server_ = ::fork();
    if (server_ == 0) {
        ::close(fds[0]);
        ::execv(argv[0], const_cast<char* const*>(argv));
        ::_exit(127);
    }
    ::close(fds[1]);
    // The server writes its display number once it accepts connections.
    QByteArray number;
    pollfd p{fds[0], POLLIN, 0};
    while (!number.endsWith('\n') && ::poll(&p, 1, kStartMs) > 0) {
        char ch;
        if (::read(fds[0], &ch, 1) != 1)
            break;
        number.append(ch);
    }
    ::close(fds[0]);
    if (!number.endsWith('\n'))
        return false;
    displayNumber_ = number.trimmed().toInt();
    c_ = xcb_connect(display().toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(c_))
        return false;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    return true;
}

QStringList PrivateDesktop::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display());
    env.remove(QStringLiteral("XAUTHORITY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env.toStringList();
}

QString PrivateDesktop::run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.setEnvironment(environment());
    p.start(program, arguments);
    if (!p.waitForFinished(kStartMs))
        p.kill();
    p.waitForFinished(1000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

bool PrivateDesktop::setMonitors(const std::vector<QRect>& monitors)
{
    // The screen's own output goes to the first (primary) monitor, so that
    // no automatic monitor covers the whole root.
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const QRect& m = monitors[i];
        const QString name = (i == 0 ? QStringLiteral("*m%1") : QStringLiteral("m%1")).arg(i);
        run(QStringLiteral("xrandr"), {QStringLiteral("--setmonitor"), name,
                                       QStringLiteral("%1/300x%2/200+%3+%4").arg(m.width()).arg(m.height()).arg(m.x()).arg(m.y()),
                                       i == 0 ? QStringLiteral("screen") : QStringLiteral("none")});
    }
    const QString list = run(QStringLiteral("xrandr"), {QStringLiteral("--listmonitors")});
    return list.startsWith(QStringLiteral("Monitors: %1").arg(monitors.size()));
}

bool PrivateDesktop::windowManagerRuns()
{
    const auto check = property(root_, "_NET_SUPPORTING_WM_CHECK");
    if (check.empty() || check.front() == 0)
        return false;
    const auto self = property(check.front(), "_NET_SUPPORTING_WM_CHECK");
    return !self.empty() && self.front() == check.front();
}

bool PrivateDesktop::startWindowManager(const QString& program)
{
    // The window manager's own themes and defaults, as Debian installs them.
    QStringList env = environment();
    env << QStringLiteral("XDG_DATA_DIRS=/usr/local/share:/usr/share") << QStringLiteral("XDG_CONFIG_DIRS=/etc/xdg");
    if (program == QLatin1String("xfwm4")) {
        // xfwm4 reads its settings through xfconf, which needs a session bus:
        // a private one.
        bus_ = std::make_unique<QProcess>();
        bus_->start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                    QStringLiteral("--print-address=1")});
        if (!waitFor([&] { return bus_->canReadLine(); }, std::chrono::milliseconds(kStartMs)))
            return false;
        env << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + QString::fromLocal8Bit(bus_->readLine()).trimmed()
            << QStringLiteral("NO_AT_BRIDGE=1");
    }
    windowManager_ = std::make_unique<QProcess>();
    windowManager_->setEnvironment(env);
    windowManager_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args;
    if (program == QLatin1String("openbox")) {
        // Its defaults but three desktops (xfwm4 has four).
        const QString config = scratch_.filePath(QStringLiteral("openbox.xml"));
        writeFile(config, "<openbox_config xmlns=\"http://openbox.org/3.4/rc\"><desktops><number>3</number>"
                          "</desktops></openbox_config>\n");
        args << QStringLiteral("--sm-disable") << QStringLiteral("--config-file") << config;
    }
    else if (program == QLatin1String("xfwm4"))
        args << QStringLiteral("--compositor=off") << QStringLiteral("--sm-client-disable");
    windowManager_->start(program, args);
    return windowManager_->waitForStarted(kStartMs) &&
           waitFor([&] { return windowManagerRuns(); }, std::chrono::milliseconds(kStartMs));
}

void PrivateDesktop::killWindowManager()
{
    if (!windowManager_)
        return;
    windowManager_->kill();
    windowManager_->waitForFinished(kStartMs);
    windowManager_.reset();
    if (bus_) {
        bus_->kill();
        bus_->waitForFinished(kStartMs);
        bus_.reset();
    }
}

bool PrivateDesktop::focusOn(xcb_window_t w)
{
    // A window manager gives the focus to the window it activates, once it
    // manages it; without one the focus is set directly.
    const QString how = windowManager_ ? QStringLiteral("windowactivate") : QStringLiteral("windowfocus");
    return waitFor([&] {
        run(QStringLiteral("xdotool"), {how, QString::number(w)});
        return focus() == w;
    }, std::chrono::milliseconds(kStartMs));
}

xcb_window_t PrivateDesktop::startToolbar(const QStringList& environment)
{
    toolbar_ = std::make_unique<QProcess>();
    toolbar_->setEnvironment(this->environment() + environment);
    toolbar_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(toolbar_.get(), &QProcess::readyReadStandardOutput, [this] {
        output_ += QString::fromLocal8Bit(toolbar_->readAllStandardOutput());
    });
    toolbar_->start(QStringLiteral(VELMORA_TOOLBAR_HOST), {});
    xcb_window_t id = 0;
    waitFor([&] {
        const qsizetype at = output_.indexOf(QLatin1String("window "));
        if (at < 0 || output_.indexOf('\n', at) < 0)
            return false;
        id = xcb_window_t(output_.mid(at + 7, output_.indexOf('\n', at) - at - 7).toULongLong());
        return true;
    }, std::chrono::milliseconds(kStartMs));
    return id;
}

void PrivateDesktop::tellToolbar(const QByteArray& command)
{
    toolbar_->write(command + '\n');
    toolbar_->waitForBytesWritten(1000);
}

xcb_atom_t PrivateDesktop::atom(const char* name) { return internAtom(c_, name); }

std::vector<uint32_t> PrivateDesktop::property(xcb_window_t w, const char* name) { return property32(c_, w, name); }

void PrivateDesktop::setProperty(xcb_window_t w, const char* name, xcb_atom_t type, const std::vector<uint32_t>& values)
{
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom(name), type, 32, uint32_t(values.size()), values.data());
    xcb_flush(c_);
}

QRect PrivateDesktop::geometry(xcb_window_t w)
{
    auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
    auto* t = xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, w, root_, 0, 0), nullptr);
    const QRect r = g && t ? QRect(t->dst_x, t->dst_y, g->width, g->height) : QRect();
    std::free(g);
    std::free(t);
    return r;
}

xcb_window_t PrivateDesktop::mapWindow(QRect rect, bool fullScreen)
{
    const xcb_window_t w = xcb_generate_id(c_);
    const uint32_t values[] = {0x336699};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, int16_t(rect.x()), int16_t(rect.y()), uint16_t(rect.width()),
                      uint16_t(rect.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL, values);
    // Placed where asked (a position the user gave), full screen there.
    std::vector<uint32_t> hints(18, 0);
    hints[0] = 1 | 2;  // USPosition, USSize
    hints[1] = uint32_t(rect.x()), hints[2] = uint32_t(rect.y()), hints[3] = uint32_t(rect.width()),
    hints[4] = uint32_t(rect.height());
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                        hints.data());
    xcb_map_window(c_, w);
    xcb_flush(c_);
    if (fullScreen) {
        // Asked of the window manager once it manages the window, so that it
        // stays on the monitor it was placed on.
        waitFor([&] {
            const auto listed = property(root_, "_NET_CLIENT_LIST");
            return std::find(listed.begin(), listed.end(), w) != listed.end();
        });
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = atom("_NET_WM_STATE");
        event.data.data32[0] = 1;  // add
        event.data.data32[1] = atom("_NET_WM_STATE_FULLSCREEN");
        event.data.data32[3] = 2;  // a pager asks
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c_);
        waitFor([&] { return geometry(w).width() == 1280; });
    }
    return w;
}

void PrivateDesktop::unmapWindow(xcb_window_t w)
{
    xcb_unmap_window(c_, w);
    xcb_flush(c_);
}

uint32_t PrivateDesktop::allEventMasks(xcb_window_t w)
{
    auto* a = xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
    const uint32_t mask = a ? a->all_event_masks : 0;
    std::free(a);
    return mask;
}

QRect PrivateDesktop::visibleBounds(xcb_window_t w)
{
    const QRect g = geometry(w);
    auto* r = xcb_shape_get_rectangles_reply(c_, xcb_shape_get_rectangles(c_, w, XCB_SHAPE_SK_BOUNDING), nullptr);
    if (!r)
        return g;
    QRect bounds;
    const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(r); ++i)
        bounds |= QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    std::free(r);
    return bounds.translated(g.topLeft()) & g;
}

bool PrivateDesktop::viewable(xcb_window_t w)
{
    auto* a = xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
    const bool on = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(a);
    return on;
}

xcb_window_t PrivateDesktop::topLevel(xcb_window_t w)
{
    for (;;) {
        auto* t = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
        if (!t)
            return w;
        const xcb_window_t parent = t->parent;
        std::free(t);
        if (parent == root_ || parent == XCB_WINDOW_NONE)
            return w;
        w = parent;
    }
}

bool PrivateDesktop::stackedAbove(xcb_window_t upper, xcb_window_t lower)
{
    const xcb_window_t a = topLevel(upper), b = topLevel(lower);
    auto* t = xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr);
    if (!t)
        return false;
    const xcb_window_t* children = xcb_query_tree_children(t);
    const int n = xcb_query_tree_children_length(t);
    const auto ia = std::find(children, children + n, a) - children;
    const auto ib = std::find(children, children + n, b) - children;
    std::free(t);
    return ia < n && ib < n && ia > ib;  // children run from the bottom up
}

xcb_window_t PrivateDesktop::focus()
{
    return xcb_window_t(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).toULongLong());
}

}  // namespace velmora::test
