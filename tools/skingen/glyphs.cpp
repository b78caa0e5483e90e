#include "glyphs.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>

#include <cmath>

namespace skingen {

namespace {

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// A triangle pointing right (dir 1) or left (dir -1), centred on (cx, cy).
QPainterPath arrowHead(double cx, double cy, double w, double h, int dir)
{
    return triangle({cx - dir * w / 2, cy - h / 2}, {cx + dir * w / 2, cy}, {cx - dir * w / 2, cy + h / 2});
}

void fill(QPainter& p, const QPainterPath& path, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

void strokeLine(QPainter& p, QPointF a, QPointF b, const QColor& c, double width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(a, b);
}

}  // namespace

void paintFace(QPainter& p, const QRectF& r, double radius, const QColor& tint)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const QColor top = tint.isValid() ? tint.lighter(135) : colour::FaceTop;
    const QColor bottom = tint.isValid() ? tint : colour::FaceBottom;
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(colour::FaceBorder, 1));
    p.setBrush(g);
    p.drawRoundedRect(outer, radius, radius);
    // The light catches the upper edge.
    p.setPen(QPen(tint.isValid() ? tint.lighter(170) : colour::FaceLight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    p.restore();
}

void paintRoundFace(QPainter& p, const QRectF& r, const QColor& tint)
{
    paintFace(p, r, std::min(r.width(), r.height()) / 2, tint);
}

void paintGlyph(QPainter& p, const QRectF& r, Glyph g, const QColor& c)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double cx = r.center().x(), cy = r.center().y();
    const double s = std::min(r.width(), r.height());
    switch (g) {
    case Glyph::None:
        break;
    case Glyph::Play:
        fill(p, arrowHead(cx + s * 0.04, cy, s * 0.34, s * 0.40, 1), c);
        break;
    case Glyph::Pause: {
        const double w = s * 0.11, h = s * 0.38, gap = s * 0.09;
        QPainterPath path;
        path.addRoundedRect(QRectF(cx - gap / 2 - w, cy - h / 2, w, h), 1, 1);
        path.addRoundedRect(QRectF(cx + gap / 2, cy - h / 2, w, h), 1, 1);
        fill(p, path, c);
        break;
    }
    case Glyph::Stop: {
        const double e = s * 0.32;
        QPainterPath path;
        path.addRoundedRect(QRectF(cx - e / 2, cy - e / 2, e, e), 1.5, 1.5);
        fill(p, path, c);
        break;
    }
    case Glyph::Back:
    case Glyph::Forward: {
        const int dir = g == Glyph::Forward ? 1 : -1;
        const double w = s * 0.22, h = s * 0.34;
        QPainterPath path = arrowHead(cx - dir * w * 0.5, cy, w, h, dir);
        path.addPath(arrowHead(cx + dir * w * 0.5, cy, w, h, dir));
        fill(p, path, c);
        break;
    }
    case Glyph::StepBack:
    case Glyph::StepForward: {
        const int dir = g == Glyph::StepForward ? 1 : -1;
        const double w = s * 0.26, h = s * 0.34, bar = s * 0.08;
        QPainterPath path = arrowHead(cx - dir * bar * 0.8, cy, w, h, dir);
        const double barX = cx + dir * (w / 2 - bar * 0.3);
        path.addRect(QRectF(dir > 0 ? barX : barX - bar, cy - h / 2, bar, h));
        fill(p, path, c);
        break;
    }
    case Glyph::Close: {
        const double e = s * 0.17;
        strokeLine(p, {cx - e, cy - e}, {cx + e, cy + e}, c, 1.7);
        strokeLine(p, {cx - e, cy + e}, {cx + e, cy - e}, c, 1.7);
        break;
    }
    case Glyph::Minimize:
        strokeLine(p, {cx - s * 0.18, cy + s * 0.06}, {cx + s * 0.18, cy + s * 0.06}, c, 1.8);
        break;
    case Glyph::Menu:
        for (int i = -1; i <= 1; ++i)
            strokeLine(p, {cx - s * 0.18, cy + i * s * 0.14}, {cx + s * 0.18, cy + i * s * 0.14}, c, 1.5);
        break;
    case Glyph::Minus:
        strokeLine(p, {cx - s * 0.2, cy}, {cx + s * 0.2, cy}, c, 2.0);
        break;
    case Glyph::Plus:
        strokeLine(p, {cx - s * 0.2, cy}, {cx + s * 0.2, cy}, c, 2.0);
        strokeLine(p, {cx, cy - s * 0.2}, {cx, cy + s * 0.2}, c, 2.0);
        break;
    case Glyph::Up:
    case Glyph::Down: {
        const int dir = g == Glyph::Down ? 1 : -1;
        strokeLine(p, {cx, cy - dir * s * 0.22}, {cx, cy + dir * s * 0.2}, c, 1.8);
        strokeLine(p, {cx - s * 0.16, cy + dir * s * 0.04}, {cx, cy + dir * s * 0.21}, c, 1.8);
        strokeLine(p, {cx + s * 0.16, cy + dir * s * 0.04}, {cx, cy + dir * s * 0.21}, c, 1.8);
        break;
    }
    case Glyph::ScrollUp:
    case Glyph::ScrollDown: {
        const int dir = g == Glyph::ScrollDown ? 1 : -1;
        fill(p, triangle({cx - s * 0.2, cy - dir * s * 0.1}, {cx + s * 0.2, cy - dir * s * 0.1},
                         {cx, cy + dir * s * 0.14}),
             c);
        break;
    }
    case Glyph::Left:
    case Glyph::Right: {
        const int dir = g == Glyph::Right ? 1 : -1;
        fill(p, arrowHead(cx, cy, s * 0.22, s * 0.36, dir), c);
        break;
    }
    case Glyph::Untree: {
        // Indented lines becoming one flat column.
        const double x0 = cx - s * 0.24, x1 = cx + s * 0.24;
        strokeLine(p, {x0, cy - s * 0.18}, {x1, cy - s * 0.18}, c, 1.6);
        strokeLine(p, {x0 + s * 0.14, cy}, {x1, cy}, c, 1.6);
        strokeLine(p, {x0, cy + s * 0.18}, {x1, cy + s * 0.18}, c, 1.6);
        fill(p, arrowHead(x0 + s * 0.03, cy, s * 0.1, s * 0.16, -1), c);
        break;
    }
    case Glyph::Save: {
        // A floppy disk.
        const double e = s * 0.40;
        const QRectF body(cx - e / 2, cy - e / 2, e, e);
        QPainterPath outline;
        outline.moveTo(body.topLeft());
        outline.lineTo(body.right() - e * 0.22, body.top());
        outline.lineTo(body.right(), body.top() + e * 0.22);
        outline.lineTo(body.bottomRight());
        outline.lineTo(body.bottomLeft());
        outline.closeSubpath();
        p.setPen(QPen(c, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRect(QRectF(body.left() + e * 0.22, body.top(), e * 0.42, e * 0.3));
        p.drawRect(QRectF(body.left() + e * 0.2, body.bottom() - e * 0.36, e * 0.6, e * 0.36));
        break;
    }
    case Glyph::SpeakerLow:
    case Glyph::SpeakerHigh: {
        const double h = s * 0.34;
        QPainterPath path;
        path.moveTo(cx - s * 0.22, cy - h * 0.3);
        path.lineTo(cx - s * 0.1, cy - h * 0.3);
        path.lineTo(cx + s * 0.04, cy - h / 2 - s * 0.04);
        path.lineTo(cx + s * 0.04, cy + h / 2 + s * 0.04);
        path.lineTo(cx - s * 0.1, cy + h * 0.3);
        path.lineTo(cx - s * 0.22, cy + h * 0.3);
        path.closeSubpath();
        fill(p, path, c);
        if (g == Glyph::SpeakerHigh) {
            p.setPen(QPen(c, 1.4, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(cx - s * 0.08, cy - s * 0.13, s * 0.26, s * 0.26), -50 * 16, 100 * 16);
            p.drawArc(QRectF(cx - s * 0.14, cy - s * 0.23, s * 0.44, s * 0.46), -50 * 16, 100 * 16);
        }
        break;
    }
    }
    p.restore();
}

void paintGroove(QPainter& p, const QRectF& r, Qt::Orientation o)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double radius = (o == Qt::Horizontal ? r.height() : r.width()) / 2;
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), o == Qt::Horizontal ? r.bottomLeft() : r.topRight());
    g.setColorAt(0, QColor(0x07, 0x08, 0x0a));
    g.setColorAt(1, QColor(0x15, 0x17, 0x1c));
    p.setPen(QPen(QColor(0x05, 0x06, 0x08), 1));
    p.setBrush(g);
    p.drawRoundedRect(outer, radius, radius);
    // A lit lower lip, as if the groove were cut into the panel.
    p.setPen(QPen(QColor(0x3a, 0x3f, 0x4b), 1));
    p.setBrush(Qt::NoBrush);
    if (o == Qt::Horizontal)
        p.drawLine(QPointF(r.left() + radius, r.bottom() - 0.5), QPointF(r.right() - radius, r.bottom() - 0.5));
    else
        p.drawLine(QPointF(r.right() - 0.5, r.top() + radius), QPointF(r.right() - 0.5, r.bottom() - radius));
    p.restore();
}

void paintPanel(QPainter& p, const QRectF& r, double radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0x0b, 0x0c, 0x0f));
    g.setColorAt(1, colour::Panel);
    p.setPen(QPen(QColor(0x06, 0x07, 0x09), 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(colour::PanelBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(r.left() + radius, r.bottom() + 0.5), QPointF(r.right() - radius, r.bottom() + 0.5));
    p.restore();
}

void paintRoundKnob(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QRadialGradient g(QPointF(r.center().x() - r.width() * 0.15, r.center().y() - r.height() * 0.2), r.width() * 0.75);
    g.setColorAt(0, colour::AccentLight);
    g.setColorAt(0.55, colour::Accent);
    g.setColorAt(1, colour::AccentDark);
    p.setPen(QPen(QColor(0x3a, 0x24, 0x06), 1));
    p.setBrush(g);
    p.drawEllipse(outer);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x2e, 0x08));
    p.drawEllipse(QRectF(r.center().x() - 1.6, r.center().y() - 1.6, 3.2, 3.2));
    p.restore();
}

