#include "skin/skin_picture.h"

#include <QImageReader>

namespace velmora {

QImage readSkinPicture(const QString& path)
{
    QImageReader byName(path);
    byName.setAutoDetectImageFormat(false);
    QImage image = byName.read();
    if (!image.isNull())
        return image;
    QImageReader byContent(path);
    return byContent.read();
}

}  // namespace velmora
