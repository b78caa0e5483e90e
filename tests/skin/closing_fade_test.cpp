// The closing fade's arithmetic and its timer.

#include "skin/closing_fade.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmora;

namespace {
// Ticks until the fade ends: how many, and after which tick the windows were
// all invisible.
struct FadeRun {
    int ticks = 0;
    int invisibleAfter = 0;
};
FadeRun runFade(FadeLevels l)
{
    FadeRun r;
    while (true) {
        ++r.ticks;
        if (!fadeTick(l))
            return r;
        if (r.invisibleAfter == 0 && l.main == 0 && l.volume == 0 && l.playlist == 0)
            r.invisibleAfter = r.ticks;
    }
}
}  // namespace

TEST(ClosingFade, StepsOfFiveNeverBelowZero)
{
    FadeLevels l{75, 12, 3, 100};
    EXPECT_TRUE(fadeTick(l));
    EXPECT_EQ(l, (FadeLevels{70, 7, 0, 95}));
    EXPECT_TRUE(fadeTick(l));
    EXPECT_EQ(l, (FadeLevels{65, 2, 0, 90}));
    FadeLevels zero{};
    EXPECT_FALSE(fadeTick(zero));
    EXPECT_EQ(zero, FadeLevels{});
}

TEST(ClosingFade, TheWorkedExamplesTakeTheirTicks)
{
    // Default opacity 75, no clip: 15 visible steps, ends on the 16th tick.
    FadeRun r = runFade({75, 75, 75, 0});
    EXPECT_EQ(r.invisibleAfter, 15);
    EXPECT_EQ(r.ticks, 16);
    // With the sound at 100: invisible after 15, ends on the 21st.
    r = runFade({75, 75, 75, 100});
    EXPECT_EQ(r.invisibleAfter, 15);
    EXPECT_EQ(r.ticks, 21);
}

TEST(ClosingFade, TimerAppliesEachStepAndFinishesOnce)
{
    ClosingFade fade;
    std::vector<FadeLevels> applied;
    int finished = 0;
    fade.start({10, 0, 200, -5}, {[&](const FadeLevels& l) { applied.push_back(l); }, [&] { ++finished; }});
    // Out-of-range levels were clamped: 200 counts as 100.
    ASSERT_TRUE(test::waitFor([&] { return finished > 0; }, std::chrono::seconds(5)));
    EXPECT_EQ(finished, 1);
    ASSERT_EQ(applied.size(), 20u);
    EXPECT_EQ(applied.front(), (FadeLevels{5, 0, 95, 0}));
    EXPECT_EQ(applied.back(), FadeLevels{});
    EXPECT_EQ(fade.ticks(), 21);
    EXPECT_FALSE(fade.running());
    fade.tick();  // a late tick does nothing
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(ClosingFade::kInterval, std::chrono::milliseconds(15));
}

TEST(ClosingFade, ASecondStartIsIgnored)
{
    ClosingFade fade;
    int finished = 0;
    fade.start({5, 0, 0, 0}, {nullptr, [&] { ++finished; }});
    fade.start({100, 100, 100, 100}, {nullptr, [&] { finished += 10; }});
    EXPECT_EQ(fade.levels(), (FadeLevels{5, 0, 0, 0}));
    fade.tick();
    fade.tick();
    EXPECT_EQ(finished, 1);
}
