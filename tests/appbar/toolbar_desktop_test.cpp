// The toolbar as users meet it: in its own process on an X server of the
// test's own, under openbox, under xfwm4 and without a window manager.

#include "private_desktop.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using velmora::test::PrivateDesktop;
using velmora::test::waitFor;

namespace {

constexpr int kButtonLeft[] = {8, 40, 72, 112, 144, 184, 216};  // 24 x 24 at top 2

class ToolbarDesktop : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        QStringList tools{QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("xrandr")};
        if (*GetParam())
            tools << QString::fromLatin1(GetParam());
        const QString missing = PrivateDesktop::missing(tools);
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        // Two monitors side by side, the bar's (primary) on the left.
        ASSERT_TRUE(desktop.start(QSize(2560, 1024))) << "the X server did not start";
        ASSERT_TRUE(desktop.setMonitors({QRect(0, 0, 1280, 1024), QRect(1280, 0, 1280, 1024)}));
        if (*GetParam()) {
            ASSERT_TRUE(desktop.startWindowManager(QString::fromLatin1(GetParam()))) << GetParam() << " did not start";
        }
    }
    bool managed() const { return *GetParam() != 0; }
    bool stateHas(xcb_window_t w, const char* state)
    {
        const auto states = desktop.property(w, "_NET_WM_STATE");
        return std::find(states.begin(), states.end(), desktop.atom(state)) != states.end();
    }
    bool barAt(xcb_window_t bar, int y) { return waitFor([&] { return desktop.geometry(bar).y() == y; }); }

    PrivateDesktop desktop;
};

TEST_P(ToolbarDesktop, NeverTakesTheFocusWhenShownSlidOutOrClicked)
{
    const xcb_window_t user = desktop.mapWindow(QRect(200, 200, 600, 400));
    ASSERT_TRUE(desktop.focusOn(user));
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("640"), QStringLiteral("600")});
    const xcb_window_t bar = desktop.startToolbar();
    ASSERT_NE(bar, 0u);
    ASSERT_TRUE(barAt(bar, -30)) << "hidden at the top";
    EXPECT_EQ(desktop.focus(), user) << "shown without the focus";

    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("300"), QStringLiteral("0")});
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("301"), QStringLiteral("1")});
    ASSERT_TRUE(barAt(bar, 0)) << "slid out under the pointer";
    EXPECT_EQ(desktop.focus(), user) << "slid out without the focus";
    for (int i = 0; i < 7; ++i) {
        desktop.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(kButtonLeft[i] + 12),
                                                QStringLiteral("14"), QStringLiteral("click"), QStringLiteral("1")});
        EXPECT_TRUE(waitFor([&] { return desktop.toolbarOutput().contains(QStringLiteral("press %1\n").arg(i)); }))
            << "button " << i << " was pressed";
        EXPECT_EQ(desktop.focus(), user) << "a click on button " << i << " leaves the focus where it was";
    }
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("640"), QStringLiteral("600")});
    EXPECT_TRUE(barAt(bar, -30)) << "back once the pointer has left, the focus never its own";

    desktop.tellToolbar("docked");
    ASSERT_TRUE(barAt(bar, 0));
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("20"), QStringLiteral("14"),
                                            QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(waitFor([&] { return desktop.toolbarOutput().count(QStringLiteral("press 0\n")) == 2; }));
    EXPECT_EQ(desktop.focus(), user) << "docked, a click leaves the focus too";
}

TEST_P(ToolbarDesktop, StaysAboveWindowsMappedLater)
{
    const xcb_window_t bar = desktop.startToolbar();
    ASSERT_NE(bar, 0u);
    ASSERT_TRUE(barAt(bar, -30));
    const xcb_window_t user = desktop.mapWindow(QRect(0, 0, 800, 300));
    EXPECT_TRUE(waitFor([&] { return desktop.stackedAbove(bar, user) && desktop.geometry(user).isValid(); }))
        << "the strip is not covered";
}

using ToolbarUnderWindowManager = ToolbarDesktop;

