#include "shell/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora {

QImage drawProgramIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0.5, 0.5, size - 1.0, size - 1.0);
    const double radius = size * 0.22;
    QLinearGradient face(tile.topLeft(), tile.bottomLeft());
    face.setColorAt(0, QColor(0x3a, 0x3f, 0x4b));
    face.setColorAt(1, QColor(0x1c, 0x1f, 0x26));
    p.setPen(QPen(QColor(0x0c, 0x0d, 0x11), size >= 32 ? 1.5 : 1.0));
    p.setBrush(face);
    p.drawRoundedRect(tile, radius, radius);

    // The play sign, a little right of centre so that it looks centred.
    const double s = size;
    QPainterPath play;
    play.moveTo(s * 0.38, s * 0.26);
    play.lineTo(s * 0.76, s * 0.50);
    play.lineTo(s * 0.38, s * 0.74);
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xa3, 0x3a));
    p.drawPath(play);
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(drawProgramIcon(size)));
    return icon;
}

}  // namespace velmora
