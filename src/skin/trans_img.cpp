#include "skin/trans_img.h"

#include "base/rounding.h"
#include "skin/skin_log.h"
#include "skin/skin_picture.h"

#include <QBitmap>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace velmora {

namespace {
constexpr QRgb kMaskColour = 0xFFFFFFFF;  // opaque white
constexpr double kDimmedOpacity = 0.35;

// The picture with every white pixel fully transparent, and the mask of the
// remaining (opaque) pixels.
QImage withTransparentWhite(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xFF000000u) == kMaskColour || qAlpha(line[x]) == 0)
                line[x] = 0;
        }
    }
    return image;
}
}  // namespace

TransImg::TransImg(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    resize(0, 0);
}

bool TransImg::setPicture(const QImage& picture)
{
    if (picture.isNull())
        return false;
    picture_ = withTransparentWhite(picture);
    shown_ = QPixmap::fromImage(picture_);
    const QBitmap mask = QBitmap::fromImage(picture_.createAlphaMask(Qt::ThresholdAlphaDither));
    const QRegion opaque(mask);
    resize(picture_.size());
    if (opaque.isEmpty()) {
        // All white: nothing to see and nothing to press.
        clearMask();
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
    } else {
        setMask(opaque);
        setAttribute(Qt::WA_TransparentForMouseEvents, false);
    }
    update();
    return true;
}

bool TransImg::loadPicture(const QString& path)
{
    QImage image = readSkinPicture(path);
    if (image.isNull()) {
        qCDebug(lcSkin) << "picture not loaded:" << path;
        return false;
    }
    return setPicture(image);
}

void TransImg::setLeft(double left)
{
    left_ = left;
    applyPlace();
}

void TransImg::setTop(double top)
{
    top_ = top;
    applyPlace();
}

void TransImg::setPlace(double left, double top)
{
    left_ = left;
    top_ = top;
    applyPlace();
}

void TransImg::applyPlace()
{
    move(roundHalfEven(left_), roundHalfEven(top_));
}

bool TransImg::opaqueAt(QPoint p) const
{
    return picture_.valid(p) && qAlpha(picture_.pixel(p)) != 0;
}

int TransImg::buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int TransImg::buttonsCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
           | (buttons & Qt::MiddleButton ? 4 : 0);
}

int TransImg::shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
           | (modifiers & Qt::AltModifier ? 4 : 0);
}

void TransImg::paintEvent(QPaintEvent*)
{
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothSkinPictures(devicePixelRatioF()));
    if (!isEnabled())
        painter.setOpacity(kDimmedOpacity);
    painter.drawPixmap(0, 0, shown_);
}

void TransImg::mousePressEvent(QMouseEvent* event)
{
    event->accept();  // a press on an element never drags the window
    const QPointF p = event->position();
    heldButton_ = buttonCode(event->button());
    emit mouseDown(heldButton_, shiftCode(event->modifiers()), p.x(), p.y());
}

void TransImg::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The classic control sees a second press.
    mousePressEvent(event);
}

void TransImg::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPointF p = event->position();
    emit mouseMove(buttonsCode(event->buttons()), shiftCode(event->modifiers()), p.x(), p.y());
}

void TransImg::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const QPointF p = event->position();
    heldButton_ = 0;
    emit mouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), p.x(), p.y());
    if (event->button() == Qt::LeftButton && opaqueAt(p.toPoint()) && isEnabled())
        emit clicked();
}

void TransImg::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        update();
        // A disabled element gets no release: the press held on it ends
        // here, so that a drag (the seek knob's) never stays open.
        if (!isEnabled() && heldButton_ != 0) {
            const int button = std::exchange(heldButton_, 0);
            const QPointF p = mapFromGlobal(QCursor::pos().toPointF());
            emit mouseUp(button, 0, p.x(), p.y());
        }
    }
    QWidget::changeEvent(event);
}

}  // namespace velmora
