#include "base/program_folder.h"

#include <QDir>
#include <QFileInfo>

// Set by the build from the install layout; relative to the player's folder.
#ifndef VELMORA_DATA_FROM_PLAYER
#define VELMORA_DATA_FROM_PLAYER "../../share/velmora4"
#endif
#ifndef VELMORA_BIN_FROM_PLAYER
#define VELMORA_BIN_FROM_PLAYER "../../bin"
#endif

namespace velmora {

QString withSlash(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

namespace {

QString relativeTo(const QString& playerFolder, const char* relative)
{
    return QDir::cleanPath(withSlash(playerFolder) + QLatin1String(relative));
}

}  // namespace

QString programDataFolder(const QString& playerFolder)
{
    if (QFileInfo::exists(withSlash(playerFolder) + QStringLiteral("skin/skin.ini")))
        return withSlash(playerFolder);
    const QString installed = relativeTo(playerFolder, VELMORA_DATA_FROM_PLAYER);
    // Neither: keep the player's folder, where a build would put the skin.
    return withSlash(QFileInfo::exists(installed) ? installed : playerFolder);
}

QString frontProgramPath(const QString& playerFolder)
{
    const QString beside = withSlash(playerFolder) + QStringLiteral("velmora4");
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString installed = relativeTo(playerFolder, VELMORA_BIN_FROM_PLAYER) + QStringLiteral("/velmora4");
    return QFileInfo(installed).isExecutable() ? installed : beside;
}

}  // namespace velmora
