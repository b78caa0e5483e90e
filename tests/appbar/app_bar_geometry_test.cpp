// The application bar's geometry: the edge rule for a dragged bar, the
// docked and auto-hide rectangles, the sizing snap and the end of a move.

#include "appbar/app_bar_geometry.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

const Box kScreen{0, 0, 1024, 768};

EdgeRule rule(int allowed, BarEdge current = BarEdge::Floating, bool control = false)
{
    EdgeRule r;
    r.screen = kScreen;
    r.workArea = Box{0, 0, 1024, 740};  // a panel of 28 pixels at the bottom
    r.scrollBar = QSize(17, 17);
    r.allowedEdges = allowed;
    r.controlHeld = control;
    r.current = current;
    return r;
}

TEST(AppBarEdgeRule, FloatsInsideTheShrunkWorkAreaAndDocksByTheCentreRuleOutsideIt)
{
    const EdgeRule all = rule(edge_bits::All);
    EXPECT_EQ(edgeForPoint({17, 17}, all), BarEdge::Floating) << "the shrunk area's corner is inside";
    EXPECT_EQ(edgeForPoint({1007, 723}, all), BarEdge::Floating);
    EXPECT_EQ(edgeForPoint({512, 16}, all), BarEdge::Top) << "near the middle of the top edge";
    EXPECT_EQ(edgeForPoint({512, 760}, all), BarEdge::Bottom);
    EXPECT_EQ(edgeForPoint({3, 384}, all), BarEdge::Left);
    EXPECT_EQ(edgeForPoint({1020, 300}, all), BarEdge::Right);
    // The aspect weighs the distances: near a corner the longer side wins
    // only when it is relatively nearer.
    EXPECT_EQ(edgeForPoint({5, 40}, all), BarEdge::Left) << "768*507 >= 1024*344: left";
    EXPECT_EQ(edgeForPoint({40, 2}, all), BarEdge::Top) << "768*472 < 1024*382: top";

    const EdgeRule control = rule(edge_bits::All, BarEdge::Top, true);
    EXPECT_EQ(edgeForPoint({512, 0}, control), BarEdge::Floating) << "Control keeps the bar floating";
}

TEST(AppBarEdgeRule, TiesAndDisallowedEdges)
{
    EdgeRule docksOnly = rule(edge_bits::Left | edge_bits::Right | edge_bits::Top | edge_bits::Bottom);
    EXPECT_EQ(edgeForPoint({512, 384}, docksOnly), BarEdge::Right) << "dx = 0, dy = 0 goes right";
    EXPECT_EQ(edgeForPoint({512, 500}, docksOnly), BarEdge::Bottom) << "dx = 0 below the centre";
    EXPECT_EQ(edgeForPoint({0, 0}, docksOnly), BarEdge::Left) << "an exact diagonal ties to left or right";

    const EdgeRule topOnly = rule(edge_bits::Top, BarEdge::Top);
    EXPECT_EQ(edgeForPoint({0, 384}, topOnly), BarEdge::Top) << "a drag toward the left leaves the bar at the top";
    EXPECT_EQ(edgeForPoint({512, 767}, topOnly), BarEdge::Top);
    EXPECT_EQ(edgeForPoint({512, 300}, topOnly), BarEdge::Top) << "no floating: the work area does not count";
    const EdgeRule topOrFloat = rule(edge_bits::Top | edge_bits::Floating, BarEdge::Top);
    EXPECT_EQ(edgeForPoint({0, 384}, topOrFloat), BarEdge::Floating);
    EXPECT_EQ(edgeForPoint({500, 300}, rule(edge_bits::Floating, BarEdge::Top)), BarEdge::Floating);
}

TEST(AppBarEdgeRule, UsesTheGivenScreenWithFullCoordinates)
{
    // A primary screen right of a wide one: positions beyond 32767.
    EdgeRule r = rule(edge_bits::All);
    r.screen = Box{40000, 0, 41920, 1080};
    r.workArea = r.screen;
    EXPECT_EQ(edgeForPoint({40960, 3}, r), BarEdge::Top);
    EXPECT_EQ(edgeForPoint({41915, 540}, r), BarEdge::Right);
    EXPECT_EQ(edgeForPoint({40002, 540}, r), BarEdge::Left);
    EXPECT_EQ(edgeForPoint({40960, 540}, r), BarEdge::Floating);
}