void paintPillKnob(QPainter& p, const QRectF& r, Qt::Orientation o)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(r.width(), r.height()) / 2;
    QLinearGradient g(r.topLeft(), o == Qt::Vertical ? r.topRight() : r.bottomLeft());
    g.setColorAt(0, colour::AccentLight);
    g.setColorAt(0.5, colour::Accent);
    g.setColorAt(1, colour::AccentDark);
    p.setPen(QPen(QColor(0x3a, 0x24, 0x06), 1));
    p.setBrush(g);
    p.drawRoundedRect(outer, radius, radius);
    // Grip lines across the pill.
    p.setPen(QPen(QColor(0x6b, 0x44, 0x0c), 1));
    const QPointF c = r.center();
    for (int i = -1; i <= 1; ++i) {
        if (o == Qt::Vertical)
            p.drawLine(QPointF(c.x() - r.width() * 0.25, c.y() + i * 3), QPointF(c.x() + r.width() * 0.25, c.y() + i * 3));
        else
            p.drawLine(QPointF(c.x() + i * 3, c.y() - r.height() * 0.25), QPointF(c.x() + i * 3, c.y() + r.height() * 0.25));
    }
    p.restore();
}

void paintWindowBody(QPainter& p, const QRectF& r, double cornerRadius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(r, colour::Rim);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, colour::BackgroundTop);
    g.setColorAt(1, colour::BackgroundBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), cornerRadius - 1, cornerRadius - 1);
    p.setPen(QPen(colour::RimLight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), cornerRadius - 1.5, cornerRadius - 1.5);
    p.restore();
}

void paintCaption(QPainter& p, QPointF baseline, const QString& text, const QColor& c, int pixelSize)
{
    p.save();
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.4);
    p.setFont(f);
    p.setPen(c);
    p.drawText(baseline, text);
    p.restore();
}

}  // namespace skingen
