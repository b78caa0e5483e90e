// The player program: the instance test, then the application object's
// start-up, then the event loop until the closing fade ends.

#include "channel/instance_start.h"
#include "base/file_name.h"
#include "app/font_warm_up.h"
#include "app/velmora.h"
#include "shell/program_icon.h"
#include "skin/window_platform.h"

#include <QApplication>
#include <QTimer>

#include <clocale>

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
        QCoreApplication::setApplicationName(QStringLiteral("Velmora 4"));
        velmora::Velmora velmora;
        velmora.maintain(start.kind);
        return 0;
    }

    const velmora::FontWarmUp fonts;
    velmora::chooseWindowPlatform();
    QApplication application(argc, argv);
    // libmpv needs the C number format; Qt sets the locale from the
    // environment when the application object is made.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Velmora 4"));
    QApplication::setQuitOnLastWindowClosed(false);

    velmora::Velmora::Options options;
    options.mprisBus = QString();  // the session bus, when there is one
    velmora::Velmora velmora(options);
    QObject::connect(&velmora, &velmora::Velmora::ended, &application, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    velmora.start(velmora::fileNameFromBytes(start.commandText), start.lock ? &*start.lock : nullptr);
    // The windows' icon is drawn and sent once they are on the screen.
    QTimer::singleShot(0, &application, [] { QApplication::setWindowIcon(velmora::programIcon()); });
    return application.exec();
}
