// The video window with the real engine drawing into it, on a real X display.

#include "media/media_clips.h"
#include "media/mpv_engine.h"
#include "support/test_support.h"
#include "video/play_form.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

// Keeping the window on top must not take the engine's window away, not even
// when the window is parked and shown again (Qt makes a window anew at its
// next show once its own on-top flag has changed): libmpv would end the
// clip and its core, and crash drawing into the lost window.
TEST(PlayFormEngineTest, OnTopThroughParkingKeepsThePicturePlaying)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    QTemporaryDir folder;
    test::MediaClips clips;
    ASSERT_TRUE(test::makeMediaClips(folder.path(), &clips));

    PlayForm video;
    std::vector<std::pair<bool, bool>> asked;  // (above, mapped)
    video.setAboveHandler([&](bool above, bool mapped) { asked.emplace_back(above, mapped); });
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
    const QSize picture(engine.displayWidth(), engine.displayHeight());
    video.openComplete(picture);
    engine.run();
    ASSERT_TRUE(test::waitFor([&] { return engine.position() > 0.1; }));

    asked.clear();
    video.setStaysOnTop(true);
    video.park();
    video.openComplete(picture);  // the next clip with a picture
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&video));
    test::settle(std::chrono::milliseconds(300));
    EXPECT_EQ(engine.fileName(), clips.videoMp4) << "the clip still plays";
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_EQ(listener.changes, 0) << "it did not end early";
    const std::vector<std::pair<bool, bool>> expected = {{true, true}, {true, false}};
    EXPECT_EQ(asked, expected) << "asked at once, and again as the window comes back";
}

}  // namespace
