#include "skin/skinned_form.h"

#include "keys/key_sink.h"

#include "base/config_folder.h"
#include "base/rounding.h"
#include "skin/skin_picture.h"
#include "skin/window_geometry.h"

#include <QKeyEvent>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace velmora {

SkinnedForm::SkinnedForm(SkinWindow kind, Qt::WindowFlags flags)
    : QWidget(nullptr, flags | Qt::FramelessWindowHint), kind_(kind)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QLatin1String(kApplicationName));
    setFocusPolicy(Qt::StrongFocus);
    // Elements in the order of the key table: later ones lie above earlier
    // ones (a knob above its track).
    for (const auto& key : kSkinElements) {
        if (key.window != kind)
            continue;
        auto* e = new TransImg(this);
        e->setObjectName(skinString(key.element));
        if (key.toolTip)
            e->setToolTip(QString::fromUtf8(key.toolTip));
        e->setEnabled(key.enabledAtStart);
        elements_.push_back(e);
    }
    // Tracks lie below their knobs (the table names the knob first).
    for (const char* track : {"SliderPlayBack", "SliderVolumeBack", "SliderBalanceBack", "ScrollBack"}) {
        if (TransImg* e = element(track))
            e->lower();
    }
}

bool SkinnedForm::setBackground(const QImage& picture)
{
    if (picture.isNull())
        return false;
    background_ = picture.convertToFormat(QImage::Format_RGB32);
    backgroundPixmap_ = QPixmap::fromImage(background_);
    update();
    return true;
}

// X11 windows are at most 32767 pixels each way; a skin asking for more
// gets that much.
constexpr double kMaxWindowSide = 32767;

void SkinnedForm::setSkinWidth(double width)
{
    width_ = std::clamp(width, 0.0, kMaxWindowSide);
    applySize();
}

void SkinnedForm::setSkinHeight(double height)
{
    height_ = std::clamp(height, 0.0, kMaxWindowSide);
    applySize();
}

void SkinnedForm::applySize()
{
    setFixedSize(roundHalfEven(width_), roundHalfEven(height_));
}

void SkinnedForm::applyOutline(int radius)
{
    const QRegion region = roundedWindowRegion(roundHalfEven(width_), roundHalfEven(height_), radius);
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
}

TransImg* SkinnedForm::element(std::string_view name) const
{
    const QString n = skinString(name);
    for (TransImg* e : elements_) {
        if (e->objectName() == n)
            return e;
    }
    return nullptr;
}

void SkinnedForm::setDragHandlers(DragHandler press, DragHandler move)
{
    dragPress_ = std::move(press);
    dragMove_ = std::move(move);
}

void SkinnedForm::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect r = event->rect();
    painter.fillRect(r, Qt::black);
    if (backgroundPixmap_.isNull())
        return;
    if (!smoothSkinPictures(devicePixelRatioF())) {
        painter.drawPixmap(r, backgroundPixmap_, r);
        return;
    }
    // Filtered: drawn whole and clipped, so that a partial repaint samples
    // the same neighbours as a full one and leaves no seams.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(r);
    painter.drawPixmap(0, 0, backgroundPixmap_);
}

void SkinnedForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && dragPress_)
        dragPress_(*this, event->globalPosition().toPoint());
    event->accept();
}

void SkinnedForm::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton && dragMove_)
        dragMove_(*this, event->globalPosition().toPoint());
    event->accept();
}

void SkinnedForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && dragEnd_)
        dragEnd_();
    event->accept();
}

void SkinnedForm::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous() && closeRequest_) {
        event->ignore();
        closeRequest_();
        return;
    }
    QWidget::closeEvent(event);
}

void SkinnedForm::keyPressEvent(QKeyEvent* event)
{
    if (keySink_) {
        forwardKey(*keySink_, *event);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace velmora
