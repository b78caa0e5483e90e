// The three windows as a group: dragging, minimising, opacity, start-up
// places, and the closing fade.
#define QTEST_QPA_MOUSE_HANDLING
#include "skin_fixture.h"

#include "playback/controller_fakes.h"
#include "skin/video_window_place.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class RecordingVideo : public VideoWindowPlace {
public:
    int drops = 0, returns = 0;
    void dropBelowScreen() override { ++drops; }
    void returnFromBelowScreen() override { ++returns; }
};

class SkinnedWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeSmallSkin(skin);
        w().loadSkin(skin.folder());
        main().move(100, 100);
        w().placeCompanions();
        main().show();
        volume().show();
        playlist().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&playlist()));
    }
    SkinnedWindows& w() { return *h.windows; }
    MainForm& main() { return w().mainForm(); }
    VolumeForm& volume() { return w().volumeForm(); }
    PlaylistForm& playlist() { return w().playlistForm(); }
    void expectTogether()
    {
        EXPECT_EQ(volume().pos() - main().pos(), QPoint(306, 0));
        EXPECT_EQ(playlist().pos() - main().pos(), QPoint(0, 106));
    }

    test::WindowsHarness h;
    test::TempSkin skin;
};

}  // namespace

TEST_F(SkinnedWindowsTest, DraggingTheMainBackgroundMovesAllThree)
{
    QWindow* win = main().windowHandle();
    // (10, 5) is background: no element lies there.
    ASSERT_EQ(main().childAt(10, 5), nullptr);
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(win, QPoint(13, 9));
    EXPECT_EQ(main().pos(), QPoint(103, 104));
    expectTogether();
    // Coordinates are the window's own: the pointer is back over the grab
    // point, and 13, 4 beyond it moves the window by that much again.
    QTest::mouseMove(win, QPoint(23, 9));
    EXPECT_EQ(main().pos(), QPoint(116, 108));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(main().pos(), QPoint(116, 108));
    expectTogether();
}

TEST_F(SkinnedWindowsTest, DraggingThePlaylistMovesTheMainWindowToo)
{
    QWindow* win = playlist().windowHandle();
    ASSERT_EQ(playlist().childAt(150, 5), nullptr);
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(150, 5));
    QTest::mouseMove(win, QPoint(140, 25));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(150, 5));  // still over the grab point
    EXPECT_EQ(main().pos(), QPoint(90, 120));
    expectTogether();
}

TEST_F(SkinnedWindowsTest, OtherButtonsAndElementsDoNotDrag)
{
    QWindow* win = main().windowHandle();
    QTest::mousePress(win, Qt::RightButton, {}, QPoint(10, 5));
    QTest::mouseMove(win, QPoint(40, 40));
    QTest::mouseRelease(win, Qt::RightButton, {}, QPoint(40, 40));
    EXPECT_EQ(main().pos(), QPoint(100, 100));
    // A press on the Close element (270, 4) is the element's.
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(275, 8));
    QTest::mouseMove(win, QPoint(250, 30));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(250, 30));
    EXPECT_EQ(main().pos(), QPoint(100, 100));
    // And one on a time label.
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(12, 24));
    QTest::mouseMove(win, QPoint(40, 40));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(main().pos(), QPoint(100, 100));
}

TEST_F(SkinnedWindowsTest, AFinishedDragIsNotResumedByAPressOnATimeLabel)
{
    QWindow* win = main().windowHandle();
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(150, 60));  // background
    QTest::mouseMove(win, QPoint(160, 70));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(160, 70));
    const QPoint after = main().pos();
    EXPECT_NE(after, QPoint(100, 100)) << "the background drag moved the windows";
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(12, 24));  // the current time
    QTest::mouseMove(win, QPoint(60, 60));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(main().pos(), after);
    expectTogether();
}

TEST_F(SkinnedWindowsTest, MinimisedByTheWindowManagerTheCompanionsComeBackToo)
{
    volume().hide();
    main().setWindowState(Qt::WindowMinimized);  // not through Minimize
    EXPECT_FALSE(playlist().isVisible());
    main().setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(playlist().isVisible());
    EXPECT_FALSE(volume().isVisible());
}

