#include "base/config_paths.h"

#include <QDir>

namespace velmora {

QString userConfigFolder()
{
    const QString overridden = qEnvironmentVariable("VELMORA_CONFIG_HOME");
    if (!overridden.isEmpty())
        return overridden;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + QLatin1String(kApplicationName);
}

}  // namespace velmora
