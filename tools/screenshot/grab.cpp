// velmora_screen_grab: the two halves of a screenshot on a bare X server.
//   --backdrop         a desktop picture behind every window, until killed
//   --save <file.png>  waits --delay ms (default 2000), then saves the screen

#include <QApplication>
#include <QCommandLineParser>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace {

// A calm, slightly lit backdrop, so that the windows' rounded corners show.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint)
    {
        setGeometry(QGuiApplication::primaryScreen()->geometry());
        setAttribute(Qt::WA_OpaquePaintEvent);
        // Without a window manager nothing keeps us at the bottom: windows
        // that lower themselves would otherwise go beneath us.
        connect(&keepDown_, &QTimer::timeout, this, [this] { lower(); });
        keepDown_.start(100);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRectF r = rect();
        QLinearGradient sky(r.topLeft(), r.bottomRight());
        sky.setColorAt(0, QColor(0x3d, 0x4f, 0x6e));
        sky.setColorAt(0.55, QColor(0x5d, 0x6d, 0x86));
        sky.setColorAt(1, QColor(0x8a, 0x7c, 0x8e));
        p.fillRect(r, sky);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            QRadialGradient glow(QPointF(r.width() * (0.2 + 0.35 * i), r.height() * (0.85 - 0.3 * i)),
                                 r.width() * 0.35);
            glow.setColorAt(0, QColor(255, 255, 255, 34));
            glow.setColorAt(1, QColor(255, 255, 255, 0));
            p.setBrush(glow);
            p.drawRect(r);
        }
    }

private:
    QTimer keepDown_;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    QCommandLineOption backdrop(QStringLiteral("backdrop"), QStringLiteral("Show a desktop backdrop."));
    QCommandLineOption save(QStringLiteral("save"), QStringLiteral("Save the screen."), QStringLiteral("file"));
    QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Wait before saving."), QStringLiteral("ms"),
                             QStringLiteral("2000"));
    parser.addOptions({backdrop, save, delay});
    parser.addHelpOption();
    parser.process(app);

    if (parser.isSet(backdrop)) {
        auto* b = new Backdrop;
        b->show();
        b->lower();
        return app.exec();
    }
    if (!parser.isSet(save))
        parser.showHelp(2);
    const QString file = parser.value(save);
    QTimer::singleShot(parser.value(delay).toInt(), &app, [&app, file] {
        QScreen* screen = QGuiApplication::primaryScreen();
        app.exit(screen && screen->grabWindow(0).save(file) ? 0 : 1);
    });
    return app.exec();
}
