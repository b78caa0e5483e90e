#include "base/event_pump.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;
using namespace std::chrono_literals;

TEST(EventPump, WaitEndsWhenATimerDeliversTheAnswer)
{
    EventPump pump;
    bool answered = false;
    QTimer::singleShot(20, [&] { answered = true; });
    EXPECT_TRUE(pump.waitUntil([&] { return answered; }, 5s));
    EXPECT_EQ(pump.depth(), 0);
}

TEST(EventPump, WaitGivesUpAtItsTimeout)
{
    EventPump pump;
    EXPECT_FALSE(pump.waitUntil([] { return false; }, 30ms));
}

TEST(EventPump, RefusesPastTheBound)
{
    EventPump pump(EventPump::Options{1});  // one wait at a time
    bool innerRan = false;
    bool innerResult = true;
    QTimer::singleShot(0, [&] {
        innerRan = true;
        innerResult = pump.letPendingEventsRun();
    });
    pump.waitUntil([&] { return innerRan; }, 2s);
    EXPECT_TRUE(innerRan);
    EXPECT_FALSE(innerResult);  // depth 1 already taken by the outer wait
}

TEST(ReentrancyGuard, SecondEntryIsRefusedUntilTheFirstLeaves)
{
    bool busy = false;
    {
        ReentrancyGuard outer(busy);
        EXPECT_TRUE(outer.entered());
        ReentrancyGuard inner(busy);
        EXPECT_FALSE(inner.entered());
    }
    EXPECT_FALSE(busy);
    ReentrancyGuard again(busy);
    EXPECT_TRUE(again.entered());
}

TEST(EventPump, NestedWaitsWithinTheBoundBothEnd)
{
    EventPump pump(EventPump::Options{2});
    bool outerDone = false, innerDone = false, innerAnswer = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(10, [&] { innerAnswer = true; });
        innerDone = pump.waitUntil([&] { return innerAnswer; }, 2s);
    });
    outerDone = pump.waitUntil([&] { return innerDone; }, 2s);
    EXPECT_TRUE(outerDone);
    EXPECT_TRUE(innerDone);
    EXPECT_EQ(pump.depth(), 0);
}
