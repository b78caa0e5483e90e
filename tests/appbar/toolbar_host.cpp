// The toolbar alone in a process of its own, for the desktop tests: shows
// it on $DISPLAY, prints "window <id>" once shown and "press <n>" for each
// button click, and reads commands from stdin: "docked" (auto-hide off),
// "quit".

#include "appbar/toolbar.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <string>

#include <unistd.h>

using namespace velmora;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Toolbar::Hooks hooks;
    // The buttons from left to right are the transport buttons in order.
    hooks.press = [](TransportButton b) { std::printf("press %d\n", int(b)); std::fflush(stdout); };
    Toolbar toolbar(hooks);
    PlaybackState playing;
    playing.phase = playing.shown = PlaybackState::Phase::Playing;
    playing.clipText = QStringLiteral("clip");
    toolbar.showPlayback(playing);
    toolbar.ShowToolbar(true);
    std::printf("window %llu\n", static_cast<unsigned long long>(toolbar.form()->winId()));
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string line;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        line.append(buffer, std::size_t(n));
        for (std::size_t end; (end = line.find('\n')) != std::string::npos; line.erase(0, end + 1)) {
            const std::string command = line.substr(0, end);
            if (command == "docked") {
                toolbar.bar()->fields().autoHide = false;
                toolbar.bar()->UpdateBar();
            } else if (command == "quit") {
                app.quit();
            }
        }
    });
    const int rc = app.exec();
    toolbar.ShowToolbar(false);
    return rc;
}
