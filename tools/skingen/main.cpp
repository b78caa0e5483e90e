// skingen: paints the default skin ("Velmora Nocturne") and writes its
// pictures as BMP files and its complete skin.ini into a folder.
//
//   skingen <folder>
//
// How an element picture is made: white (255, 255, 255) is the transparent
// colour of every element, so an element's anti-aliased edge must not fade
// into white (it would show as a light fringe on the dark windows). Each
// element is therefore painted over the very pixels that lie beneath it
// (the window picture, and the track under a knob), and only the pixels the
// element does not touch at all become pure white; no pixel inside an
// element is left pure white.

#include "glyphs.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <vector>

using namespace skingen;

namespace {

using Paint = std::function<void(QPainter&, const QRectF&)>;

struct Element {
    QString key;   // picture key; the file is key + ".bmp"
    QRect rect;    // place in the window and size
    Paint paint;
    QString track;  // a knob: the key of the track it slides on
    Qt::Orientation orientation = Qt::Horizontal;
};

struct Window {
    QString file;
    QSize size;
    int radius = 0;  // width of the corner ellipse
    Paint body;
    std::vector<Element> elements;
};

Paint button(Glyph g, double radius = 7, QColor glyph = colour::Glyph, QColor tint = QColor())
{
    return [=](QPainter& p, const QRectF& r) {
        paintFace(p, r, radius, tint);
        paintGlyph(p, r, g, glyph);
    };
}

Paint roundButton(Glyph g, QColor glyph = colour::Glyph, QColor tint = QColor())
{
    return [=](QPainter& p, const QRectF& r) {
        paintRoundFace(p, r, tint);
        paintGlyph(p, r, g, glyph);
    };
}

Paint groove(Qt::Orientation o, int inset)
{
    // The groove is thinner than the element, centred across it.
    return [=](QPainter& p, const QRectF& r) {
        const QRectF g = o == Qt::Horizontal ? r.adjusted(0, inset, 0, -inset) : r.adjusted(inset, 0, -inset, 0);
        paintGroove(p, g, o);
    };
}

Paint roundKnob() { return [](QPainter& p, const QRectF& r) { paintRoundKnob(p, r); }; }
Paint pillKnob(Qt::Orientation o)
{
    return [=](QPainter& p, const QRectF& r) { paintPillKnob(p, r, o); };
}

// --- The three windows ---------------------------------------------------

Window mainWindow()
{
    Window w;
    w.file = QStringLiteral("main.bmp");
    w.size = {400, 124};
    w.radius = 26;
    w.body = [](QPainter& p, const QRectF& r) {
        paintWindowBody(p, r, 13);
        paintCaption(p, {20, 23}, QStringLiteral("VELMORA 4"), colour::Caption);
        paintPanel(p, QRectF(16, 32, 368, 34), 8);
        // A quiet divider between position and length.
        p.setPen(QPen(QColor(0x2a, 0x2e, 0x37), 1));
        p.drawLine(QPointF(200.5, 38), QPointF(200.5, 60));
    };
    const int top = 92, h = 24;
    int x = 52;
    auto next = [&](int width) {
        QRect r(x, top, width, h);
        x += width + 6;
        return r;
    };
    w.elements = {
        {"stepback", next(36), button(Glyph::StepBack)},
        {"back", next(36), button(Glyph::Back)},
        {"play", next(44), button(Glyph::Play, 7, colour::Accent)},
        {"pause", next(36), button(Glyph::Pause)},
        {"stop", next(36), button(Glyph::Stop)},
        {"forward", next(36), button(Glyph::Forward)},
        {"stepforward", next(36), button(Glyph::StepForward)},
        {"menu", QRect(318, 7, 20, 20), roundButton(Glyph::Menu)},
        {"minimize", QRect(342, 7, 20, 20), roundButton(Glyph::Minimize)},
        {"close", QRect(366, 7, 20, 20), roundButton(Glyph::Close, colour::Glyph, colour::CloseTint)},
        {"sliderplayback", QRect(20, 74, 360, 10), groove(Qt::Horizontal, 1)},
        {"sliderplay", QRect(20, 71, 16, 16), roundKnob(), "sliderplayback"},
    };
    return w;
}

Window volumeWindow()
{
    Window w;
    w.file = QStringLiteral("volume.bmp");
    w.size = {220, 124};
    w.radius = 24;
    w.body = [](QPainter& p, const QRectF& r) {
        paintWindowBody(p, r, 12);
        paintCaption(p, {16, 23}, QStringLiteral("ГРОМКОСТЬ"), colour::Caption);
        paintCaption(p, {16, 80}, QStringLiteral("БАЛАНС"), colour::Caption);
        // The balance centre mark, beside the track.
        p.setPen(QPen(colour::Caption, 1));
        p.drawLine(QPointF(110.5, 90), QPointF(110.5, 93));
        p.drawLine(QPointF(110.5, 107), QPointF(110.5, 110));
    };
    w.elements = {
        {"volumeleft", QRect(12, 32, 26, 24), button(Glyph::SpeakerLow)},
        {"volumeright", QRect(182, 32, 26, 24), button(Glyph::SpeakerHigh)},
        {"slidervolumeback", QRect(44, 40, 132, 8), groove(Qt::Horizontal, 0)},
        {"slidervolume", QRect(162, 34, 14, 20), pillKnob(Qt::Horizontal), "slidervolumeback"},
        {"balanceleft", QRect(12, 88, 26, 24), button(Glyph::Left)},
        {"balanceright", QRect(182, 88, 26, 24), button(Glyph::Right)},
        {"sliderbalanceback", QRect(44, 96, 132, 8), groove(Qt::Horizontal, 0)},
        {"sliderbalance", QRect(103, 90, 14, 20), pillKnob(Qt::Horizontal), "sliderbalanceback"},
    };
    return w;
}

Window playlistWindow()
{
    Window w;
    w.file = QStringLiteral("playlist.bmp");
    w.size = {626, 262};
    w.radius = 24;
    w.body = [](QPainter& p, const QRectF& r) {
        paintWindowBody(p, r, 12);
        paintCaption(p, {18, 21}, QStringLiteral("СПИСОК ВОСПРОИЗВЕДЕНИЯ"), colour::Caption);
        paintPanel(p, QRectF(14, 30, 574, 192), 8);
        paintCaption(p, {520, 245}, QStringLiteral("VELMORA 4"), QColor(0x4a, 0x50, 0x5c), 9);
    };
    int x = 14;
    auto next = [&] {
        QRect rect(x, 230, 34, 24);
        x += 40;
        return rect;
    };
    w.elements = {
        {"plus", next(), button(Glyph::Plus)},
        {"minus", next(), button(Glyph::Minus)},
        {"up", next(), button(Glyph::Up)},
        {"down", next(), button(Glyph::Down)},
        {"untree", next(), button(Glyph::Untree)},
        {"save", next(), button(Glyph::Save)},
        {"scrollup", QRect(594, 30, 20, 20), roundButton(Glyph::ScrollUp)},
        {"scrolldown", QRect(594, 202, 20, 20), roundButton(Glyph::ScrollDown)},
        {"scrollback", QRect(596, 54, 16, 144), groove(Qt::Vertical, 3)},
        {"scroll", QRect(597, 54, 14, 30), pillKnob(Qt::Vertical), "scrollback", Qt::Vertical},
    };
    return w;
}

// --- Composition -----------------------------------------------------------

QImage paintLayer(const Element& e)
{
    QImage layer(e.rect.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    e.paint(p, QRectF(QPointF(0, 0), QSizeF(e.rect.size())));
    return layer;
}

const Element* find(const Window& w, const QString& key)
{
    for (const Element& e : w.elements) {
        if (e.key == key)
            return &e;
    }
    return nullptr;
}

// What lies beneath an element: the window picture, and for a knob its
// track, shifted along the travel so that the knob sits on the track's
// even middle part (the same everywhere it can slide).
QImage beneath(const Window& w, const QImage& body, const Element& e)
{
    QImage under = body.copy(e.rect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (const Element* track = e.track.isEmpty() ? nullptr : find(w, e.track)) {
        QPainter p(&under);
        QPoint at = track->rect.topLeft() - e.rect.topLeft();
        if (e.orientation == Qt::Horizontal)
            at.setX(-(track->rect.width() - e.rect.width()) / 2);
        else
            at.setY(-(track->rect.height() - e.rect.height()) / 2);
        p.drawImage(at, paintLayer(*track));
    }
    return under;
}

QImage elementPicture(const Window& w, const QImage& body, const Element& e)
{
    const QImage layer = paintLayer(e);
    QImage picture = beneath(w, body, e);
    {
        QPainter p(&picture);
        p.drawImage(0, 0, layer);
    }
    picture = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(in[x]) == 0)
                out[x] = qRgb(255, 255, 255);  // transparent
            else if ((out[x] & 0xFFFFFF) == 0xFFFFFF)
                out[x] = qRgb(254, 254, 254);  // opaque white would vanish
        }
    }
    return picture;
}

