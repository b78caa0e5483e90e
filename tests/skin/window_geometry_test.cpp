// Group move, outlines, opacity and screen placement as pure functions.

#include "skin/knob_track.h"
#include "skin/window_geometry.h"
#include "skin/window_platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace velmora;

TEST(GroupMove, MainMovesByThePointerDistanceAndTheCompanionsFollow)
{
    const GroupOffsets offsets{{406, 0}, {0, 130}};
    // Pressed at (10, 5), moved to (13, 9): 3 right, 4 down.
    const GroupPlaces p = moveGroup({100, 200}, {10, 5}, {13, 9}, offsets);
    EXPECT_EQ(p.main, QPoint(103, 204));
    EXPECT_EQ(p.volume, QPoint(509, 204));
    EXPECT_EQ(p.playlist, QPoint(103, 334));
}

TEST(GroupMove, StartUpCallOnlyPlacesTheCompanions)
{
    const GroupPlaces p = moveGroup({50, 60}, {}, {}, {{-20, 5}, {0, -140}});
    EXPECT_EQ(p.main, QPoint(50, 60));
    EXPECT_EQ(p.volume, QPoint(30, 65));
    EXPECT_EQ(p.playlist, QPoint(50, -80));
}

TEST(GroupMove, DraggingACompanionKeepsItUnderThePointer)
{
    const GroupOffsets offsets{{406, 0}, {0, 130}};
    QPoint main{100, 100};
    QPoint playlist = main + offsets.playlist;
    const QPoint grab{20, 10};              // pressed on the playlist window
    const QPoint globalGrab = playlist + grab;
    for (QPoint global : {QPoint(340, 260), QPoint(350, 255), QPoint(300, 300)}) {
        const GroupPlaces p = moveGroup(main, grab, global - playlist, offsets);
        main = p.main;
        playlist = p.playlist;
        EXPECT_EQ(playlist + grab, global);  // the grab point stays under the pointer
        EXPECT_EQ(p.playlist - p.main, offsets.playlist);
    }
    EXPECT_EQ(main - QPoint(100, 100), QPoint(300, 300) - globalGrab);
}

TEST(WindowOutline, RadiusZeroIsTheRectangle)
{
    EXPECT_EQ(roundedWindowRegion(300, 100, 0), QRegion(0, 0, 300, 100));
    EXPECT_EQ(roundedWindowRegion(300, 100, 1), QRegion(0, 0, 300, 100));
    EXPECT_TRUE(roundedWindowRegion(0, 100, 20).isEmpty());
}

TEST(WindowOutline, CornersAreCutAndEdgesKept)
{
    const QRegion r = roundedWindowRegion(300, 100, 40);
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, 300, 100));
    EXPECT_GT(r.rectCount(), 1);
    for (QPoint corner : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 99), QPoint(299, 99), QPoint(3, 3)})
        EXPECT_FALSE(r.contains(corner)) << corner.x() << "," << corner.y();
    for (QPoint inside : {QPoint(150, 0), QPoint(0, 50), QPoint(299, 50), QPoint(150, 99), QPoint(20, 20),
                          QPoint(8, 8)})
        EXPECT_TRUE(r.contains(inside)) << inside.x() << "," << inside.y();
    // Symmetric in both directions.
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(r.contains(QPoint(x, y)), r.contains(QPoint(299 - x, 99 - y))) << x << "," << y;
    }
}

TEST(WindowOutline, RadiusLargerThanTheWindowStaysInside)
{
    const QRegion r = roundedWindowRegion(40, 20, 500);
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, 40, 20));
    EXPECT_TRUE(r.contains(QPoint(20, 10)));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
}

