#include "volume/volume_scale.h"

#include <gtest/gtest.h>

using namespace velmora;

// The printed tables, row by row.
static const int kVolume[101] = {
    0, -10, -20, -30, -40, -50, -60, -70, -80, -90,
    -100, -110, -120, -130, -140, -150, -160, -170, -180, -190,
    -200, -210, -220, -230, -240, -250, -260, -270, -280, -290,
    -300, -313, -327, -340, -353, -367, -380, -393, -407, -420,
    -433, -447, -460, -477, -493, -510, -527, -543, -560, -577,
    -593, -610, -630, -650, -670, -690, -710, -730, -750, -770,
    -790, -813, -837, -860, -883, -907, -930, -957, -983, -1010,
    -1040, -1070, -1100, -1133, -1167, -1200, -1237, -1273, -1310, -1353,
    -1397, -1440, -1490, -1540, -1590, -1650, -1710, -1770, -1847, -1923,
    -2000, -2147, -2293, -2440, -2640, -2840, -3040, -3693, -4347, -5000,
    -9640};

static const int kBalanceRight[51] = {
    0, 17, 33, 50, 70, 90, 110, 130, 150, 170,
    190, 210, 230, 253, 277, 300, 327, 353, 380, 410,
    440, 470, 500, 530, 560, 597, 633, 670, 710, 750,
    790, 837, 883, 930, 987, 1043, 1100, 1170, 1240, 1310,
    1403, 1497, 1590, 1727, 1863, 2000, 2263, 2527, 2790, 4000,
    9640};

TEST(VolumeScale, VolumeTableMatchesThePrintedOneEveryEntry)
{
    VolumeScale scale;
    for (int i = 0; i <= 100; ++i)
        EXPECT_EQ(scale.volumeTable()[i], kVolume[i]) << "index " << i;
}

TEST(VolumeScale, BalanceTableMatchesAndMirrors)
{
    VolumeScale scale;
    for (int i = 0; i <= 50; ++i) {
        EXPECT_EQ(scale.balanceTable()[50 + i], kBalanceRight[i]) << "index " << 50 + i;
        EXPECT_EQ(scale.balanceTable()[50 - i], -kBalanceRight[i]) << "index " << 50 - i;
    }
}

TEST(VolumeScale, PercentagesToEngineUnits)
{
    VolumeScale scale;
    EXPECT_EQ(scale.volumeForPercent(100), 0);
    EXPECT_EQ(scale.volumeForPercent(0), -9640);
    EXPECT_EQ(scale.volumeForPercent(70), -300);
    EXPECT_EQ(scale.volumeForPercent(50), -593);
    EXPECT_EQ(scale.volumeForPercent(40), -790);
    EXPECT_EQ(scale.volumeForPercent(1), -5000);
    EXPECT_FALSE(scale.volumeForPercent(101));
    EXPECT_FALSE(scale.volumeForPercent(-1));
    EXPECT_EQ(scale.balanceForPercent(49), -17);
    EXPECT_EQ(scale.balanceForPercent(51), 17);
    EXPECT_EQ(scale.balanceForPercent(1), -4000);
    EXPECT_FALSE(scale.balanceForPercent(101));
}
