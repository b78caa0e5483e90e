// The toolbar as users meet it: in its own process on an X server of the
// test's own, under openbox, under xfwm4 and without a window manager.

#include "private_desktop.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

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
        ASSERT_TRUE(desktop.start(QSize(1280, 1024))) << "the X server did not start";
        if (*GetParam()) {
            ASSERT_TRUE(desktop.startWindowManager(QString::fromLatin1(GetParam()))) << GetParam() << " did not start";
        }
    }
    bool managed() const { return *GetParam() != 0; }
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
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, ToolbarDesktop, ::testing::Values("openbox", "xfwm4", ""),
                         [](const auto& info) { return std::string(*info.param ? info.param : "none"); });

}  // namespace
