// The controller with a clip prepared to follow: what it hands the engine,
// and how it completes the engine's own move to it.

#include "playback/playback_controller.h"

#include "playback/controller_fakes.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class GaplessTest : public ::testing::Test {
protected:
    GaplessTest()
    {
        clips.root();
        panels.watch(controller);
        engine.setListener(&forward);
    }
    QString playing() const { return clips.current > 0 ? clips.at(clips.current).text : QString(); }
    static QString path(const char* name) { return QStringLiteral("/clips/") + QLatin1String(name); }
    // Lets the coalesced check after an edit run.
    void settleUntil(const std::function<bool()>& done)
    {
        QDeadlineTimer deadline(2000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
    test::ScriptedEngine engine;
    test::FakeClips clips;
    test::RecordingPanels panels;
    PlaybackController controller{engine, clips, settings, &panels};
    test::ControllerForwarder forward{controller};
};

}  // namespace

TEST_F(GaplessTest, TheEnginesMoveCompletesLikeAnOpenWithoutASecondOne)
{
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("off"), 1, false);
    clips.group(QStringLiteral("hidden"), 2, false);
    clips.file(QStringLiteral("inside"), 3);  // checked, but its group is not
    clips.group(QStringLiteral("shown"), 2);
    clips.file(QStringLiteral("b"), 3);
    controller.OpenClip(2);
    EXPECT_EQ(engine.next, path("b"));

    engine.clipLength = 125;
    engine.full = true;
    panels.clip.clear();
    panels.time.clear();
    const int parks = panels.parks, applies = panels.applies;
    int started = 0;
    QObject::connect(&controller, &PlaybackController::clipStarted, [&](int index) { started = index; });
    engine.moveOn();
    EXPECT_EQ(playing(), "b");
    EXPECT_EQ(started, 7);
    EXPECT_EQ(engine.opened, QStringList{path("a")});  // no second open
    EXPECT_EQ(panels.clip, "b");
    EXPECT_EQ(panels.time, "00:02:05");
    EXPECT_TRUE(panels.transportOn);
    EXPECT_EQ(controller.state().phase, PlaybackState::Phase::Playing);
    EXPECT_FALSE(engine.full);  // out of full screen, the window parked
    EXPECT_EQ(panels.parks, parks + 1);
    EXPECT_EQ(panels.applies, applies + 1);  // volume and balance carried over

    // The last clip: nothing follows, and its end ends playback.
    EXPECT_TRUE(engine.next.isEmpty());
    engine.moveOn();
    EXPECT_EQ(clips.current, -1);
    EXPECT_FALSE(panels.transportOn);
}

TEST_F(GaplessTest, EditsChecksAndStepsReplaceThePreparedClip)
{
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    clips.file(QStringLiteral("c"));
    clips.file(QStringLiteral("d"));
    controller.OpenClip(2);
    ASSERT_EQ(engine.next, path("b"));

    clips.entries[2].checked = false;  // b
    controller.nextMayHaveChanged();
    settleUntil([&] { return engine.next == path("c"); });
    EXPECT_EQ(engine.next, path("c"));

    clips.remove(4);  // c
    controller.nextMayHaveChanged();
    settleUntil([&] { return engine.next == path("d"); });
    EXPECT_EQ(engine.next, path("d"));

    // A step of the user opens the next entry; at the end nothing follows
    // until an entry is added.
    controller.press(TransportButton::StepForward);
    EXPECT_EQ(playing(), "d");
    EXPECT_TRUE(engine.next.isEmpty());
    clips.file(QStringLiteral("e"));
    controller.nextMayHaveChanged();
    settleUntil([&] { return engine.next == path("e"); });
    EXPECT_EQ(engine.next, path("e"));

    // An edit in the moment of the move: the engine went on to an entry the
    // list no longer wants; a walk from the clip that ended corrects it.
    clips.entries.back().checked = false;  // e
    clips.file(QStringLiteral("f"));
    controller.nextMayHaveChanged();
    engine.moveOn();
    EXPECT_EQ(playing(), "f");
    EXPECT_EQ(engine.opened.last(), path("f"));
}

TEST_F(GaplessTest, NothingIsPreparedWithoutAutoNextAndTheTickNoticesTheSetting)
{
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    settings.setFlag(keys::AutoNext, false);
    controller.OpenClip(2);
    EXPECT_TRUE(engine.next.isEmpty());
    engine.moveOn();  // the end of the clip: it stays
    EXPECT_EQ(playing(), "a");
    EXPECT_TRUE(panels.transportOn);

    engine.run();
    settings.setFlag(keys::AutoNext, true);
    controller.onTick();
    EXPECT_EQ(engine.next, path("b"));
    settings.setFlag(keys::AutoNext, false);
    controller.onTick();
    EXPECT_TRUE(engine.next.isEmpty());
}

TEST_F(GaplessTest, APreparedClipThatFailsIsSkippedAsAFailedOpen)
{
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("broken"));
    clips.file(QStringLiteral("c"));
    engine.failing << path("broken");
    controller.OpenClip(2);
    ASSERT_EQ(engine.next, path("broken"));
    engine.moveOn();
    EXPECT_EQ(playing(), "c");
    EXPECT_EQ(engine.opened, (QStringList{path("a"), path("broken"), path("c")}));
    EXPECT_EQ(engine.next, QString());
}

TEST_F(GaplessTest, StopDropsThePreparedClipAndALateMoveIsIgnored)
{
    clips.file(QStringLiteral("a"));
    clips.file(QStringLiteral("b"));
    controller.OpenClip(2);
    ASSERT_EQ(engine.next, path("b"));
    controller.press(TransportButton::Stop);
    EXPECT_TRUE(engine.next.isEmpty());
    EXPECT_EQ(clips.current, -1);
    controller.onMovedOn();  // reported before the stop reached the engine
    EXPECT_EQ(clips.current, -1);
    EXPECT_EQ(engine.opened, QStringList{path("a")});
    EXPECT_FALSE(panels.transportOn);
}
