#include "playback/playback_controller.h"

#include "settings/settings.h"
#include "playback/controller_fakes.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace std::chrono_literals;
using test::ScriptedEngine;

namespace {

class ControllerTest : public ::testing::Test {
protected:

    PlaybackController& controller()
    {
        if (!controller_) {
            PlaybackController::Options o;
            o.openTimeout = 200ms;
            o.beginDelay = 10ms;
            controller_ = std::make_unique<PlaybackController>(engine, clips, settings, &panels, o);
            panels.watch(*controller_);
            forward_ = std::make_unique<test::ControllerForwarder>(*controller_);
            engine.setListener(forward_.get());
        }
        return *controller_;
    }

    void setSetting(const SettingKey& key, bool on) { settings.setFlag(key, on); }
    QString playing() const { return clips.current > 0 ? clips.at(clips.current).text : QString(); }


    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
    ScriptedEngine engine;
    test::FakeClips clips;
    test::RecordingPanels panels;
    std::unique_ptr<PlaybackController> controller_;
    std::unique_ptr<test::ControllerForwarder> forward_;
};

}  // namespace

TEST_F(ControllerTest, OpeningLightsTheTransportAndShowsTheLength)
{
    clips.root();
    clips.file(QStringLiteral("a.mp3"));
    engine.clipLength = 185.5;
    controller().OpenClip(2);
    EXPECT_EQ(clips.current, 2);
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_TRUE(panels.transportOn);
    EXPECT_TRUE(panels.pauseOn);
    EXPECT_TRUE(panels.transportOn);
    EXPECT_EQ(panels.clip, "a.mp3");
    EXPECT_EQ(panels.time, "00:03:06");  // 185.5 rounds to 186
    EXPECT_EQ(panels.applies, 1);
    EXPECT_GE(clips.marks, 1);
    EXPECT_EQ(engine.displayWidth(), 2);  // set before the open
}

TEST_F(ControllerTest, ForwardSkipsUncheckedEntriesUncheckedGroupsAndFailures)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("off"), 1, false);
    clips.group(QStringLiteral("hidden"), 2, false);
    clips.file(QStringLiteral("inside"), 3, true);  // checked, but its group is not
    clips.file(QStringLiteral("broken"));
    clips.group(QStringLiteral("shown"), 2);
    clips.file(QStringLiteral("b"), 3);
    engine.failing << QStringLiteral("/clips/broken");
    controller().OpenClip(2);
    controller().press(TransportButton::StepForward);
    EXPECT_EQ(playing(), "b");
    EXPECT_EQ(engine.opened,
              QStringList({"/clips/a", "/clips/broken", "/clips/b"}));
}

TEST_F(ControllerTest, BackwardSkipsTheSameWayAndEndsIdleAtTheRoot)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.group(QStringLiteral("hidden"), 2, false);
    clips.file(QStringLiteral("x"), 3);
    clips.file(QStringLiteral("y"), 3);
    clips.file(QStringLiteral("broken"));
    clips.file(QStringLiteral("b"));
    engine.failing << QStringLiteral("/clips/broken");
    controller().OpenClip(7);
    controller().press(TransportButton::StepBack);
    EXPECT_EQ(playing(), "a");
    controller().press(TransportButton::StepBack);  // from the first clip: the root, then idle
    EXPECT_EQ(clips.current, -1);
    EXPECT_FALSE(panels.transportOn);
    EXPECT_EQ(panels.time, "00:00:00");
    EXPECT_EQ(panels.closes, 0);  // going back never closes
}

TEST_F(ControllerTest, EndOfClipMovesOnOnlyWithAutoNext)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    setSetting(keys::AutoNext, false);
    controller().OpenClip(2);
    controller().onPositionChange(engine.length(), 0);
    EXPECT_EQ(playing(), "a");  // nothing else starts, controls stay
    EXPECT_TRUE(panels.transportOn);
    EXPECT_FALSE(controller().state().playing()) << "the clip has ended: Pause is off, Play starts it again";
    EXPECT_TRUE(controller().state().enabled(TransportButton::Play));
    controller().press(TransportButton::StepForward);  // the user still moves on
    EXPECT_EQ(playing(), "b");
    setSetting(keys::AutoNext, true);
    controller().onPositionChange(59.995, 0);  // end of the last clip
    EXPECT_EQ(clips.current, -1);
    EXPECT_EQ(panels.closes, 0);  // no command line filled the list
}

