#include "app/command_handler.h"
#include "playlist/adding/folder_walker.h"
#include "settings/settings.h"
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
        // The program's road: the folder walk, off this thread.
        list.addToken = [this](const QString& path, std::function<void(bool)> done) {
            auto named = std::make_shared<bool>(true);
            FolderWalker::Callbacks callbacks;
            callbacks.unresolved = [named](const QString&) { *named = false; };
            callbacks.finished = [named, done = std::move(done)](int) { done(*named); };
            walker.add({{AddSource::Kind::CommandToken, path, 1}}, FileFilter::everyFile(), sink, std::move(callbacks));
        };
        list.startMeasuring = [this] { ++measuringStarts; };
        handler = std::make_unique<CommandHandler>(controller, settings, list);
    }
    QString file(const QString& name) { return test::writeFile(home.file(QStringLiteral("c/") + name), "x"); }
    // Hands the text over and waits until its last token is in.
    void submit(const QString& text)
    {
        handler->submit(text);
        ASSERT_TRUE(test::waitFor([&] { return !handler->busy(); }, 5s));
    }
    static QString quoted(const QString& p) { return QLatin1Char('"') + p + QLatin1Char('"'); }

    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
    test::ScriptedEngine engine;
    test::FakeClips clips;
    test::RecordingPanels panels;
    PlaybackController controller{engine, clips, settings, &panels,
                                  PlaybackController::Options{std::chrono::milliseconds(10000), 10ms}};
    test::ControllerForwarder forward{controller};
    struct Sink : FolderTreeSink {
        CommandHandlerTest& t;
        explicit Sink(CommandHandlerTest& test) : t(test) {}
        int appendGroup(const QString&, int, std::int32_t) override { return 0; }
        int addPath(const QString& p, int deep) override
        {
            if (t.clips.entries.empty())
                t.clips.root();
            t.clips.entries.push_back({p.section(QLatin1Char('/'), -1), p, true, deep});
            t.added << p;
            if (t.onAdd)
                t.onAdd();
            return 1;
        }
    } sink{*this};
    FolderWalker walker;
    std::unique_ptr<CommandHandler> handler;
    QStringList added;
    int measuringStarts = 0;
    std::function<void()> onAdd;
};

}  // namespace

TEST_F(CommandHandlerTest, TransportWordsMatchWholeTextInAnyCase)
{
    const QString a = file(QStringLiteral("a.mp3"));
    submit(quoted(a));
    ASSERT_TRUE(test::waitFor([&] { return clips.current == 2; }, 5s));
    submit(QStringLiteral("PAUSE"));
    EXPECT_EQ(engine.state(), MediaEngine::kPaused);
    submit(QStringLiteral("Play"));
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    // "play " is a path, not the word: nothing of that name, so nothing happens.
    submit(QStringLiteral("play "));
    EXPECT_EQ(added.size(), 1);
}

TEST_F(CommandHandlerTest, TransportWordsOfDisabledButtonsAreIgnored)
{
    submit(QStringLiteral("forward"));
    submit(QStringLiteral("play"));
    EXPECT_EQ(engine.runs, 0);
    EXPECT_TRUE(engine.opened.isEmpty());
}

TEST_F(CommandHandlerTest, APathThatNamesNothingBringsNothingAndTheRestArrives)
{
    const QString a = file(QStringLiteral("a one.mp3"));
    const QString b = file(QStringLiteral("b.mp3"));
    // First on a fresh start: the delayed start plays the first that arrived.
    submit(QStringLiteral("\"/no/such/x.mp3\" ") + quoted(a) + QStringLiteral(" \"/no/such/file.mp3\" ") + quoted(b));
    EXPECT_EQ(added, QStringList({a, b}));
    EXPECT_EQ(measuringStarts, 2);
    EXPECT_TRUE(controller.shellStarted());
    ASSERT_TRUE(test::waitFor([&] { return clips.current == 2; }, 5s));
    EXPECT_EQ(engine.opened.value(0), a);
}

TEST_F(CommandHandlerTest, AFolderAddsItsOwnFilesInNameOrder)
{
    file(QStringLiteral("b.mp3"));
    file(QStringLiteral("a.mp3"));
    test::writeFile(home.file(QStringLiteral("c/sub/inner.mp3")), "x");
    submit(quoted(home.file(QStringLiteral("c"))));
    EXPECT_EQ(added, QStringList({home.file(QStringLiteral("c/a.mp3")), home.file(QStringLiteral("c/b.mp3"))}));
}

TEST_F(CommandHandlerTest, FillingAnEmptyListStartsPlaybackOnceAndArmsAutoClose)
{
    const QString a = file(QStringLiteral("a.mp3"));
    const QString b = file(QStringLiteral("b.mp3"));
    submit(quoted(a) + QLatin1Char(' ') + quoted(b));
    EXPECT_TRUE(controller.shellStarted());
    EXPECT_EQ(controller.startIndex(), 1);  // the root: the start walks on to a
    ASSERT_TRUE(test::waitFor([&] { return clips.current == 2; }, 5s));
    controller.press(TransportButton::Stop);  // nothing plays now
    // A later command line never starts playback by itself once ShellStarted is set.
    submit(quoted(file(QStringLiteral("c.mp3"))));
    EXPECT_FALSE(controller.delayedStartPending());
}

TEST_F(CommandHandlerTest, AddingToAListThatHasEntriesStartsTheFirstNewOne)
{
    settings.setFlag(keys::AutoClose, false);
    clips.root();
    clips.file(QStringLiteral("old.mp3"));
    submit(quoted(file(QStringLiteral("new.mp3"))));
    EXPECT_FALSE(controller.shellStarted());
    EXPECT_EQ(controller.startIndex(), 3);
    ASSERT_TRUE(test::waitFor([&] { return clips.current != -1; }, 5s));
    EXPECT_EQ(clips.at(clips.current).text, "new.mp3");
}

TEST_F(CommandHandlerTest, NoAutoPlayNoStart)
{
    settings.setFlag(keys::AutoPlay, false);
    submit(quoted(file(QStringLiteral("a.mp3"))));
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
    submit(quoted(a) + QLatin1Char(' ') + quoted(b));
    EXPECT_EQ(added, QStringList({a, b, c}));
    EXPECT_FALSE(handler->busy());
}
