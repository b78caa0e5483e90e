// Seek knob placement and drag, the time text, and winding.

#include "playback/seek_bar.h"
#include "playback/winding.h"

#include "playback/controller_fakes.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmora;

namespace {

class FakeSeekView : public SeekView {
public:
    double track = 20, trackW = 200, knob = 20, knobW = 10;
    QString time = QStringLiteral("00:00:00");
    int moves = 0;
    double trackLeft() const override { return track; }
    double trackWidth() const override { return trackW; }
    double knobLeft() const override { return knob; }
    double knobWidth() const override { return knobW; }
    void setKnobLeft(double left) override
    {
        knob = left;
        ++moves;
    }
    void setCurrentTimeText(const QString& text) override { time = text; }
};

class SeekBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.setFileName(QStringLiteral("/clips/a.mp3"));
        engine.run();
    }
    test::ScriptedEngine engine;
    FakeSeekView view;
    SeekBar bar{engine, view};
};

}  // namespace

TEST_F(SeekBarTest, TickShowsThePositionAsTextAndKnob)
{
    engine.clipLength = 60;
    engine.pos = 30;
    bar.tick();
    EXPECT_DOUBLE_EQ(view.knob, 20 + 30 * 190 / 60.0);  // fractions kept
    EXPECT_EQ(view.time, QStringLiteral("00:00:30"));
    engine.pos = 2.5;
    bar.tick();
    EXPECT_EQ(view.time, QStringLiteral("00:00:02"));
    engine.pos = 3.5;
    bar.tick();
    EXPECT_EQ(view.time, QStringLiteral("00:00:04"));
}

TEST_F(SeekBarTest, NoTravelOrNoLengthKeepsTheKnobAtTheLeftAndThePosition)
{
    engine.pos = 12;
    engine.clipLength = 0;
    view.knob = 80;
    bar.tick();
    EXPECT_DOUBLE_EQ(view.knob, 20);
    bar.knobDown(1, 5);
    bar.knobMove(1, 40);
    EXPECT_DOUBLE_EQ(view.knob, 20);
    EXPECT_DOUBLE_EQ(engine.pos, 12);  // not changed
    bar.knobUp(1);

    engine.clipLength = 60;
    view.knobW = view.trackW;  // a knob as wide as its track
    bar.placeKnob(30, 60);
    EXPECT_DOUBLE_EQ(view.knob, 20);
    bar.knobDown(1, 5);
    bar.knobMove(1, 40);
    EXPECT_DOUBLE_EQ(engine.pos, 12);
    EXPECT_DOUBLE_EQ(view.knob, 20);
}

TEST_F(SeekBarTest, DragPausesMovesAndResumes)
{
    engine.clipLength = 190;  // one second per pixel of travel
    bar.knobDown(1, 4.4);     // grab offset 4
    EXPECT_EQ(bar.grabOffset(), 4);
    EXPECT_TRUE(bar.wasPlaying());
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    bar.knobMove(1, 54);  // 20 + 54 - 4
    EXPECT_DOUBLE_EQ(view.knob, 70);
    EXPECT_DOUBLE_EQ(engine.pos, 50);
    EXPECT_EQ(view.time, QStringLiteral("00:00:50"));
    bar.knobMove(2, 90);  // right button: nothing
    EXPECT_DOUBLE_EQ(view.knob, 70);
    bar.knobUp(1);
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
}

TEST_F(SeekBarTest, DragPastEitherEndStopsAtTheEnds)
{
    engine.clipLength = 95;
    bar.knobDown(1, 5);
    bar.knobMove(1, -300);
    EXPECT_DOUBLE_EQ(view.knob, 20);
    EXPECT_DOUBLE_EQ(engine.pos, 0);
    bar.knobMove(1, 900);
    EXPECT_DOUBLE_EQ(view.knob, 210);  // track left + width - knob width
    EXPECT_DOUBLE_EQ(engine.pos, 95);
}