// Without AutoNext a move the user asks for still walks over groups and
// entries that cannot be opened; an open that fails with nowhere to go
// leaves the transport idle, not lit over nothing.
TEST_F(ControllerTest, UserStepsWalkOverFailuresWithoutAutoNextAndFailuresEndIdle)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.group(QStringLiteral("G"), 2);
    clips.file(QStringLiteral("broken"), 3);
    clips.file(QStringLiteral("b"), 3);
    engine.failing << QStringLiteral("/clips/broken");
    setSetting(keys::AutoNext, false);
    controller().OpenClip(2);
    controller().press(TransportButton::StepForward);
    EXPECT_EQ(playing(), "b");
    EXPECT_TRUE(panels.transportOn);

    controller().OpenClip(4);  // broken, opened directly
    EXPECT_EQ(clips.current, -1);
    EXPECT_FALSE(panels.transportOn);
    EXPECT_FALSE(panels.transportOn);
}

TEST_F(ControllerTest, EndOfListClosesOnlyWhenAutoCloseAndShellStarted)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    controller().setShellStarted();
    controller().OpenClip(2);
    controller().onPositionChange(engine.length(), 0);
    EXPECT_EQ(panels.closes, 1);
    setSetting(keys::AutoClose, false);
    controller().OpenClip(2);
    controller().press(TransportButton::Stop);
    EXPECT_EQ(panels.closes, 1);
    setSetting(keys::AutoClose, true);
    controller().OpenClip(2);
    controller().press(TransportButton::Stop);  // Stop at the end of a command-line list closes too
    EXPECT_EQ(panels.closes, 2);
}

TEST_F(ControllerTest, PlayRestartsWhilePlayingAndResumesWhilePaused)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    controller().OpenClip(2);
    engine.pos = 30;
    controller().press(TransportButton::Play);
    EXPECT_EQ(engine.pos, 0);
    engine.pos = 12;
    controller().press(TransportButton::Pause);
    EXPECT_FALSE(panels.pauseOn);
    controller().press(TransportButton::Play);
    EXPECT_EQ(engine.pos, 12);
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_TRUE(panels.pauseOn);
}

// A restored list's entry is cued: open, at its start, never a sound.
TEST_F(ControllerTest, ACuedClipOpensPausedWithoutASound)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    engine.failing.insert(clips.at(2).path);
    controller().cueClip(2);  // a cannot be opened: b is cued instead
    EXPECT_EQ(playing(), "b");
    EXPECT_EQ(engine.runs, 0);
    EXPECT_EQ(controller().state().phase, PlaybackState::Phase::Paused);
    EXPECT_FALSE(panels.pauseOn);
    controller().press(TransportButton::Play);
    EXPECT_EQ(engine.runs, 1);
    controller().OpenClip(2);  // a plain open plays again
    EXPECT_EQ(engine.runs, 2);
}

// Every road to the transport (buttons, toolbar, tray, keys, media controls,
// command words) presses through press(): a button acts only when enabled.
TEST_F(ControllerTest, ButtonsActOnlyWhenEnabledAndTheStateSaysWhatPlays)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    for (TransportButton b : {TransportButton::Play, TransportButton::Pause, TransportButton::Stop,
                              TransportButton::Back, TransportButton::StepForward})
        EXPECT_FALSE(controller().press(b)) << "nothing is open";
    controller().playPause();
    EXPECT_EQ(engine.state(), MediaEngine::kNothingLoaded);

    controller().OpenClip(2);
    EXPECT_EQ(controller().state().phase, PlaybackState::Phase::Playing);
    EXPECT_EQ(controller().state().clipText, "a");
    EXPECT_TRUE(controller().press(TransportButton::Forward));
    EXPECT_EQ(panels.windsForward, 1);
    controller().playPause();
    EXPECT_EQ(controller().state().phase, PlaybackState::Phase::Paused);
    EXPECT_FALSE(controller().press(TransportButton::Pause)) << "Pause is off while paused";
    controller().playPause();
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);

    // While the next clip opens, the transport keeps showing the one before.
    engine.answer = ScriptedEngine::Answer::Never;
    controller().press(TransportButton::StepForward);
    EXPECT_EQ(controller().state().phase, PlaybackState::Phase::Opening);
    EXPECT_TRUE(controller().state().playing());
    EXPECT_TRUE(panels.pauseOn);
}

TEST_F(ControllerTest, RemovingThePlayingEntryEndsPlayback)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    controller().OpenClip(3);
    clips.entries.erase(clips.entries.begin() + 2);
    controller().playingEntryRemoved();
    EXPECT_EQ(clips.current, -1);
    EXPECT_TRUE(engine.fileName().isEmpty());
    EXPECT_FALSE(panels.transportOn);
}