TEST(AppBarRects, DockAndAutoHidePlaces)
{
    EXPECT_EQ(dockRectFrom(kScreen, BarEdge::Top, 32, 40), (Box{0, 0, 1024, 40}));
    EXPECT_EQ(dockRectFrom(kScreen, BarEdge::Left, 32, 40), (Box{0, 0, 32, 768}));
    EXPECT_EQ(dockRectFrom(kScreen, BarEdge::Right, 32, 40), (Box{992, 0, 1024, 768}));
    EXPECT_EQ(dockRectFrom(kScreen, BarEdge::Bottom, 32, 40), (Box{0, 728, 1024, 768}));
    EXPECT_EQ(dockRectFrom(Box{0, 24, 1024, 768}, BarEdge::Top, 32, 32), (Box{0, 24, 1024, 56}))
        << "below the space another bar holds";
    EXPECT_EQ(dockRectFrom(kScreen, BarEdge::Floating, 32, 32), kScreen);

    const Box top{0, 0, 1024, 32};
    EXPECT_EQ(autoHideRectFor(false, top, BarEdge::Top, kScreen, QSize(1, 1)), (Box{0, -30, 1024, 2}))
        << "y = c - 32 with a c-pixel strip on the screen";
    EXPECT_EQ(autoHideRectFor(true, Box{0, -30, 1024, 2}, BarEdge::Top, kScreen, QSize(1, 1)), top);
    EXPECT_EQ(autoHideRectFor(false, top, BarEdge::Top, kScreen, QSize(0, 0)), (Box{0, -30, 1024, 2}))
        << "no border still leaves 2 pixels";
    EXPECT_EQ(autoHideRectFor(false, top, BarEdge::Top, kScreen, QSize(3, 3)), (Box{0, -26, 1024, 6}));
    const Box left{0, 0, 40, 768};
    EXPECT_EQ(autoHideRectFor(false, left, BarEdge::Left, kScreen, QSize(1, 1)), (Box{-38, 0, 2, 768}));
    EXPECT_EQ(autoHideRectFor(false, left, BarEdge::Right, kScreen, QSize(1, 1)), (Box{1022, 0, 1062, 768}));
    EXPECT_EQ(autoHideRectFor(false, top, BarEdge::Bottom, kScreen, QSize(1, 1)), (Box{0, 766, 1024, 798}));
    EXPECT_EQ(autoHideRectFor(true, top, BarEdge::Bottom, kScreen, QSize(1, 1)), (Box{0, 736, 1024, 768}));
    EXPECT_FALSE(autoHideRectFor(true, top, BarEdge::Floating, kScreen, QSize(1, 1)));
    EXPECT_EQ(autoHideRectFor(false, Box{1920, 0, 3200, 32}, BarEdge::Top, Box{1920, 100, 3200, 1124}, QSize(1, 1)),
              (Box{1920, 70, 3200, 102}))
        << "a screen that does not start at 0, 0";
}

TEST(AppBarRects, SlideFramesAreLinearAndTruncated)
{
    const Box from{0, -30, 1024, 2}, to{0, 0, 1024, 32};
    EXPECT_EQ(slideFrame(from, to, 0, 400), from);
    EXPECT_EQ(slideFrame(from, to, 200, 400), (Box{0, -15, 1024, 17}));
    EXPECT_EQ(slideFrame(from, to, 399, 400), (Box{0, -1, 1024, 31})) << "-30 + 30 * 399 / 400 truncates to -1";
    EXPECT_EQ(slideFrame(from, to, 400, 400), to);
    EXPECT_EQ(slideFrame(Box{0, 0, 100, 100}, Box{10, 0, 50, 100}, 100, 400), (Box{2, 0, 87, 100}))
        << "left and width move, not right";
}

TEST(AppBarSizing, SnapLimitsAndSizingBorders)
{
    // width 100 over a minimum of 10 in steps of 8: k = (90 + 4) / 8 = 11 -> 98
    EXPECT_EQ(snapSize(Box{0, 0, 100, 50}, side::Right | side::Bottom, QSize(10, 0), 8, 0), (Box{0, 0, 98, 50}))
        << "a zero step keeps the dragged height";
    EXPECT_EQ(snapSize(Box{0, 0, 100, 50}, side::Left | side::Top, QSize(10, 10), 8, 9), (Box{2, 4, 100, 50}))
        << "the dragged sides move, the opposite ones stay";

    const BarSizes sizes{QSize(5, 6), QSize(1024, 768), QSize(7, 8), 512, 384};
    const SizeLimits top = sizeLimits(BarEdge::Top, sizes, kScreen);
    EXPECT_EQ(top.minimum, QSize(7, 8));
    EXPECT_EQ(top.maximum, QSize(1024, 384)) << "a top bar is limited in height only";
    EXPECT_EQ(sizeLimits(BarEdge::Left, sizes, kScreen).maximum, QSize(512, 768));
    EXPECT_EQ(sizeLimits(BarEdge::Floating, sizes, kScreen).minimum, QSize(5, 6));

    EXPECT_EQ(sizingSides(BarEdge::Top, 1, 0), 0) << "SizeIncY 0 on a top bar: no border sizes it";
    EXPECT_EQ(sizingSides(BarEdge::Top, 1, 1), side::Bottom);
    EXPECT_EQ(sizingSides(BarEdge::Right, 1, 0), side::Left);
    EXPECT_EQ(sizingSides(BarEdge::Floating, 0, 1), side::Top | side::Bottom);
}

TEST(AppBarSizing, EndOfMoveKeepsThicknessAndFloatingPlace)
{
    const BarExtent before{32, 32, Box{100, 100, 400, 200}};
    const Box work{0, 0, 1024, 740};
    EXPECT_EQ(endOfMove(Box{0, 0, 1024, 48}, BarEdge::Top, BarEdge::Top, before, work).dockHeight, 48);
    EXPECT_EQ(endOfMove(Box{0, 0, 50, 768}, BarEdge::Left, BarEdge::Left, before, work).dockWidth, 50);
    EXPECT_EQ(endOfMove(Box{0, 0, 1024, 48}, BarEdge::Left, BarEdge::Top, before, work), before)
        << "a new edge keeps the thickness it had";
    EXPECT_EQ(endOfMove(Box{50, 60, 1074, 92}, BarEdge::Top, BarEdge::Floating, before, work).floatRect,
              (Box{50, 60, 350, 160}))
        << "a full-width rectangle takes the old floating size";
    EXPECT_EQ(endOfMove(Box{50, 60, 250, 92}, BarEdge::Top, BarEdge::Floating, before, work).floatRect,
              (Box{50, 60, 250, 92}));
    EXPECT_EQ(endOfMove(Box{5, 6, 70, 80}, BarEdge::Floating, BarEdge::Floating, before, work).floatRect,
              (Box{5, 6, 70, 80}));
    EXPECT_EQ(floatingDragRect(Box{100, 100, 400, 200}, QPoint(500, 20)), (Box{350, 20, 650, 120}));
}

}  // namespace
