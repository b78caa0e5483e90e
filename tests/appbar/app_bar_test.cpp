// TAppBar's state machine over fake platform parts: docking, auto-hide,
// the refusal of an occupied edge, dragging, full-screen applications and
// attaching a second time.

#include "appbar/app_bar.h"
#include "app_bar_fakes.h"
#include "support/test_support.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The toolbar's way of attaching: auto-hide, top only, docked at the top.
void attachAsToolbar(TAppBar& bar, FakeWindow& window)
{
    bar.fields().autoHide = true;
    bar.Extends(window);
    bar.fields().allowedEdges = edge_bits::Top;
    bar.setEdge(BarEdge::Top);
    bar.fields().alwaysOnTop = true;
    bar.fields().sizeIncY = 0;
}

TEST(AppBar, AutoHideTopBarHidesWithAStripAndSlidesOutUnderThePointer)
{
    FakeDesktop desktop;
    FakeWindow window;  // outlives the attachment
    TAppBar bar(desktop);
    EXPECT_EQ(bar.fields().dockMaxWidth, 512) << "half of the 1024 x 768 screen";
    EXPECT_EQ(bar.fields().dockMaxHeight, 384);
    attachAsToolbar(bar, window);

    EXPECT_TRUE(window.shellFake.registered);
    EXPECT_EQ(window.shellFake.held, int(BarEdge::Top)) << "the bar holds the top edge's auto-hide place";
    EXPECT_TRUE(window.shellFake.reserved.isNull()) << "an auto-hide bar reserves no space";
    EXPECT_EQ(window.box, (Box{0, -30, 1024, 2})) << "hidden at y = c - 32, full width";
    EXPECT_EQ(window.stacking, BarStacking::Topmost);
    EXPECT_FALSE(window.caption);
    EXPECT_EQ(window.handler, &bar);

    window.handler->barMouseOverFrame();
    EXPECT_EQ(window.box, (Box{0, 0, 1024, 32}));
    EXPECT_TRUE(bar.fields().autoHideVisible);

    desktop.cursor = QPoint(500, 39);  // within twice the double-click area below it
    bar.autoHideCheck();
    EXPECT_EQ(window.box.top, 0);
    desktop.cursor = QPoint(500, 40);
    window.active = true;
    bar.autoHideCheck();
    EXPECT_EQ(window.box.top, 0) << "an active bar stays out";
    window.active = false;
    bar.autoHideCheck();
    EXPECT_EQ(window.box, (Box{0, -30, 1024, 2})) << "the pointer left: hidden again";

    window.handler->barMouseOverFrame();
    window.handler->barActivated(false);
    EXPECT_EQ(window.box.top, -30) << "deactivation hides it";

    desktop.screenBox = Box{0, 0, 1280, 1024};
    bar.shellScreenChanged();
    EXPECT_EQ(window.box, (Box{0, -30, 1280, 2})) << "a new screen size: hidden across the new width";
}

TEST(AppBar, KeepsItsAutoHidePlaceAcrossUpdatesAndDocksWhenAnotherBarTakesIt)
{
    FakeDesktop desktop;
    FakeWindow window;  // outlives the attachment
    TAppBar bar(desktop);
    attachAsToolbar(bar, window);
    window.shellFake.log.clear();
    bar.UpdateBar();
    EXPECT_FALSE(window.shellFake.log.contains(QStringLiteral("autohide 1 0"))) << "never released in between";
    EXPECT_EQ(window.shellFake.held, int(BarEdge::Top));

    bar.shellAutoHideTaken(BarEdge::Left);
    EXPECT_TRUE(bar.fields().autoHide) << "another edge's place is not this bar's";
    window.shellFake.held = -1;
    bar.shellAutoHideTaken(BarEdge::Top);
    EXPECT_FALSE(bar.fields().autoHide);
    EXPECT_EQ(window.shellFake.reserved, (Box{0, 0, 1024, 32})) << "docked, its space reserved";
    EXPECT_EQ(window.box, (Box{0, 0, 1024, 32}));
    EXPECT_TRUE(window.refusals.isEmpty()) << "no box: the user did not ask for anything";
}

