#include "skin/window_platform.h"

#include <QByteArray>
#include <QtGlobal>

namespace velmora {

bool chooseWindowPlatform()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    return qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
}

}  // namespace velmora
