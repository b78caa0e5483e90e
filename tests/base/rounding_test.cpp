#include "base/format_time.h"
#include "base/rounding.h"

#include <gtest/gtest.h>

#include <limits>

using namespace velmora;

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(-7.6), -8);
}

TEST(Rounding, OutOfRangeAndNanAreClamped)
{
    EXPECT_EQ(roundHalfEven(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(roundHalfEven(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::max());
}

TEST(FormatTime, WholeSeconds)
{
    EXPECT_EQ(formatTime(0), "00:00:00");
    EXPECT_EQ(formatTime(3599), "00:59:59");
    EXPECT_EQ(formatTime(3725), "01:02:05");
    EXPECT_EQ(formatTime(360000), "100:00:00");
    EXPECT_EQ(formatTime(-5), "00:00:00");
}

TEST(FormatTime, EngineSecondsRoundHalfToEven)
{
    EXPECT_EQ(formatSeconds(59.5), "00:01:00");
    EXPECT_EQ(formatSeconds(60.5), "00:01:00");
    EXPECT_EQ(formatSeconds(2.5), "00:00:02");
    EXPECT_EQ(formatSeconds(3.5), "00:00:04");
}
