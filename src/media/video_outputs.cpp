#include "media/video_outputs.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace velmora {

QByteArray defaultVideoOutputs(const QString& driFolder)
{
    const QDir dri(driFolder);
    for (const QString& node : dri.entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files)) {
        if (::access(QFile::encodeName(dri.filePath(node)).constData(), R_OK | W_OK) == 0)
            return QByteArrayLiteral("gpu,xv,x11");
    }
    return QByteArrayLiteral("xv,x11");
}

}  // namespace velmora
