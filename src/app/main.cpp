// The player program: builds the application object and runs start-up.

#include "app/velmora.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
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
