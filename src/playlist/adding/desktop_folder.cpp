#include "playlist/adding/desktop_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {

QString desktopFolder()
{
    // Qt reads user-dirs.dirs for this (and answers ~/Desktop without one).
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return QDir::cleanPath(desktop);
    return QDir::cleanPath(QDir::homePath());
}

}  // namespace velmora