TEST_F(SeekBarTest, ADragStartedWhilePausedStaysPaused)
{
    engine.pause();
    bar.knobDown(1, 5);
    EXPECT_FALSE(bar.wasPlaying());
    bar.knobMove(1, 30);
    bar.knobUp(1);
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    EXPECT_EQ(engine.runs, 1);  // only the one from SetUp
    bar.knobDown(2, 5);  // other buttons start no drag
    EXPECT_FALSE(bar.dragging());
}

// Another clip opening mid-drag (a key, the tray) ends the drag: the
// pointer neither seeks the new clip nor resumes it, and its ticks show.
TEST_F(SeekBarTest, ADragEndsWithItsClip)
{
    engine.clipLength = 190;
    bar.knobDown(1, 4);
    engine.setFileName(QStringLiteral("/clips/b.mp3"));
    engine.pause();
    engine.pos = 0;
    bar.knobMove(1, 54);
    EXPECT_DOUBLE_EQ(engine.pos, 0);
    bar.knobUp(1);
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    engine.pos = 3;
    bar.tick();
    EXPECT_EQ(view.time, QStringLiteral("00:00:03"));
}

class WindingTest : public SeekBarTest {
protected:
    Winding winding{engine, bar};
};

TEST_F(WindingTest, FivePressesForwardDoubleTheStep)
{
    engine.clipLength = 60;
    engine.pos = 10;
    std::vector<double> seen;
    for (int i = 0; i < 5; ++i) {
        winding.forward();
        seen.push_back(engine.pos);
    }
    EXPECT_EQ(seen, (std::vector<double>{11, 13, 17, 25, 41}));
    EXPECT_EQ(view.time, QStringLiteral("00:00:41"));
    EXPECT_DOUBLE_EQ(view.knob, 20 + 41 * 190 / 60.0);
    winding.forward();  // 41 + 32 passes the end: the end it is
    EXPECT_DOUBLE_EQ(engine.pos, 60);

    engine.clipLength = 0;  // a length the engine does not know: no end to stop at
    engine.pos = 5;
    winding.reset();
    winding.forward();
    EXPECT_DOUBLE_EQ(engine.pos, 6);
}

TEST_F(WindingTest, BackNeverGoesBelowZero)
{
    engine.clipLength = 60;
    engine.pos = 0.5;
    winding.back();
    EXPECT_DOUBLE_EQ(engine.pos, 0);
    EXPECT_EQ(winding.backStep(), 2);
    engine.pos = 30;
    winding.back();
    EXPECT_DOUBLE_EQ(engine.pos, 28);
    EXPECT_EQ(winding.forwardStep(), 1);  // each direction has its own step
}

TEST_F(WindingTest, StepsAreCappedInsteadOfOverflowing)
{
    engine.clipLength = 100;
    for (int i = 0; i < 40; ++i)
        winding.forward();
    EXPECT_EQ(winding.forwardStep(), 100);
    engine.clipLength = 0;  // no length: the 2^30 cap
    for (int i = 0; i < 40; ++i)
        winding.back();
    EXPECT_EQ(winding.backStep(), Winding::kMaxStep);
    EXPECT_GE(engine.pos, 0);
    EXPECT_EQ(Winding::nextStep(Winding::kMaxStep, 1e12), Winding::kMaxStep);
    EXPECT_EQ(Winding::nextStep(3, 4.2), 5);  // the length rounded up
}

TEST_F(WindingTest, ASecondWithoutPressesResetsTheStep)
{
    engine.clipLength = 600;
    winding.forward();
    winding.forward();
    EXPECT_EQ(winding.forwardStep(), 4);
    EXPECT_TRUE(winding.forwardTimerActive());
    EXPECT_FALSE(winding.backTimerActive());
    ASSERT_TRUE(test::waitFor([&] { return winding.forwardStep() == 1; }, std::chrono::seconds(3)));
    EXPECT_FALSE(winding.forwardTimerActive());
    winding.back();
    winding.backTimerTick();
    EXPECT_EQ(winding.backStep(), 1);
}