TEST(WindowOutline, EveryRowIsTheEllipsesChordWhateverTheSize)
{
    // The outline by its definition, one row at a time.
    const auto byRows = [](int width, int height, int radius) {
        const double rx = std::min(radius, width) / 2.0;
        const double ry = std::min(radius, height) / 2.0;
        QRegion region(0, 0, width, height);
        for (int row = 0; row < height; ++row) {
            const double fromEdge = std::min(row, height - 1 - row) + 0.5;
            if (fromEdge >= ry)
                continue;
            const double dy = ry - fromEdge;
            const double t = 1.0 - (dy * dy) / (ry * ry);
            const int inset = static_cast<int>(std::lround(rx - (t <= 0 ? 0 : rx * std::sqrt(t))));
            region -= QRegion(0, row, inset, 1);
            region -= QRegion(width - inset, row, inset, 1);
        }
        return region;
    };
    for (const auto& [w, h, r] : {std::tuple{400, 124, 24}, {13, 5, 10}, {7, 7, 7}, {30, 9, 9}, {50, 40, 1000}})
        EXPECT_TRUE((roundedWindowRegion(w, h, r) ^ byRows(w, h, r)).isEmpty()) << w << "x" << h << " radius " << r;
    // A skin's absurd radius on the largest window is still built at once.
    EXPECT_FALSE(roundedWindowRegion(32767, 32767, 2'000'000'000).isEmpty());
}

TEST(Opacity, AlphaRoundsHalvesToEven)
{
    EXPECT_EQ(alphaForPercent(100), 255);
    EXPECT_EQ(alphaForPercent(0), 0);
    EXPECT_EQ(alphaForPercent(75), 191);
    EXPECT_EQ(alphaForPercent(70), 178);  // 178.5
    EXPECT_EQ(alphaForPercent(50), 128);  // 127.5
    EXPECT_EQ(alphaForPercent(30), 76);   // 76.5
    EXPECT_EQ(alphaForPercent(10), 26);   // 25.5
    EXPECT_EQ(alphaForPercent(-5), 0);
    EXPECT_EQ(alphaForPercent(250), 255);
}

TEST(Opacity, StartValuesAreClampedAndNeverInvisible)
{
    EXPECT_EQ(startOpacity(0), 10);
    EXPECT_EQ(startOpacity(9), 10);
    EXPECT_EQ(startOpacity(-40), 10);
    EXPECT_EQ(startOpacity(10), 10);
    EXPECT_EQ(startOpacity(75), 75);
    EXPECT_EQ(startOpacity(180), 100);
}

TEST(ScreenPlacement, AWindowOnAScreenStaysWhereItIs)
{
    const QList<QRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(placeOnScreens({100, 100, 400, 124}, screens), QPoint(100, 100));
    EXPECT_EQ(placeOnScreens({1800, 900, 400, 124}, screens), QPoint(1800, 900));  // partly visible
    EXPECT_EQ(placeOnScreens({-390, 10, 400, 124}, screens), QPoint(-390, 10));    // 10 px still on
}

TEST(ScreenPlacement, AWindowOffEveryScreenGoesOntoTheNearest)
{
    const QList<QRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    // A removed third monitor to the right.
    EXPECT_EQ(placeOnScreens({3400, 200, 400, 124}, screens), QPoint(2800, 200));
    // Below everything, nearest the first screen.
    EXPECT_EQ(placeOnScreens({300, 2000, 400, 124}, screens), QPoint(300, 956));
    // Far up and left.
    EXPECT_EQ(placeOnScreens({-5000, -5000, 400, 124}, screens), QPoint(0, 0));
    // Larger than the screen: its top-left corner at the screen's.
    EXPECT_EQ(placeOnScreens({5000, 10, 3000, 124}, {{0, 0, 1920, 1080}}), QPoint(0, 10));
    EXPECT_EQ(placeOnScreens({5000, 10, 400, 124}, {}), QPoint(5000, 10));
}

TEST(WindowPlatform, X11IsChosenOnlyWhenThereIsADisplayAndNoChoice)
{
    const QByteArray display = qgetenv("DISPLAY"), platform = qgetenv("QT_QPA_PLATFORM");
    const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY"), hadPlatform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");

    qputenv("DISPLAY", ":7");
    qunsetenv("QT_QPA_PLATFORM");
    EXPECT_TRUE(chooseWindowPlatform());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb");

    qputenv("QT_QPA_PLATFORM", "wayland");  // the user's own choice stands
    EXPECT_FALSE(chooseWindowPlatform());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "wayland");

    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("DISPLAY");  // no X server to run on
    EXPECT_FALSE(chooseWindowPlatform());
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));

    hadDisplay ? qputenv("DISPLAY", display) : qunsetenv("DISPLAY");
    hadPlatform ? qputenv("QT_QPA_PLATFORM", platform) : qunsetenv("QT_QPA_PLATFORM");
}

TEST(KnobTrack, KnobPlacesAndPercentages)
{
    // A track 100 pixels wider than its knob: one percent per pixel.
    EXPECT_EQ(percentFromKnob(20, 20, 110, 10), 0);
    EXPECT_EQ(percentFromKnob(57, 20, 110, 10), 37);
    EXPECT_EQ(percentFromKnob(120, 20, 110, 10), 100);
    // 50 pixels wider: two percent per pixel.
    EXPECT_EQ(percentFromKnob(21, 20, 60, 10), 2);
    // Knob as wide as its track: no travel, no division by zero.
    EXPECT_EQ(percentFromKnob(20, 20, 10, 10), 0);
    EXPECT_FLOAT_EQ(knobForPercent(50, 20, 100, 10), 65.0f);
    EXPECT_FLOAT_EQ(knobForPercent(0, 20, 100, 10), 20.0f);
    EXPECT_FLOAT_EQ(knobForPercent(100, 20, 100, 10), 110.0f);
}
