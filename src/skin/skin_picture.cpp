#include "skin/skin_picture.h"

#include <QFileInfo>
#include <QImageReader>

#include <cmath>

namespace velmora {

bool smoothSkinPictures(double devicePixelRatio)
{
    return std::abs(devicePixelRatio - std::round(devicePixelRatio)) > 1e-6;
}

QImage readSkinPicture(const QString& path)
{
    // The format named, and no probing: Qt then goes straight to its own
    // handler for the format without loading a plugin.
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (!suffix.isEmpty()) {
        QImageReader byName(path, suffix);
        byName.setAutoDetectImageFormat(false);
        QImage image = byName.read();
        if (!image.isNull())
            return image;
    }
    QImageReader byContent(path);
    return byContent.read();
}

}  // namespace velmora
