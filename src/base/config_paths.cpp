#include "base/config_paths.h"

#include <QFile>

namespace velmora {

QString userConfigFolder()
{
    return QFile::decodeName(QByteArray::fromStdString(userConfigFolderPath()));
}

}  // namespace velmora
