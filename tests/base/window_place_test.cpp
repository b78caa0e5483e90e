// A stored frame place keeps the title bar on a screen.

#include "base/window_place.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(TitleBarOnScreen, PlacesOffTheScreenComeBackAndOthersStay)
{
    const QList<QRect> two = {QRect(0, 0, 1280, 1024), QRect(1280, 200, 1024, 768)};
    EXPECT_EQ(titleBarOnScreen({100, 100}, 600, two), QPoint(100, 100));
    EXPECT_EQ(titleBarOnScreen({1500, 300}, 600, two), QPoint(1500, 300)) << "on the second screen";
    EXPECT_EQ(titleBarOnScreen({-13, -260}, 600, two), QPoint(-13, 0)) << "the crept dialog: bar back on top";
    EXPECT_EQ(titleBarOnScreen({-900, 50}, 600, two), QPoint(-536, 50)) << "a grip's width stays on the screen";
    EXPECT_EQ(titleBarOnScreen({100, 5000}, 600, two), QPoint(100, 991));
    EXPECT_EQ(titleBarOnScreen({1500, 50}, 600, two), QPoint(1500, 200)) << "above the second screen";
    EXPECT_EQ(titleBarOnScreen({5000, 300}, 600, two), QPoint(2240, 300));
    EXPECT_EQ(titleBarOnScreen({-50, -50}, 40, two), QPoint(0, 0)) << "narrower than a grip";
    EXPECT_EQ(titleBarOnScreen({-50, -50}, 600, {}), QPoint(-50, -50));
}