QImage windowPicture(const Window& w)
{
    QImage body(w.size, QImage::Format_RGB32);
    body.fill(colour::Rim);
    QPainter p(&body);
    w.body(p, QRectF(QPointF(0, 0), QSizeF(w.size)));
    return body;
}

bool save(const QImage& image, const QString& path)
{
    if (image.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        return true;
    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
    return false;
}

// BGR as the skin's colour values have it: &H + blue, green, red.
QString skinColour(QColor c)
{
    return QStringLiteral("&H") + QStringLiteral("%1").arg((c.blue() << 16) | (c.green() << 8) | c.red(), 6, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        return 1;
    const QDir out(folder);

    const Window main = mainWindow(), volume = volumeWindow(), playlist = playlistWindow();
    bool ok = true;
    QString ini;
    QTextStream s(&ini);
    s << "; Velmora Nocturne, the default skin of Velmora 4.\n"
         "; Made by tools/skingen: change the generator, not these files.\n"
         "[Skin]\n"
         "Name=Velmora Nocturne\n";

    auto writeWindow = [&](const Window& w, const QString& pictureKey, const QString& widthKey,
                           const QString& heightKey, const QString& radiusKey) {
        const QImage body = windowPicture(w);
        ok &= save(body, out.filePath(w.file));
        s << pictureKey << '=' << w.file << '\n'
          << widthKey << '=' << w.size.width() << '\n'
          << heightKey << '=' << w.size.height() << '\n'
          << radiusKey << '=' << w.radius << '\n';
        return body;
    };
    auto writeElements = [&](const Window& w, const QImage& body) {
        for (const Element& e : w.elements) {
            ok &= save(elementPicture(w, body, e), out.filePath(e.key + QStringLiteral(".bmp")));
            s << e.key << '=' << e.key << ".bmp\n";
        }
        for (const Element& e : w.elements)
            s << e.key << "left=" << e.rect.left() << '\n' << e.key << "top=" << e.rect.top() << '\n';
    };

    const QImage mainBody = writeWindow(main, "Main", "MainWidth", "MainHeight", "MainRadius");
    writeElements(main, mainBody);
    s << "currenttimesize=11\n"
      << "currenttimecolor=" << skinColour(colour::Accent) << '\n'
      << "currenttimeleft=28\n"
      << "currenttimetop=40\n"
      << "timesize=11\n"
      << "timecolor=" << skinColour(QColor(0x8f, 0xa3, 0xbf)) << '\n'
      << "timeleft=300\n"
      << "timetop=40\n";

    const QImage volumeBody = writeWindow(volume, "Volume", "VolumeWidth", "VolumeHeight", "VolumeRadius");
    s << "Volumex=406\nVolumey=0\n";
    writeElements(volume, volumeBody);

    const QImage playlistBody =
        writeWindow(playlist, "playlist", "playlistWidth", "playlistheight", "playlistRadius");
    s << "playlistx=0\nplaylisty=130\n"
      << "playlistlistleft=20\nplaylistlisttop=36\nplaylistlistwidth=562\nplaylistlistheight=180\n"
      << "playlistlistcolor3=" << skinColour(colour::Teal) << '\n'
      << "playlistlistsize=9\n"
      << "playlistlistcolor=" << skinColour(QColor(0xcf, 0xd6, 0xe1)) << '\n'
      << "playlistlistcolor2=" << skinColour(QColor(0xe9, 0xb4, 0x5a)) << '\n';
    writeElements(playlist, playlistBody);
    s.flush();

    QFile f(out.filePath(QStringLiteral("skin.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(ini.toUtf8()) != ini.toUtf8().size()) {
        std::fprintf(stderr, "skingen: cannot write skin.ini\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
