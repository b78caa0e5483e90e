#include "app/command_handler.h"
#include "app/settings.h"
#include "playback/controller_fakes.h"
#include "support/test_support.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

class CommandHandlerTest : public ::testing::Test {
protected:
    CommandHandlerTest()
    {
        engine.setListener(&forward);
        engine.answer = test::ScriptedEngine::Answer::Later;
        CommandHandler::Playlist list;
        list.count = [this] { return clips.count(); };
        list.currentIndex = [this] { return clips.current; };
        list.addPaths = [this](const QStringList& paths) {
            for (const QString& p : paths) {
                if (clips.entries.empty())
                    clips.root();
                clips.entries.push_back({p.section(QLatin1Char('/'), -1), p, true, 1});
                added << p;
            }
            if (onAdd)
                onAdd();
        };
        list.startMeasuring = [this] { ++measuringStarts; };
        handler = std::make_unique<CommandHandler>(controller, panels, settings, list);
    }
    QString file(const QString& name) { return test::writeFile(home.file(QStringLiteral("c/") + name), "x"); }
    static QString quoted(const QString& p) { return QLatin1Char('"') + p + QLatin1Char('"'); }

    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
    test::ScriptedEngine engine;
    test::FakeClips clips;
    test::RecordingPanels panels;
    PlaybackController controller{engine, clips, settings, {&panels, &panels, &panels, &panels},
                                  PlaybackController::Options{std::chrono::milliseconds(10000), 10ms}};
    test::ControllerForwarder forward{controller};
    std::unique_ptr<CommandHandler> handler;
    QStringList added;
    int measuringStarts = 0;
    std::function<void()> onAdd;
};

}  // namespace

TEST_F(CommandHandlerTest, TransportWordsMatchWholeTextInAnyCase)
{
    const QString a = file(QStringLiteral("a.mp3"));
    handler->submit(quoted(a));
    ASSERT_TRUE(test::waitFor([&] { return clips.current == 2; }, 5s));
    handler->submit(QStringLiteral("PAUSE"));
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    handler->submit(QStringLiteral("Play"));
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    // "play " is a path, not the word: nothing of that name, so nothing happens.
    handler->submit(QStringLiteral("play "));
    EXPECT_EQ(added.size(), 1);
}

TEST_F(CommandHandlerTest, TransportWordsOfDisabledButtonsAreIgnored)
{
    handler->submit(QStringLiteral("forward"));
    handler->submit(QStringLiteral("play"));
    EXPECT_EQ(engine.runs, 0);
    EXPECT_TRUE(engine.opened.isEmpty());
}

TEST_F(CommandHandlerTest, AFailingTokenEndsTheMessage)
{
    const QString a = file(QStringLiteral("a one.mp3"));
    const QString b = file(QStringLiteral("b.mp3"));
    handler->submit(quoted(a) + QStringLiteral(" \"/no/such/file.mp3\" ") + quoted(b));
    EXPECT_EQ(added, QStringList{a});
    EXPECT_EQ(measuringStarts, 1);
}

TEST_F(CommandHandlerTest, AFolderAddsItsOwnFilesInNameOrder)
{
    file(QStringLiteral("b.mp3"));
    file(QStringLiteral("a.mp3"));
    test::writeFile(home.file(QStringLiteral("c/sub/inner.mp3")), "x");
    handler->submit(quoted(home.file(QStringLiteral("c"))));
    EXPECT_EQ(added, QStringList({home.file(QStringLiteral("c/a.mp3")), home.file(QStringLiteral("c/b.mp3"))}));
}

TEST_F(CommandHandlerTest, FillingAnEmptyListStartsPlaybackOnceAndArmsAutoClose)
{
    const QString a = file(QStringLiteral("a.mp3"));
    const QString b = file(QStringLiteral("b.mp3"));
    handler->submit(quoted(a) + QLatin1Char(' ') + quoted(b));
    EXPECT_TRUE(controller.shellStarted());
    EXPECT_EQ(controller.startIndex(), 1);  // the root: the start walks on to a
    ASSERT_TRUE(test::waitFor([&] { return clips.current == 2; }, 5s));
    controller.stopPressed();  // nothing plays now
    // A later command line never starts playback by itself once ShellStarted is set.
    handler->submit(quoted(file(QStringLiteral("c.mp3"))));
    EXPECT_FALSE(controller.delayedStartPending());
}

TEST_F(CommandHandlerTest, AddingToAListThatHasEntriesStartsTheFirstNewOne)
{
    settings.setFlag(keys::AutoClose, false);
    clips.root();
    clips.file(QStringLiteral("old.mp3"));
    handler->submit(quoted(file(QStringLiteral("new.mp3"))));
    EXPECT_FALSE(controller.shellStarted());
    EXPECT_EQ(controller.startIndex(), 3);
    ASSERT_TRUE(test::waitFor([&] { return clips.current != -1; }, 5s));
    EXPECT_EQ(clips.at(clips.current).text, "new.mp3");
}

TEST_F(CommandHandlerTest, NoAutoPlayNoStart)
{
    settings.setFlag(keys::AutoPlay, false);
    handler->submit(quoted(file(QStringLiteral("a.mp3"))));
    EXPECT_FALSE(controller.delayedStartPending());
    EXPECT_TRUE(controller.shellStarted());
}

TEST_F(CommandHandlerTest, ACommandLineArrivingDuringAHandlingWaitsItsTurn)
{
    const QString a = file(QStringLiteral("a.mp3"));
    const QString b = file(QStringLiteral("b.mp3"));
    const QString c = file(QStringLiteral("c.mp3"));
    bool nested = false;
    onAdd = [&] {
        if (nested)
            return;
        nested = true;
        handler->submit(quoted(c));  // as if it came in while this one waits
        EXPECT_EQ(added.last(), a);  // not handled inside
    };
    handler->submit(quoted(a) + QLatin1Char(' ') + quoted(b));
    EXPECT_EQ(added, QStringList({a, b, c}));
    EXPECT_FALSE(handler->busy());
}
