#pragma once
// A desktop of the test's own: an Xvfb started by the test (and ended by
// its pid), monitors laid out with xrandr, an optional window manager, and
// the toolbar in a host process (toolbar_host). The test looks at it all
// from an X connection of its own. Every wait is bounded.

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <memory>
#include <vector>

namespace velmora::test {

class PrivateDesktop {
public:
    ~PrivateDesktop();

    // The reason a tool is missing (the test then skips), or empty.
    static QString missing(const QStringList& programs);

    // Starts the X server with one screen of the size; false on failure.
    bool start(QSize root);
    QString display() const { return QStringLiteral(":%1").arg(displayNumber_); }

    // Lays monitors out (the first one primary) with xrandr.
    bool setMonitors(const std::vector<QRect>& monitors);

    bool startWindowManager(const QString& program);  // waits until it manages
    void killWindowManager();                         // SIGKILL, as a crash
    bool windowManagerRuns();

    // The toolbar's host process; returns its window (0 on failure).
    xcb_window_t startToolbar(const QStringList& environment = {});
    void tellToolbar(const QByteArray& command);
    QString toolbarOutput() const { return output_; }

    // Runs a tool on this display (xdotool, xrandr); its trimmed output.
    QString run(const QString& program, const QStringList& arguments);

    // From the test's own connection.
    xcb_connection_t* connection() const { return c_; }
    xcb_window_t root() const { return root_; }
    xcb_atom_t atom(const char* name);
    std::vector<uint32_t> property(xcb_window_t w, const char* name);
    void setProperty(xcb_window_t w, const char* name, xcb_atom_t type, const std::vector<uint32_t>& values);
    QRect geometry(xcb_window_t w);  // on the root window
    // A normal window of another program, mapped where asked (optionally
    // then made full screen by the window manager).
    xcb_window_t mapWindow(QRect rect, bool fullScreen = false);
    void unmapWindow(xcb_window_t w);
    uint32_t allEventMasks(xcb_window_t w);
    bool viewable(xcb_window_t w);
    QRect visibleBounds(xcb_window_t w);  // on the root window: its shape, or all of it  // what all clients select on it
    // Whether `upper` is stacked above `lower` (their frames, under a window
    // manager that reparents).
    bool stackedAbove(xcb_window_t upper, xcb_window_t lower);
    xcb_window_t topLevel(xcb_window_t w);  // the window's frame, or itself
    xcb_window_t focus();  // the window with the keyboard focus, as xdotool reports it
    bool focusOn(xcb_window_t w);

private:
    QStringList environment() const;

    int displayNumber_ = -1;
    pid_t server_ = 0;
    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    std::unique_ptr<QProcess> bus_;  // a session bus for xfwm4's settings
    std::unique_ptr<QProcess> windowManager_;
    std::unique_ptr<QProcess> toolbar_;
    QString output_;
    QTemporaryDir scratch_;
};

}  // namespace velmora::test
