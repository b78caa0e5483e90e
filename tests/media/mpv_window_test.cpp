// MpvEngine drawing into a native child window on a real X display (Xvfb).

#include "media/media_clips.h"
#include "media/mpv_engine.h"
#include "support/test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct OpenCounter : MediaEngineListener {
    int opens = 0;
    void engineOpenComplete() override { ++opens; }
    void engineMovedOn() override {}
    void enginePositionChange(double, double) override {}
    void engineTick() override {}
    void engineKeyPressed(int, int) override {}
};

TEST(MpvWindowTest, PictureIsDrawnIntoTheHostWindow)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    QTemporaryDir folder;
    test::MediaClips clips;
    ASSERT_TRUE(test::makeMediaClips(folder.path(), &clips));

    QWidget host;
    host.setAttribute(Qt::WA_NativeWindow);
    host.setStyleSheet(QStringLiteral("background: black"));
    host.resize(320, 240);
    host.show();
    ASSERT_TRUE(test::waitFor([&] { return host.isVisible() && host.windowHandle() && host.windowHandle()->isExposed(); }));

    MpvEngineOptions options;
    options.audioOutput = QStringLiteral("null");
    MpvEngine engine(options);
    OpenCounter listener;
    engine.setListener(&listener);
    engine.setVideoWindow(host.winId());
    engine.setFileName(clips.videoMp4);
    ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
    ASSERT_EQ(engine.fileName(), clips.videoMp4);
    EXPECT_EQ(engine.displayWidth(), 320);
    EXPECT_EQ(engine.displayHeight(), 240);
    engine.setPosition(0.5);
    engine.run();

    // The test picture's colour bars show up in the host window.
    int colours = 0;
    test::waitFor([&] {
        const QImage shot = host.screen()->grabWindow(host.winId()).toImage();
        QSet<QRgb> seen;
        for (int x = 5; x < shot.width(); x += 20)
            seen.insert(shot.pixel(x, shot.height() / 4) & 0xF0F0F0);
        colours = int(seen.size());
        return colours >= 5;
    }, std::chrono::seconds(5));
    EXPECT_GE(colours, 5);
}

}  // namespace
}  // namespace velmora
