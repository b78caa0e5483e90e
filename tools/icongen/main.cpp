// The factory icons of the file types: one per default type plus the
// template "default", drawn with QPainter in the default skin's colours and
// written as PNG into the folder given on the command line (the build puts
// it beside the program as "default icons/"). Each icon is drawn for each
// size on its own, so the small ones stay crisp:
//   velmora_icongen <folder>

#include "shell/default_file_types.h"
#include "skingen/glyphs.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

using velmora::ClipKind;
namespace colour = skingen::colour;

QColor kindColour(ClipKind kind)
{
    switch (kind) {
    case ClipKind::Audio:
        return colour::Accent;
    case ClipKind::Video:
        return colour::Teal;
    case ClipKind::Playlist:
        break;
    }
    return colour::Glyph;
}

void paintNote(QPainter& p, const QRectF& r, const QColor& c)
{
    const double s = std::min(r.width(), r.height());
    const QPointF head(r.center().x() - s * 0.12, r.center().y() + s * 0.22);
    const double stemX = head.x() + s * 0.13;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(head, s * 0.16, s * 0.12);
    p.drawRect(QRectF(stemX - s * 0.035, r.center().y() - s * 0.36, s * 0.07, s * 0.58));
    QPainterPath flag;
    flag.moveTo(stemX, r.center().y() - s * 0.36);
    flag.cubicTo(stemX + s * 0.10, r.center().y() - s * 0.28, stemX + s * 0.26, r.center().y() - s * 0.20,
                 stemX + s * 0.18, r.center().y() - s * 0.02);
    flag.cubicTo(stemX + s * 0.16, r.center().y() - s * 0.14, stemX + s * 0.08, r.center().y() - s * 0.18,
                 stemX, r.center().y() - s * 0.18);
    flag.closeSubpath();
    p.drawPath(flag);
}

void paintFilm(QPainter& p, const QRectF& r, const QColor& c)
{
    const double s = std::min(r.width(), r.height());
    const QRectF frame(r.center().x() - s * 0.42, r.center().y() - s * 0.32, s * 0.84, s * 0.64);
    p.setPen(QPen(c, std::max(1.0, s * 0.07)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, s * 0.08, s * 0.08);
    skingen::paintGlyph(p, frame, skingen::Glyph::Play, c);
}

void paintList(QPainter& p, const QRectF& r, const QColor& c)
{
    const double s = std::min(r.width(), r.height());
    const double w = std::max(1.0, s * 0.09);
    for (int i = 0; i < 3; ++i) {
        const double y = r.center().y() - s * 0.26 + i * s * 0.26;
        p.fillRect(QRectF(r.center().x() - s * 0.12, y - w / 2, s * 0.52, w), c);
    }
    skingen::paintGlyph(p, QRectF(r.center().x() - s * 0.5, r.center().y() - s * 0.5, s * 0.55, s * 0.55),
                        skingen::Glyph::Play, colour::Accent);
}

// The skin's window body with its rim, as a free-standing rounded tile.
void paintTile(QPainter& p, const QRectF& r, double radius)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, colour::BackgroundTop);
    g.setColorAt(1, colour::BackgroundBottom);
    p.setPen(QPen(colour::Rim, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(colour::RimLight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

QImage drawIcon(const QString& text, ClipKind kind, bool generic, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF tile(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    paintTile(p, tile, s * 0.16);

    // The extension on a band along the bottom; at 16 pixels no text is
    // readable, so the band only tells the kind by its colour.
    const QColor tint = generic ? colour::GlyphDim : kindColour(kind);
    const double bandHeight = size <= 16 ? s * 0.2 : s * 0.3;
    const QRectF band(tile.left() + s * 0.08, tile.bottom() - bandHeight - s * 0.07, tile.width() - s * 0.16, bandHeight);
    const QRectF glyphArea(tile.left(), tile.top() + s * 0.04, tile.width(), band.top() - tile.top() - s * 0.04);
    if (generic)
        skingen::paintGlyph(p, glyphArea, skingen::Glyph::Play, colour::Glyph);
    else if (kind == ClipKind::Audio)
        paintNote(p, glyphArea.adjusted(s * 0.1, s * 0.06, -s * 0.1, -s * 0.02), tint);
    else if (kind == ClipKind::Video)
        paintFilm(p, glyphArea.adjusted(s * 0.12, s * 0.08, -s * 0.12, -s * 0.04), tint);
    else
        paintList(p, glyphArea.adjusted(s * 0.1, s * 0.06, -s * 0.1, -s * 0.02), tint);

    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawRoundedRect(band, bandHeight * 0.3, bandHeight * 0.3);
    if (size > 16 && !text.isEmpty()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setHintingPreference(QFont::PreferFullHinting);
        int pixels = static_cast<int>(band.height() * 0.78);
        for (; pixels >= 6; --pixels) {
            font.setPixelSize(pixels);
            if (QFontMetricsF(font).horizontalAdvance(text) <= band.width() * 0.92)
                break;
        }
        p.setFont(font);
        p.setPen(colour::Panel);
        p.drawText(band, Qt::AlignCenter, text);
    }
    return image;
}

bool writeIcon(const QString& folder, const QString& name, ClipKind kind, bool generic)
{
    const QString text = generic ? QString() : name.toUpper();
    bool ok = drawIcon(text, kind, generic, velmora::kLargeIconSize).save(folder + name + QStringLiteral(".png"));
    for (const int size : velmora::kSmallIconSizes) {
        const QString sub = folder + QStringLiteral("%1x%1/").arg(size);
        QDir().mkpath(sub);
        ok = drawIcon(text, kind, generic, size).save(sub + name + QStringLiteral(".png")) && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_icongen <folder>\n");
        return 2;
    }
    QString folder = QString::fromLocal8Bit(argv[1]);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    QDir().mkpath(folder);
    bool ok = true;
    for (const velmora::DefaultFileType& type : velmora::kDefaultFileTypes)
        ok = writeIcon(folder, QString::fromLatin1(type.name.data(), type.name.size()), type.kind, false) && ok;
    // Written last: the build takes it as the sign that the folder is whole.
    ok = writeIcon(folder, QString::fromLatin1(velmora::kTemplateIconName.data(), velmora::kTemplateIconName.size()),
                   ClipKind::Audio, true) && ok;
    if (!ok)
        std::fprintf(stderr, "velmora_icongen: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
