// The three skinned windows and the video window with the default skin and
// a few sample rows, without the rest of the player: for looking at a skin,
// trying the windows by hand and for screenshots. Options:
//   --skin <folder>        another skin (default: the program's skin/)
//   --play <clip>          play a clip through the media module (the seek
//                          knob, time, winding, Play and Pause work)
//   --paused               open the clip and leave it paused
//   --vo <name>, --ao <name>  libmpv's video and audio output (e.g. x11 and
//                          null on a bare X server)
//   --grab <file.png>      save a picture of the whole screen and quit
//   --delay <ms>           wait this long before grabbing (default 800)

#include "app/velmora.h"
#include "base/format_time.h"
#include "playback/media_module.h"
#include "playback/play_form.h"
#include "playback/seek_bar.h"
#include "skin/skinned_windows.h"
#include "skin/window_platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <clocale>

using namespace velmora;

namespace {

void fillSampleRows(PlaylistForm& form, int visibleRows)
{
    struct Sample {
        int deep;
        const char* text;
        int seconds;
    };
    const Sample samples[] = {
        {0, "Список воспроизведения", 2873},
        {1, "Intro — Morning Light.mp3", 192},
        {1, "Северное сияние.ogg", 257},
        {2, "Live at the Harbour", 1604},
        {3, "01 Opening.flac", 311},
        {3, "02 Tidewater.flac", 402},
        {3, "03 Lanterns.flac", 891},
        {1, "Night Drive (Extended Mix).mp3", 486},
        {1, "Прогулка по набережной.mp4", 334},
        {1, "Field recording, rain.wav", -1},
    };
    const int rows = std::min(visibleRows, static_cast<int>(std::size(samples)));
    SkinListView& list = form.list();
    list.setRowCount(rows);
    const ListColours& c = form.colours();
    for (int r = 1; r <= rows; ++r) {
        const Sample& s = samples[r - 1];
        ListRow row;
        row.text = QString(s.deep, QLatin1Char(' ')) + QString::fromUtf8(s.text);
        row.timeText = s.seconds < 0 ? QString() : formatTime(s.seconds);
        row.rgb = s.deep % 2 == 0 ? c.group : c.file;
        list.setRow(r, row);
    }
    if (rows >= 5)
        list.setRowColour(5, c.current);
}

// A still picture standing in for a playing video.
QImage samplePicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x1b, 0x2a, 0x4a));
    sky.setColorAt(0.6, QColor(0xd9, 0x7b, 0x4f));
    sky.setColorAt(1, QColor(0x2b, 0x1d, 0x2e));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xff, 0xd5, 0x8a));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(size.width() * 0.68, size.height() * 0.58), 34, 34);
    p.setBrush(QColor(0x15, 0x12, 0x1c));
    QPolygonF hills;
    hills << QPointF(0, size.height());
    for (int x = 0; x <= size.width(); x += 20)
        hills << QPointF(x, size.height() * 0.72 + 14 * std::sin(x / 37.0));
    hills << QPointF(size.width(), size.height());
    p.drawPolygon(hills);
    return image;
}

// The few engine notifications the demo needs.
class DemoListener : public MediaEngineListener {
public:
    DemoListener(MediaEngine& engine, SkinnedWindows& windows, PlayForm& video, bool paused)
        : engine_(engine), windows_(windows), video_(video), paused_(paused)
    {
    }
    void engineOpenComplete() override
    {
        if (engine_.fileName().isEmpty())
            return;
        video_.openComplete({engine_.displayWidth(), engine_.displayHeight()});
        windows_.mainForm().setTransportEnabled(true);
        windows_.mainForm().setTimeText(formatSeconds(engine_.length()));
        if (paused_)
            engine_.pause();
        else
            engine_.run();
    }
    void enginePositionChange(double, double) override {}
    void engineTick() override { windows_.seekBar()->tick(); }
    void engineKeyPressed(int, int) override {}

private:
    MediaEngine& engine_;
    SkinnedWindows& windows_;
    PlayForm& video_;
    bool paused_;
};

}  // namespace