TEST(AppBar, AnOccupiedEdgeIsRefusedAndTheBarDocksReservingItsSpace)
{
    FakeDesktop desktop;
    FakeWindow window;  // outlives the attachment
    TAppBar bar(desktop);
    window.shellFake.edgeTaken = true;
    window.shellFake.reservedTop = 24;  // another bar holds the top 24 pixels
    attachAsToolbar(bar, window);

    ASSERT_EQ(window.refusals.size(), 1);
    EXPECT_EQ(window.refusals.front(), TAppBar::refusalText());
    EXPECT_TRUE(window.refusals.front().startsWith(QStringLiteral("There is already an auto hidden window on this edge.")));
    EXPECT_FALSE(bar.fields().autoHide);
    EXPECT_EQ(window.box, (Box{0, 24, 1024, 56})) << "docked below the other bar";
    EXPECT_EQ(window.shellFake.reserved, window.box);
    window.handler->barMouseOverFrame();
    EXPECT_EQ(window.box.top, 24) << "nothing slides";
}

TEST(AppBar, DraggingTowardAnotherEdgeLeavesATopOnlyBarAtTheTop)
{
    FakeDesktop desktop;
    FakeWindow window;  // outlives the attachment
    TAppBar bar(desktop);
    attachAsToolbar(bar, window);
    window.handler->barMouseOverFrame();

    window.handler->barEnterSizeMove();
    const Box r = window.handler->barMoving(Box{0, 300, 1024, 332}, QPoint(2, 384));
    EXPECT_EQ(bar.edge(), BarEdge::Top);
    EXPECT_EQ(r, (Box{0, 0, 1024, 32}));
    window.place(Box{0, 300, 1024, 332});  // where the pointer left it
    window.handler->barExitSizeMove();
    EXPECT_EQ(bar.state(), BarEdge::Top);
    EXPECT_EQ(window.box, (Box{0, 0, 1024, 32}));
}

TEST(AppBar, DraggingAFreeBarFloatsInsideAndDocksAtTheEdgeItIsDraggedTo)
{
    FakeDesktop desktop;
    FakeWindow window;  // outlives the attachment
    TAppBar bar(desktop);
    bar.Extends(window);
    EXPECT_EQ(window.box, (Box{100, 100, 732, 132})) << "attached floating at its own place";
    EXPECT_TRUE(window.caption);
    EXPECT_TRUE(window.taskbar);

    window.handler->barEnterSizeMove();
    window.handler->barMoving(Box{300, 300, 932, 332}, QPoint(400, 310));
    EXPECT_EQ(bar.edge(), BarEdge::Floating);
    const Box docked = window.handler->barMoving(Box{300, 0, 932, 32}, QPoint(1023, 300));
    EXPECT_EQ(bar.edge(), BarEdge::Right);
    EXPECT_EQ(docked, (Box{992, 0, 1024, 768}));
    window.place(docked);
    window.handler->barExitSizeMove();
    EXPECT_EQ(bar.state(), BarEdge::Right);
    EXPECT_EQ(window.shellFake.reserved, docked) << "a docked bar reserves its space";
    EXPECT_FALSE(window.caption);
    EXPECT_FALSE(window.taskbar);

    // Back to floating: the old floating size, centred on the pointer.
    window.handler->barEnterSizeMove();
    EXPECT_EQ(window.handler->barMoving(docked, QPoint(500, 300)), (Box{184, 300, 816, 332}));
    window.place(Box{184, 300, 816, 332});
    window.handler->barExitSizeMove();
    EXPECT_EQ(bar.state(), BarEdge::Floating);
    EXPECT_EQ(bar.fields().floatRect, (Box{184, 300, 816, 332}));
    EXPECT_TRUE(window.shellFake.reserved.isNull());
}

