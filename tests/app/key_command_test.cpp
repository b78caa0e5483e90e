#include "app/key_command.h"
#include "keys/key_map.h"
#include "settings/settings.h"
#include "playback/controller_fakes.h"
#include "playback/playback_controller.h"
#include "support/test_support.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

struct RecordingHost : KeyCommandHost {
    bool parked = false, pointerHidden = false, onTop = false;
    int fronts = 0, volumeUp = 0, volumeDown = 0;
    bool videoWindowParked() const override { return parked; }
    void setPointerHidden(bool h) override { pointerHidden = h; }
    void bringMainWindowToFront() override { ++fronts; }
    void setVideoOnTop(bool t) override { onTop = t; }
    void pressVolumeUp() override { ++volumeUp; }
    void pressVolumeDown() override { ++volumeDown; }
};

class KeyCommandTest : public ::testing::Test {
protected:
    KeyCommandTest()
    {
        engine.setListener(&forward);
        panels.watch(controller);
        clips.root();
        clips.file(QStringLiteral("a.mp3"));
        clips.file(QStringLiteral("b.mp3"));
    }
    void open(int index) { controller.OpenClip(index); }
    // Each key after the lock-out of the one before.
    void press(int key)
    {
        ASSERT_TRUE(test::waitFor([&] { return !keys.ignoreKeys(); }, 1s)) << "the lock-out ends";
        keys.press(key);
    }

    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
    test::ScriptedEngine engine;
    test::FakeClips clips;
    test::RecordingPanels panels;
    RecordingHost host;
    PlaybackController controller{engine, clips, settings, &panels};
    KeyCommand keys{engine, controller, clips, settings, host};
    test::ControllerForwarder forward{controller};
};

}  // namespace

TEST_F(KeyCommandTest, SpaceTwiceWithin55msTogglesOnce)
{
    open(2);
    keys.press(vk::Space);
    keys.press(vk::Space);
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    EXPECT_FALSE(panels.pauseOn);
    press(vk::Space);
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_TRUE(panels.pauseOn);
}

TEST_F(KeyCommandTest, TransportKeysNeedAnOpenClip)
{
    press(vk::Space);
    press(vk::Escape);
    press(vk::RightBracket);
    press(vk::Comma);
    EXPECT_TRUE(engine.opened.isEmpty());
    EXPECT_EQ(panels.windsBack, 0);
    open(2);
    press(vk::RightBracket);
    EXPECT_EQ(clips.current, 3);
    press(vk::LeftBracket);
    EXPECT_EQ(clips.current, 2);
    press(vk::Period);
    EXPECT_EQ(panels.windsForward, 1);
    press(vk::Escape);
    EXPECT_EQ(clips.current, -1);
}

TEST_F(KeyCommandTest, BackspaceRestartsOnlyWhilePlaying)
{
    open(2);
    engine.pos = 20;
    press(vk::Space);  // paused
    press(vk::Back);
    EXPECT_EQ(engine.pos, 20);
    press(vk::Space);
    press(vk::Back);
    EXPECT_EQ(engine.pos, 0);
}

TEST_F(KeyCommandTest, FullScreenNeedsAPictureAndHidesThePointer)
{
    open(2);
    host.parked = true;  // an audio clip
    press(vk::F);
    EXPECT_FALSE(engine.fullScreen());
    host.parked = false;
    const int runs = engine.runs, pauses = engine.pauses;
    press(vk::F);
    EXPECT_TRUE(engine.fullScreen());
    EXPECT_TRUE(host.pointerHidden);
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_EQ(engine.pauses, pauses) << "the sound goes on without a break";
    press(vk::Space);
    press(vk::F);  // leaving while paused keeps it paused
    EXPECT_FALSE(engine.fullScreen());
    EXPECT_FALSE(host.pointerHidden);
    EXPECT_EQ(host.fronts, 1);
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    EXPECT_EQ(engine.runs, runs) << "not a moment of sound while paused";
}

TEST_F(KeyCommandTest, RememberedPositionsAreKeyedByTextAndLength)
{
    press(vk::S);  // nothing current: nothing stored
    EXPECT_TRUE(store.get(QStringLiteral("Save"), QStringLiteral("a.mp3@60")).isNull());
    open(2);
    press(vk::R);  // nothing remembered yet
    EXPECT_EQ(engine.pos, 0);
    engine.pos = 42.5;
    press(vk::S);
    EXPECT_EQ(store.get(QStringLiteral("Save"), QStringLiteral("a.mp3@60")), "42.5");
    engine.pos = 3;
    press(vk::R);
    EXPECT_EQ(engine.pos, 42.5);
    engine.clipLength = 61;  // same text, other length: another key
    engine.pos = 7;
    press(vk::R);
    EXPECT_EQ(engine.pos, 7);
}

TEST_F(KeyCommandTest, VolumeKeysAndOnTopWorkWithoutAClip)
{
    press(vk::Plus);
    press(vk::NumPlus);
    press(vk::Minus);
    press(vk::T);
    EXPECT_EQ(host.volumeUp, 2);
    EXPECT_EQ(host.volumeDown, 1);
    EXPECT_TRUE(host.onTop);
    press(vk::T);
    EXPECT_FALSE(host.onTop);
}

TEST_F(KeyCommandTest, IgnoreKeysHeldByEditingBlocksEverything)
{
    keys.setIgnoreKeys(true);
    test::settle(80ms);
    keys.press(vk::T);
    EXPECT_FALSE(host.onTop);
    keys.setIgnoreKeys(false);
    keys.press(vk::T);
    EXPECT_TRUE(host.onTop);
}

TEST(KeyMap, PhysicalKeysWinOverTheLayout)
{
    // The key labelled F with a Cyrillic layout: X11 key code 41, Qt key "А".
    EXPECT_EQ(virtualKeyFrom(41, 0x0410), vk::F);
    EXPECT_EQ(virtualKeyFrom(34, 0x0425), vk::LeftBracket);
    EXPECT_EQ(virtualKeyFrom(0, Qt::Key_T), vk::T);  // no native code: Qt's key
    EXPECT_EQ(virtualKeyFrom(0, Qt::Key_A), 0);
    QKeyEvent keypadPlus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(virtualKeyFromEvent(keypadPlus), vk::NumPlus);
}


namespace {

// Shift+S typed quickly: the Shift alone must not lock the S out.
TEST_F(KeyCommandTest, KeysNoCommandUsesDoNotStartTheLockOut)
{
    open(2);
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 50, 0, 0);
    keys.press(virtualKeyFromEvent(shift));
    keys.press(0);
    EXPECT_FALSE(keys.ignoreKeys());
    keys.press(vk::T);
    EXPECT_TRUE(host.onTop);
    EXPECT_TRUE(keys.ignoreKeys()) << "a command key still locks the next one out";
}

}  // namespace