int main(int argc, char* argv[])
{
    chooseWindowPlatform();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Velmora 4"));

    QCommandLineParser parser;
    QCommandLineOption skinOption(QStringLiteral("skin"), QStringLiteral("Skin folder."), QStringLiteral("folder"));
    QCommandLineOption grabOption(QStringLiteral("grab"), QStringLiteral("Screenshot file."), QStringLiteral("file"));
    QCommandLineOption delayOption(QStringLiteral("delay"), QStringLiteral("Delay before grabbing."),
                                   QStringLiteral("ms"), QStringLiteral("800"));
    QCommandLineOption playOption(QStringLiteral("play"), QStringLiteral("Clip to play."), QStringLiteral("clip"));
    QCommandLineOption pausedOption(QStringLiteral("paused"), QStringLiteral("Leave the clip paused."));
    QCommandLineOption voOption(QStringLiteral("vo"), QStringLiteral("libmpv video output."), QStringLiteral("name"));
    QCommandLineOption aoOption(QStringLiteral("ao"), QStringLiteral("libmpv audio output."), QStringLiteral("name"));
    parser.addOptions({skinOption, grabOption, delayOption, playOption, pausedOption, voOption, aoOption});
    parser.addHelpOption();
    parser.process(app);

    Velmora velmora;
    SkinnedWindows windows(velmora.settings(), velmora.profiles(), velmora.volumeScale());
    PlayForm video;
    bindVideoWindow(video, windows);
    windows.loadSkin(parser.isSet(skinOption) ? parser.value(skinOption) : velmora.skinFolder());
    fillSampleRows(windows.playlistForm(), windows.skin().visibleRows);

    MainForm& main = windows.mainForm();
    const bool playing = parser.isSet(playOption);
    if (!playing) {
        main.setTransportEnabled(true);
        main.setTimeText(formatTime(257));
        main.setCurrentTimeText(formatTime(94));
        main.setKnobLeft(main.trackLeft() + (main.trackWidth() - main.knobWidth()) * 94 / 257.0);
    }
    QObject::connect(&windows, &SkinnedWindows::closeClicked, &app, &QApplication::quit);

    // Main window near the top left, the video window beside the group.
    main.move(40, 40);
    windows.placeCompanions();
    windows.applyStartOpacities();
    main.show();
    windows.volumeForm().show();
    windows.playlistForm().show();
    video.volumeItem().setChecked(true);
    video.playlistItem().setChecked(true);

    const QRect group = windows.playlistForm().geometry().united(windows.volumeForm().geometry());
    video.setRememberedPosition(QPoint(group.right() + 24, 40));
    video.show();

    MediaModule::Options mediaOptions;
    mediaOptions.engine.videoOutput = parser.value(voOption);
    mediaOptions.engine.audioOutput = parser.value(aoOption);
    MediaModule media(mediaOptions);
    DemoListener listener(media.engine(), windows, video, parser.isSet(pausedOption));
    if (playing) {
        MediaEngine& engine = media.engine();
        engine.setListener(&listener);
        windows.attachEngine(engine);
        video.attachEngine(engine);
        QObject::connect(main.element("Play"), &TransImg::mouseDown, &app, [&engine] { engine.run(); });
        QObject::connect(main.element("Pause"), &TransImg::mouseDown, &app, [&engine] { engine.pause(); });
        media.startLoading();
        engine.setDisplaySize(2, 23);
        engine.setFileName(parser.value(playOption));
    } else {
        const QSize picture(480, 270);
        auto* still = new QLabel(&video.display());
        still->setPixmap(QPixmap::fromImage(samplePicture(picture)));
        still->resize(picture);
        video.openComplete(picture);
    }

    if (parser.isSet(grabOption)) {
        const QString file = parser.value(grabOption);
        QTimer::singleShot(parser.value(delayOption).toInt(), &app, [&app, file] {
            QScreen* screen = QGuiApplication::primaryScreen();
            const bool saved = screen && screen->grabWindow(0).save(file);
            app.exit(saved ? 0 : 1);
        });
    }
    const int result = app.exec();
    media.engine().setListener(nullptr);
    return result;
}
