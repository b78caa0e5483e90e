// The bindings between the skinned windows and playback: the seek knob and
// the winding buttons, the video window's menu and the companions.
#define QTEST_QPA_MOUSE_HANDLING
#include "app/seek_controls.h"
#include "app/video_binding.h"
#include "playback/controller_fakes.h"
#include "video/play_form.h"
#include "skin/skin_fixture.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class WindowBindingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeSmallSkin(skin);
        w().loadSkin(skin.folder());
        main().move(100, 100);
        w().placeCompanions();
        main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    }
    SkinnedWindows& w() { return *h.windows; }
    MainForm& main() { return w().mainForm(); }

    test::WindowsHarness h;
    test::TempSkin skin;
    PlayForm video;
};

}  // namespace

TEST_F(WindowBindingsTest, TheSeekKnobDragsAndTheWindingButtonsWind)
{
    test::ScriptedEngine engine;
    engine.setFileName(QStringLiteral("/clips/a.mp4"));
    engine.run();
    engine.clipLength = 188;  // the travel is 188 pixels: one second per pixel
    SeekControls seek(engine, main());
    PlaybackState open;
    open.phase = open.shown = PlaybackState::Phase::Playing;
    main().showPlayback(open);
    QWindow* win = main().windowHandle();
    // The knob (12 x 12) starts at 20, 48; grab it at x 6.
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(26, 54));
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    QTest::mouseMove(win, QPoint(76, 54));
    EXPECT_DOUBLE_EQ(main().knobLeft(), 70);
    EXPECT_DOUBLE_EQ(engine.position(), 50);
    EXPECT_EQ(main().currentTime().text(), QStringLiteral("00:00:50"));
    QTest::mouseMove(win, QPoint(400, 54));  // past the right end
    EXPECT_DOUBLE_EQ(main().knobLeft(), 208);
    EXPECT_DOUBLE_EQ(engine.position(), 188);
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(400, 54));
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);

    engine.setPosition(10);
    QTest::mouseClick(win, Qt::LeftButton, {}, QPoint(110, 75));  // Forward at 108, 70
    EXPECT_DOUBLE_EQ(engine.position(), 11);
    QTest::mouseClick(win, Qt::RightButton, {}, QPoint(110, 75));  // any button winds
    EXPECT_DOUBLE_EQ(engine.position(), 13);
    EXPECT_EQ(main().currentTime().text(), QStringLiteral("00:00:13"));
    EXPECT_DOUBLE_EQ(main().knobLeft(), 33);
    QTest::mouseClick(win, Qt::LeftButton, {}, QPoint(86, 75));  // Back at 84, 70
    EXPECT_DOUBLE_EQ(engine.position(), 12);
    EXPECT_EQ(seek.winding().backStep(), 2);
    EXPECT_EQ(seek.winding().forwardStep(), 4);
}

TEST_F(WindowBindingsTest, TheVideoMenuItemsShowAndHideTheCompanions)
{
    bindVideoWindow(video, w());
    QSignalSpy toggled(&video, &PlayForm::volumeItemToggled);
    video.volumeItem().trigger();
    EXPECT_TRUE(video.volumeItem().isChecked());
    EXPECT_TRUE(w().volumeForm().isVisible());
    video.volumeItem().trigger();
    EXPECT_FALSE(w().volumeForm().isVisible());
    video.playlistItem().trigger();
    EXPECT_TRUE(w().playlistForm().isVisible());
    EXPECT_EQ(toggled.count(), 2);
    // A check mark set by start-up shows nothing by itself.
    video.volumeItem().setChecked(true);
    EXPECT_FALSE(w().volumeForm().isVisible());
}