TEST_P(ToolbarUnderWindowManager, IsOnEveryDesktop)
{
    ASSERT_TRUE(waitFor([&] {
        const auto n = desktop.property(desktop.root(), "_NET_NUMBER_OF_DESKTOPS");
        return !n.empty() && n[0] >= 3;
    }));
    const xcb_window_t bar = desktop.startToolbar();
    ASSERT_NE(bar, 0u);
    ASSERT_TRUE(barAt(bar, -30));
    EXPECT_TRUE(waitFor([&] { return desktop.property(bar, "_NET_WM_DESKTOP") == std::vector<uint32_t>{0xFFFFFFFF}; }));
    for (const char* d : {"2", "1"}) {
        desktop.run(QStringLiteral("xdotool"), {QStringLiteral("set_desktop"), QString::fromLatin1(d)});
        ASSERT_TRUE(waitFor([&] { return desktop.property(desktop.root(), "_NET_CURRENT_DESKTOP") == std::vector<uint32_t>{uint32_t(*d - '0')}; }));
        EXPECT_TRUE(desktop.viewable(bar)) << "shown on desktop " << d;
    }
}

// Killed: what it left behind (a full-screen window in its client list) no
// longer counts and the bar keeps itself above; started again, it gets the
// bar's type, space and state (below the full-screen window) again.
TEST_P(ToolbarUnderWindowManager, FollowsAWindowManagerKilledAndStartedAgain)
{
    const xcb_window_t bar = desktop.startToolbar();
    ASSERT_NE(bar, 0u);
    ASSERT_TRUE(barAt(bar, -30));
    desktop.tellToolbar("docked");
    const auto reserved = [&] {
        const auto area = desktop.property(desktop.root(), "_NET_WORKAREA");
        return area.size() >= 4 && area[1] == 32;
    };
    ASSERT_TRUE(waitFor(reserved));
    const xcb_window_t video = desktop.mapWindow(QRect(100, 100, 400, 300), true);
    ASSERT_TRUE(waitFor([&] { return stateHas(bar, "_NET_WM_STATE_BELOW"); }));

    desktop.killWindowManager();
    ASSERT_TRUE(waitFor([&] { return desktop.topLevel(bar) == bar; })) << "the server took the bar back";
    const xcb_window_t user = desktop.mapWindow(QRect(0, 0, 800, 300));
    EXPECT_TRUE(waitFor([&] { return desktop.stackedAbove(bar, user); })) << "without a window manager it keeps above";

    ASSERT_TRUE(desktop.startWindowManager(QString::fromLatin1(GetParam())));
    EXPECT_TRUE(waitFor([&] { return stateHas(bar, "_NET_WM_STATE_BELOW") && desktop.stackedAbove(video, bar); }))
        << "below the full-screen window again";
    EXPECT_TRUE(waitFor(reserved)) << "its space again";
    EXPECT_EQ(desktop.property(bar, "_NET_WM_WINDOW_TYPE").at(0), desktop.atom("_NET_WM_WINDOW_TYPE_DOCK"));
    EXPECT_TRUE(barAt(bar, 0));
}

TEST_P(ToolbarUnderWindowManager, ReservesItsHeightOnlyDockedAndGoesBelowFullScreenWindowsOnItsMonitor)
{
    const xcb_window_t bar = desktop.startToolbar();
    ASSERT_NE(bar, 0u);
    ASSERT_TRUE(barAt(bar, -30));
    EXPECT_EQ(desktop.property(desktop.root(), "_NET_WORKAREA").at(1), 0u) << "auto-hiding, it reserves nothing";
    desktop.tellToolbar("docked");
    ASSERT_TRUE(barAt(bar, 0));
    EXPECT_TRUE(waitFor([&] {
        const auto area = desktop.property(desktop.root(), "_NET_WORKAREA");
        return area.size() >= 4 && area[1] == 32 && area[3] == 1024 - 32;
    })) << "docked, the work area loses its height";

    // Active and full screen, but on the other monitor: the bar stays above
    // the windows of its own. (xfwm4 4.18 lays windows out on the outputs'
    // CRTCs and does not see the monitors xrandr defines, so this part runs
    // under openbox.)
    const xcb_window_t user = desktop.mapWindow(QRect(100, 0, 600, 400));
    ASSERT_TRUE(desktop.focusOn(user));
    if (std::string(GetParam()) == "openbox") {
        const xcb_window_t other = desktop.mapWindow(QRect(1400, 100, 400, 300), true);
        ASSERT_EQ(desktop.geometry(other), QRect(1280, 0, 1280, 1024));
        ASSERT_TRUE(desktop.focusOn(other));
        EXPECT_FALSE(waitFor([&] { return stateHas(bar, "_NET_WM_STATE_BELOW"); }, std::chrono::seconds(1)))
            << "a full-screen window on another monitor does not push it down";
        EXPECT_TRUE(desktop.stackedAbove(bar, user));
    }

    // Full screen on its monitor, not active: the bar goes below it.
    const xcb_window_t video = desktop.mapWindow(QRect(100, 100, 400, 300), true);
    ASSERT_TRUE(desktop.focusOn(user));
    EXPECT_TRUE(waitFor([&] { return desktop.stackedAbove(video, bar); })) << "the strip stays below the full-screen window";

    // A window that left the list is no longer watched.
    desktop.unmapWindow(video);
    EXPECT_TRUE(waitFor([&] { return (desktop.allEventMasks(video) & XCB_EVENT_MASK_PROPERTY_CHANGE) == 0; }))
        << "the watch on a window gone from the client list is dropped";
}

