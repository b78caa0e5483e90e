// The player program: the instance test, then the application object's
// start-up, then the event loop until the closing fade ends.

#include "app/display_check.h"
#include "app/end_signals.h"
#include "channel/instance_start.h"
#include "app/font_warm_up.h"
#include "base/file_name.h"
#include "app/velmora.h"
#include "base/config_folder.h"
#include "shell/program_icon.h"
#include "skin/window_platform.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstdio>

int main(int argc, char* argv[])
{
    // The instance test comes before Qt: a copy that lost the start-up race
    // to another hands its command line over and ends at once. The lock is
    // held until main() returns.
    velmora::channel::PlayerStart start =
        velmora::channel::startAsPlayer({argv + 1, argv + argc});
    if (start.endNow)
        return start.exitStatus;

    // The maintenance verbs need no display (a package's scripts, ssh).
    if (start.kind != velmora::channel::StartKind::Normal) {
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QLatin1String(velmora::kApplicationName));
        velmora::Velmora velmora;
        velmora.maintain(start.kind);
        return 0;
    }

    // A session that ends while the player starts: the signal waits until
    // the player can end in order.
    velmora::EndSignals::catchEarly();
    velmora::chooseWindowPlatform();
    velmora::DisplayCheck display;
    if (!display.ok()) {
        std::fprintf(stderr, "velmora4: %s\n", display.problem().c_str());
        return 1;
    }
    const velmora::FontWarmUp fonts;
    QApplication application(argc, argv);
    display.release();
    // libmpv needs the C number format; Qt sets the locale from the
    // environment when the application object is made.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QLatin1String(velmora::kApplicationName));
    QApplication::setQuitOnLastWindowClosed(false);

    velmora::Velmora::Options options;
    options.mprisBus = QString();  // the session bus, when there is one
    velmora::Velmora velmora(options);
    QObject::connect(&velmora, &velmora::Velmora::ended, &application, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    velmora::EndSignals endSignals;
    QObject::connect(&endSignals, &velmora::EndSignals::endRequested, &velmora, &velmora::Velmora::endNow);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &velmora, &velmora::Velmora::savePlaces,
                     Qt::DirectConnection);
    if (display.retries() > 0)
        qInfo("velmora4: the display answered after %d failed connection attempts", display.retries());
    velmora.start(velmora::fileNameFromBytes(start.commandText), start.lock ? &*start.lock : nullptr);
    // The windows' icon is drawn and sent once they are on the screen.
    QTimer::singleShot(0, &application, [] { QApplication::setWindowIcon(velmora::programIcon()); });
    return application.exec();
}