TEST(AppBar, SizingFollowsTheStepsAndLimitsAndADockedBarKeepsItsNewThickness)
{
    FakeDesktop desktop;
    FakeWindow window;
    TAppBar bar(desktop);
    bar.fields().sizeIncX = 8;
    bar.fields().floatMinWidth = 10;
    bar.Extends(window);
    EXPECT_EQ(window.handler->barSizingSides(), side::Left | side::Right | side::Top | side::Bottom);
    EXPECT_EQ(window.handler->barSizing(Box{100, 100, 200, 150}, side::Right), (Box{100, 100, 198, 150}));

    bar.setEdge(BarEdge::Top);
    EXPECT_EQ(window.handler->barSizingSides(), side::Bottom) << "a top bar sizes at its inner border only";
    window.handler->barEnterSizeMove();
    const Box r = window.handler->barSizing(Box{0, 0, 1024, 500}, side::Bottom);
    EXPECT_EQ(r, (Box{0, 0, 1024, 384})) << "no thicker than half the screen";
    window.place(Box{0, 0, 1024, 45});
    window.handler->barExitSizeMove();
    EXPECT_EQ(bar.fields().dockHeight, 45);
    EXPECT_EQ(window.box, (Box{0, 0, 1024, 45}));

    bar.fields().sizeIncY = 0;
    EXPECT_EQ(window.handler->barSizingSides(), 0) << "SizeIncY 0: no border sizes a top bar";
}

TEST(AppBar, FullScreenApplicationsPutTheBarBelowAndShellChangesPlaceItAgain)
{
    FakeDesktop desktop;
    FakeWindow window;  // outlives the attachment
    TAppBar bar(desktop);
    bar.Extends(window);
    bar.fields().allowedEdges = edge_bits::Top;
    bar.setEdge(BarEdge::Top);
    bar.shellFullScreenApp(true);
    EXPECT_EQ(window.stacking, BarStacking::Bottom);
    bar.shellFullScreenApp(false);
    EXPECT_EQ(window.stacking, BarStacking::Topmost);

    window.shellFake.reservedTop = 20;  // a panel appeared above
    bar.shellPositionChanged();
    EXPECT_EQ(window.box, (Box{0, 20, 1024, 52}));
}

TEST(AppBar, ASecondAttachAfterResetRegistersAndDocksAsTheFirst)
{
    FakeDesktop desktop;
    FakeWindow first, second;
    TAppBar bar(desktop);
    attachAsToolbar(bar, first);
    const QStringList firstLog = first.shellFake.log;
    bar.Detach();
    EXPECT_FALSE(first.shellFake.registered);
    EXPECT_EQ(first.shellFake.held, -1) << "the edge is free again";
    EXPECT_EQ(first.handler, nullptr);
    EXPECT_EQ(bar.state(), BarEdge::Unknown);

    bar.reset();
    attachAsToolbar(bar, second);
    EXPECT_TRUE(second.shellFake.registered);
    EXPECT_EQ(second.shellFake.log, firstLog);
    EXPECT_EQ(second.box, (Box{0, -30, 1024, 2}));
}

TEST(AppBar, SlidesEndExactlyOnTheTargetAndANewTargetTurnsThemAround)
{
    FakeDesktop desktop;
    desktop.fullDrag = true;
    FakeWindow window;
    TAppBar bar(desktop);
    bar.setSlideTime(120);
    attachAsToolbar(bar, window);
    QSignalSpy finished(&bar, &TAppBar::slideFinished);
    ASSERT_TRUE(waitFor([&] { return !bar.sliding(); }, std::chrono::seconds(5)));
    EXPECT_EQ(window.box, (Box{0, -30, 1024, 2}));

    desktop.cursor = QPoint(500, 1);  // on the strip: the check keeps it coming out
    bar.ShowAutoHidden(true);
    EXPECT_TRUE(bar.sliding());
    ASSERT_TRUE(waitFor([&] { return window.box.top > -30; }, std::chrono::seconds(5)));
    bar.ShowAutoHidden(false);  // the pointer left while it came out
    ASSERT_TRUE(waitFor([&] { return !bar.sliding(); }, std::chrono::seconds(5)));
    EXPECT_EQ(window.box, (Box{0, -30, 1024, 2}));
    EXPECT_GE(finished.count(), 2);
}

}  // namespace