// Two monitors on one screen, side by side or one above the other, the
// bar's (primary) one right or below, at scale factors 1 and 2; no window
// manager (struts are the bar's own properties).
struct Layout {
    const char* name;
    QSize root;
    QRect primary, other;
    int scale;
};
void PrintTo(const Layout& l, std::ostream* os)
{
    *os << l.name;
}

class ToolbarOnMonitors : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override
    {
        const QString missing =
            PrivateDesktop::missing({QStringLiteral("Xvfb"), QStringLiteral("xrandr"), QStringLiteral("xdotool")});
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        ASSERT_TRUE(desktop.start(GetParam().root));
        ASSERT_TRUE(desktop.setMonitors({GetParam().primary, GetParam().other}));
        const QPoint away = GetParam().primary.center();  // not on the bar's strip
        desktop.run(QStringLiteral("xdotool"),
                    {QStringLiteral("mousemove"), QString::number(away.x()), QString::number(away.y())});
    }
    PrivateDesktop desktop;
};

TEST_P(ToolbarOnMonitors, ReservesByTheStrutRuleAndShowsOnlyOnItsMonitor)
{
    const Layout& l = GetParam();
    const xcb_window_t bar = desktop.startToolbar({QStringLiteral("QT_SCALE_FACTOR=%1").arg(l.scale)});
    ASSERT_NE(bar, 0u);
    const int thickness = 32 * l.scale;
    ASSERT_TRUE(waitFor([&] {
        const QRect g = desktop.geometry(bar);
        return g.width() == l.primary.width() && g.bottom() + 1 < l.primary.top() + thickness && g.bottom() >= l.primary.top();
    })) << "hidden at its monitor's top";
    const QRect shown = desktop.visibleBounds(bar) & QRect(QPoint(0, 0), l.root);
    EXPECT_TRUE(l.primary.contains(shown)) << "the hidden bar shows on its own monitor only";
    EXPECT_FALSE(shown.isEmpty()) << "its strip shows";

    desktop.tellToolbar("docked");
    const QRect docked(l.primary.topLeft(), QSize(l.primary.width(), thickness));
    EXPECT_TRUE(waitFor([&] { return desktop.geometry(bar) == docked; })) << "docked across its monitor's top";
    const bool inner = l.other.bottom() < l.primary.top();
    const std::vector<uint32_t> strut =
        inner ? std::vector<uint32_t>{}
              : std::vector<uint32_t>{0, 0, uint32_t(l.primary.top() + thickness), 0, 0, 0, 0, 0,
                                      uint32_t(l.primary.left()), uint32_t(l.primary.right()), 0, 0};
    EXPECT_TRUE(waitFor([&] { return desktop.property(bar, "_NET_WM_STRUT_PARTIAL") == strut; }))
        << (inner ? "an inner edge reserves nothing" : "from the root's top, across its own monitor");
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ToolbarOnMonitors,
    ::testing::Values(Layout{"SideBySide", {2560, 1024}, {1280, 0, 1280, 1024}, {0, 0, 1280, 1024}, 1},
                      Layout{"SideBySideScaled", {2560, 1024}, {1280, 0, 1280, 1024}, {0, 0, 1280, 1024}, 2},
                      Layout{"Stacked", {1280, 2048}, {0, 1024, 1280, 1024}, {0, 0, 1280, 1024}, 1},
                      Layout{"StackedScaled", {1280, 2048}, {0, 1024, 1280, 1024}, {0, 0, 1280, 1024}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(WindowManagers, ToolbarDesktop, ::testing::Values("openbox", "xfwm4", ""),
                         [](const auto& info) { return std::string(*info.param ? info.param : "none"); });
INSTANTIATE_TEST_SUITE_P(WindowManagers, ToolbarUnderWindowManager, ::testing::Values("openbox", "xfwm4"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
