// The video window with the real engine drawing into it, on a real X display.

#include "media/media_clips.h"
#include "media/mpv_engine.h"
#include "support/test_support.h"
#include "video/play_form.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct Listener : MediaEngineListener {
    int opens = 0;
    int changes = 0;
    void engineOpenComplete() override { ++opens; }
    void engineMovedOn() override {}
    void enginePositionChange(double, double) override { ++changes; }
    void engineTick() override {}
    void engineKeyPressed(int, int) override {}
};

// Keeping the window on top must not take the engine's window away: libmpv
// would end the clip and its core (and crash drawing into the lost window).
TEST(PlayFormEngineTest, OnTopAndBackKeepsThePicturePlaying)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    QTemporaryDir folder;
    test::MediaClips clips;
    ASSERT_TRUE(test::makeMediaClips(folder.path(), &clips));

    PlayForm video;
    video.setRememberedPosition({100, 100});
    video.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&video));
    MpvEngineOptions options;
    options.audioOutput = QStringLiteral("null");
    MpvEngine engine(options);
    Listener listener;
    engine.setListener(&listener);
    video.attachEngine(engine);
    engine.setFileName(clips.videoMp4);
    ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
    video.openComplete(QSize(engine.displayWidth(), engine.displayHeight()));
    engine.run();
    ASSERT_TRUE(test::waitFor([&] { return engine.position() > 0.1; }));

    const QRect place = video.geometry();
    video.setStaysOnTop(true);
    test::settle(std::chrono::milliseconds(300));
    EXPECT_TRUE(video.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    video.setStaysOnTop(false);
    test::settle(std::chrono::milliseconds(300));
    EXPECT_EQ(engine.fileName(), clips.videoMp4) << "the clip still plays";
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_EQ(listener.changes, 0) << "it did not end early";
    EXPECT_EQ(video.geometry(), place);
}

}  // namespace
