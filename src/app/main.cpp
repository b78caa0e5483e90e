// The player program: builds the application object and runs start-up.

#include "app/channel/instance_start.h"
#include "app/velmora.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
    // The instance test comes before Qt: a copy that lost the start-up race
    // to another hands its command line over and ends at once. The lock is
    // held until main() returns.
    velmora::channel::PlayerStart start = velmora::channel::startAsPlayer({argv + 1, static_cast<std::size_t>(argc - 1)});
    if (start.endNow)
        return start.exitStatus;

    QApplication application(argc, argv);
    // libmpv needs the C number format; Qt sets the locale from the
    // environment when the application object is made.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Velmora 4"));
    velmora::Velmora velmora;
    // Start-up runs as far as the program is built; with no windows yet it
    // ends cleanly.
    return 0;
}
