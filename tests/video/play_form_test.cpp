// The video window's places: parked, shown at the remembered place with the
// picture's size, dropped below the screen; its menu.

#include "video/play_form.h"

#include "playback/controller_fakes.h"
#include "skin_fixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class PlayFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        video.setRememberedPosition({120, 80});
        video.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&video));
    }
    PlayForm video;
};

}  // namespace

TEST_F(PlayFormTest, StartsParkedAndCaptioned)
{
    EXPECT_EQ(video.windowTitle(), QStringLiteral("Velmora 4"));
    EXPECT_EQ(video.pos(), QPoint(kParkedLeft, kParkedTop));
    EXPECT_EQ(video.width(), kParkedWidth);
    EXPECT_EQ(video.place(), VideoPlace::Parked);
    EXPECT_NE(video.displayWindowId(), 0u);
}

TEST_F(PlayFormTest, APictureShowsTheWindowAtItsPlaceSizedToThePicture)
{
    video.openComplete({320, 240});
    EXPECT_EQ(video.pos(), QPoint(120, 80));
    EXPECT_EQ(video.size(), QSize(320, 240));  // the client area is the picture
    EXPECT_EQ(video.display().geometry(), QRect(0, 0, 320, 240));
    EXPECT_TRUE(video.isShownPlace());
}

// Parked is the window's state, not only its place: a window manager that
// keeps windows on the screen must not leave a small black window behind.
TEST_F(PlayFormTest, AParkedWindowIsOffTheScreenWhereverTheWindowManagerPutsIt)
{
    video.park();
    EXPECT_FALSE(video.isVisible()) << "parked at start-up, unmapped";
    video.openComplete({320, 240});
    EXPECT_TRUE(video.isVisible());
    video.move(300, 150);  // moved by hand during the video
    EXPECT_EQ(video.placeToStore(), QPoint(300, 150)) << "Close stores where the window is";
    video.openComplete(kNoPictureDisplay);
    EXPECT_FALSE(video.isVisible());
    video.move(0, 0);  // a window manager clamping the parked window
    EXPECT_EQ(video.place(), VideoPlace::Parked);
    EXPECT_EQ(video.placeToStore(), QPoint(300, 150));
}

TEST_F(PlayFormTest, AnAudioClipParksAndRemembersWhereTheVideoWas)
{
    video.openComplete({320, 240});
    video.move(300, 150);  // moved by hand
    video.openComplete(kNoPictureDisplay);
    EXPECT_EQ(video.place(), VideoPlace::Parked);
    EXPECT_EQ(video.pos(), QPoint(-333, 0));
    EXPECT_EQ(video.width(), 7);
    EXPECT_EQ(video.rememberedPosition(), QPoint(300, 150));
    // Parking again while parked changes nothing.
    video.park();
    EXPECT_EQ(video.rememberedPosition(), QPoint(300, 150));
    video.openComplete({640, 360});
    EXPECT_EQ(video.pos(), QPoint(300, 150));
    EXPECT_EQ(video.size(), QSize(640, 360));
}

TEST_F(PlayFormTest, MinimisingDropsAShownWindowBelowTheScreen)
{
    video.openComplete({320, 240});
    const int below = video.belowScreenTop();
    EXPECT_EQ(below, QGuiApplication::primaryScreen()->virtualGeometry().bottom() + 1);
    video.dropBelowScreen();
    EXPECT_EQ(video.pos(), QPoint(120, below));
    EXPECT_EQ(video.place(), VideoPlace::Dropped);
    video.returnFromBelowScreen();
    EXPECT_EQ(video.pos(), QPoint(120, 80));
}

TEST_F(PlayFormTest, AParkedWindowIsNotDropped)
{
    video.dropBelowScreen();
    EXPECT_EQ(video.pos(), QPoint(kParkedLeft, kParkedTop));
    video.returnFromBelowScreen();
    EXPECT_EQ(video.pos(), QPoint(kParkedLeft, kParkedTop));
}

TEST_F(PlayFormTest, AStoredPlaceOffEveryScreenIsBroughtBack)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    video.setRememberedPosition({screen.right() + 4000, 60});
    EXPECT_LE(video.rememberedPosition().x(), screen.right());
    EXPECT_EQ(video.rememberedPosition().y(), 60);
    video.setRememberedPosition({-20, 60});  // partly on the screen: kept
    EXPECT_EQ(video.rememberedPosition(), QPoint(-20, 60));
}

TEST_F(PlayFormTest, FullScreenReturnsToPlaceAndSize)
{
    video.openComplete({320, 240});
    video.setFullScreen(true);
    EXPECT_TRUE(video.isFullScreen());
    video.setFullScreen(false);
    EXPECT_FALSE(video.isFullScreen());
    EXPECT_EQ(video.pos(), QPoint(120, 80));
    EXPECT_EQ(video.size(), QSize(320, 240));
}

TEST_F(PlayFormTest, TheMenuHasItsThreeItems)
{
    const QList<QAction*> items = video.menuPopup().actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Громкость/Баланс..."));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Список воспроизведения..."));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Опции..."));
    EXPECT_TRUE(items[0]->isCheckable());
    EXPECT_TRUE(items[1]->isCheckable());
    EXPECT_TRUE(items[2]->isEnabled());
    EXPECT_TRUE(items[2]->isVisible());
}

TEST_F(PlayFormTest, TheEngineGetsTheDisplayWindow)
{
    struct Recorder : test::ScriptedEngine {
        std::uintptr_t id = 0;
        void setVideoWindow(std::uintptr_t w) override { id = w; }
    } engine;
    video.attachEngine(engine);
    EXPECT_EQ(engine.id, video.displayWindowId());
    EXPECT_NE(engine.id, video.winId());  // the child, not the frame
}