TEST_F(SkinnedWindowsTest, MinimiseHidesTheCompanionsAndRestoreShowsThoseThatWereShown)
{
    RecordingVideo video;
    QWidget options;
    w().setVideoWindow(&video);
    w().setOptionsWindow(&options);
    volume().hide();
    QTest::mouseClick(main().windowHandle(), Qt::LeftButton, {}, QPoint(250, 8));  // Minimize
    EXPECT_TRUE(main().windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(w().savedVisibility().playlist);
    EXPECT_FALSE(w().savedVisibility().volume);
    EXPECT_FALSE(w().savedVisibility().options);
    EXPECT_FALSE(playlist().isVisible());
    EXPECT_EQ(video.drops, 1);

    main().setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(playlist().isVisible());
    EXPECT_FALSE(volume().isVisible());
    EXPECT_FALSE(options.isVisible());
    EXPECT_EQ(video.returns, 1);
}

TEST_F(SkinnedWindowsTest, MinimiseRecordsTheOptionalWindowsToo)
{
    QWidget add, options;
    add.show();
    w().setAddFilesWindow(&add);
    w().setOptionsWindow(&options);
    w().minimise();
    EXPECT_TRUE(w().savedVisibility().add);
    EXPECT_FALSE(add.isVisible());
    main().setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(add.isVisible());
    EXPECT_FALSE(options.isVisible());
}

TEST_F(SkinnedWindowsTest, ActivatingTheMainWindowBringsTheCompanionsForward)
{
    volume().hide();
    main().activateWindow();
    // The playlist window, when shown, ends up active; the hidden volume
    // window is skipped.
    EXPECT_TRUE(test::waitFor([&] { return QApplication::activeWindow() == &playlist(); }, std::chrono::seconds(5)));
    EXPECT_FALSE(volume().isVisible());
    playlist().hide();
    main().activateWindow();
    EXPECT_TRUE(test::waitFor([&] { return QApplication::activeWindow() == &main(); }, std::chrono::seconds(5)));
}

TEST_F(SkinnedWindowsTest, OpacityIsTheRoundedAlpha)
{
    w().setOpacity(SkinWindow::Main, 70);
    EXPECT_NEAR(main().windowOpacity(), 178 / 255.0, 1e-3);
    w().setOpacity(SkinWindow::Volume, 120);
    EXPECT_EQ(w().opacity(SkinWindow::Volume), 100);
    h.settings.setWhole(keys::MainTransparanted, 0);
    h.settings.setWhole(keys::VolumeTransparanted, 300);
    w().applyStartOpacities();
    EXPECT_EQ(w().opacity(SkinWindow::Main), 10);
    EXPECT_EQ(w().opacity(SkinWindow::Volume), 100);
    EXPECT_EQ(w().opacity(SkinWindow::Playlist), 75);  // the default
    EXPECT_NEAR(playlist().windowOpacity(), 191 / 255.0, 1e-3);
}

// The options dialog's skin change: a skin that cannot give the windows a
// face is refused whole; one that can moves the companions to its offsets.
TEST_F(SkinnedWindowsTest, ASkinThatCannotDressTheWindowsIsRefusedAndTheOldOneStays)
{
    test::TempSkin none, pictureless, wide;
    test::writeSmallSkin(pictureless);
    QFile::remove(pictureless.folder() + QStringLiteral("playlist.bmp"));
    test::writeSmallSkin(wide);
    QFile ini(wide.folder() + QStringLiteral("skin.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    wide.ini(ini.readAll().replace("Name=Small", "Name=Wide").replace("Volumex=306", "Volumex=320"));

    const QSize size = main().size();
    EXPECT_FALSE(w().changeSkin(none.folder())) << "no skin.ini";
    EXPECT_FALSE(w().changeSkin(pictureless.folder())) << "a window picture that does not load";
    EXPECT_EQ(w().skin().skinName, QStringLiteral("Small"));
    EXPECT_EQ(main().size(), size);
    EXPECT_FALSE(playlist().background().isNull());
    expectTogether();

    EXPECT_TRUE(w().changeSkin(wide.folder()));
    EXPECT_EQ(w().skin().skinName, QStringLiteral("Wide"));
    EXPECT_EQ(volume().pos() - main().pos(), QPoint(320, 0));
}

TEST_F(SkinnedWindowsTest, StartPlacesComeFromTheSettingsAndStayOnScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Nothing stored: centred.
    w().placeFromSettings();
    EXPECT_EQ(main().pos(), QPoint(screen.x() + (screen.width() - 300) / 2, screen.y() + (screen.height() - 100) / 2));
    expectTogether();
    h.settings.setFraction(keys::Left, 40.5);
    h.settings.setFraction(keys::Top, 30);
    w().placeFromSettings();
    EXPECT_EQ(main().pos(), QPoint(40, 30));
    // Off every screen (a monitor that is gone): brought onto the screen,
    // the stored values untouched.
    h.settings.setFraction(keys::Left, screen.right() + 5000);
    w().placeFromSettings();
    EXPECT_EQ(main().pos(), QPoint(screen.right() + 1 - 300, 30));
    EXPECT_DOUBLE_EQ(h.settings.fraction(keys::Left), screen.right() + 5000);
    expectTogether();
}

TEST_F(SkinnedWindowsTest, ClosingFadeLowersOpacitiesAndSoundThenFinishes)
{
    std::vector<int> volumes;
    bool finished = false;
    w().startClosingFade({75, 50, 20, 10}, [&](int v) { volumes.push_back(v); }, [&] { finished = true; });
    EXPECT_FALSE(main().isEnabled());
    EXPECT_FALSE(playlist().isEnabled());
    ASSERT_TRUE(test::waitFor([&] { return finished; }, std::chrono::seconds(5)));
    EXPECT_EQ(w().opacity(SkinWindow::Main), 0);
    EXPECT_EQ(w().opacity(SkinWindow::Playlist), 0);
    ASSERT_EQ(volumes.size(), 15u);
    EXPECT_EQ(volumes[0], 5);
    EXPECT_EQ(volumes[1], 0);
    EXPECT_EQ(volumes.back(), 0);
    EXPECT_EQ(w().fade().ticks(), 16);
}