TEST_F(ControllerTest, DelayedStartOnTheRootPlaysTheFirstClipWhateverAutoNextSays)
{
    clips.root();
    clips.file(QStringLiteral("off"), 1, false);
    clips.file(QStringLiteral("broken"));
    clips.file(QStringLiteral("a"));
    engine.failing << QStringLiteral("/clips/broken");
    setSetting(keys::AutoNext, false);
    controller().startDelayed(1);
    ASSERT_TRUE(test::waitFor([&] { return clips.current != -1; }, 5s));
    EXPECT_EQ(playing(), "a");
}

TEST_F(ControllerTest, DelayedStartDoesNothingWhenSomethingIsLoaded)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    controller().OpenClip(2);
    controller().press(TransportButton::Pause);
    controller().startDelayed(3);
    ASSERT_TRUE(test::waitFor([&] { return !controller().delayedStartPending(); }, 5s));
    EXPECT_EQ(playing(), "a");
}

TEST_F(ControllerTest, ASecondOpenWhileOpeningLeavesExactlyOneClip)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    engine.answer = ScriptedEngine::Answer::Later;
    engine.clipLength = 42;
    controller().OpenClip(2);
    controller().OpenClip(3);
    ASSERT_TRUE(test::waitFor([&] { return clips.current != -1; }, 5s));
    test::settle(50ms);  // let a stale answer arrive, if any
    EXPECT_EQ(playing(), "b");
    EXPECT_EQ(engine.runs, 1);
    EXPECT_EQ(panels.time, "00:00:42");
    EXPECT_FALSE(controller().opening());
}

TEST_F(ControllerTest, EditsOfTheListWhileAClipOpensKeepItsEntry)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    clips.file(QStringLiteral("c"));
    engine.answer = ScriptedEngine::Answer::Later;
    controller().OpenClip(4);
    clips.remove(3);  // b goes before c answers
    ASSERT_TRUE(test::waitFor([&] { return clips.current != -1; }, 5s));
    EXPECT_EQ(clips.current, 3) << "c is current where it is now";
    EXPECT_EQ(clips.at(clips.current).text, "c");

    // The entry being opened goes: it does not play.
    controller().OpenClip(2);
    clips.remove(2);
    ASSERT_TRUE(test::waitFor([&] { return !controller().opening(); }, 5s));
    test::settle(30ms);
    EXPECT_EQ(clips.current, -1);
    EXPECT_TRUE(engine.fileName().isEmpty());
    EXPECT_FALSE(panels.transportOn);
}

TEST_F(ControllerTest, AnOpenThatNeverAnswersIsSkippedAfterTheTimeout)
{
    clips.root();
    clips.file(QStringLiteral("stalled"));
    clips.file(QStringLiteral("b"));
    engine.answer = ScriptedEngine::Answer::Never;
    controller().OpenClip(2);
    EXPECT_TRUE(controller().opening());
    engine.answer = ScriptedEngine::Answer::Now;
    ASSERT_TRUE(test::waitFor([&] { return clips.current != -1; }, 5s));
    EXPECT_EQ(playing(), "b");
}

TEST_F(ControllerTest, HundredThousandUnplayableEntriesCostNoStack)
{
    clips.root();
    clips.file(QStringLiteral("first"));
    for (int i = 0; i < 50000; ++i)
        clips.file(QStringLiteral("u%1").arg(i), 1, false);
    for (int i = 0; i < 50000; ++i) {
        clips.file(QStringLiteral("f%1").arg(i));
        engine.failing << QStringLiteral("/clips/f%1").arg(i);
    }
    clips.file(QStringLiteral("last"));
    controller().OpenClip(2);
    controller().press(TransportButton::StepForward);
    EXPECT_EQ(playing(), "last");
    controller().press(TransportButton::StepBack);
    EXPECT_EQ(playing(), "first");
}

TEST_F(ControllerTest, EndOfClipInFullScreenLeavesItAndShowsThePointer)
{
    clips.root();
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    controller().OpenClip(2);
    engine.full = true;
    controller().onPositionChange(engine.length() - 0.005, 0);
    EXPECT_FALSE(engine.full);
    EXPECT_EQ(panels.pointerShown, 1);
    EXPECT_EQ(playing(), "b");
    controller().onPositionChange(10, 0);  // a seek to 0, not an end
    EXPECT_EQ(playing(), "b");
}

TEST_F(ControllerTest, PlayFromStartSkipsTheRootAndFailuresWhateverAutoNextSays)
{
    clips.root();
    clips.file(QStringLiteral("broken"));
    clips.file(QStringLiteral("a"));
    engine.failing << QStringLiteral("/clips/broken");
    setSetting(keys::AutoNext, false);
    controller().playFromStart();
    EXPECT_EQ(playing(), "a");
}
