// MpvEngine against real clips, headless (no picture output, no sound or the
// sound written to a WAV file and measured).

#include "media/media_clips.h"
#include "media/mpv_engine.h"
#include "media/recording_listener.h"
#include "media/video_outputs.h"
#include "media/wav_levels.h"
#include "support/test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace velmora {
namespace {

using std::chrono::milliseconds;

using test::RecordingListener;

class MpvEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        clips_ = std::make_unique<test::MediaClips>();
        QString error;
        ASSERT_TRUE(test::makeMediaClips(folder_->path(), clips_.get(), &error)) << error.toStdString();
    }
    static void TearDownTestSuite()
    {
        clips_.reset();
        folder_.reset();
    }

    void SetUp() override
    {
        MpvEngineOptions options;
        options.videoOutput = QStringLiteral("null");
        options.audioOutput = QStringLiteral("null");
        options.tickIntervalMs = 50;
        engine_ = std::make_unique<MpvEngine>(options);
        ASSERT_TRUE(engine_->isValid());
        engine_->setListener(&listener_);
    }

    // Opens and waits for the open-complete; true when it came.
    bool open(const QString& path)
    {
        const int before = listener_.opens;
        engine_->setDisplaySize(2, 23);
        engine_->setFileName(path);
        return test::waitFor([&] { return listener_.opens > before; });
    }

    const test::MediaClips& clips() const { return *clips_; }

    RecordingListener listener_;
    std::unique_ptr<MpvEngine> engine_;

private:
    static inline std::unique_ptr<QTemporaryDir> folder_;
    static inline std::unique_ptr<test::MediaClips> clips_;
};

TEST(VideoOutputs, GpuComesFirstOnlyWithARenderNode)
{
    QTemporaryDir dri;
    EXPECT_EQ(defaultVideoOutputs(dri.filePath(QStringLiteral("missing"))), "xv,x11");
    EXPECT_EQ(defaultVideoOutputs(dri.path()), "xv,x11");
    QFile card(dri.filePath(QStringLiteral("card0")));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.close();
    EXPECT_EQ(defaultVideoOutputs(dri.path()), "xv,x11") << "a display node alone is no GPU to render with";
    QFile render(dri.filePath(QStringLiteral("renderD128")));
    ASSERT_TRUE(render.open(QIODevice::WriteOnly));
    render.close();
    EXPECT_EQ(defaultVideoOutputs(dri.path()), "gpu,xv,x11");
}

TEST_F(MpvEngineTest, AudioClipOpensPlaysSeeksAndEnds)
{
    ASSERT_TRUE(open(clips().toneMp3));
    EXPECT_EQ(engine_->fileName(), clips().toneMp3);
    EXPECT_EQ(engine_->state(), MediaEngine::kStopped);
    EXPECT_NEAR(engine_->length(), 3.0, 0.1);
    EXPECT_EQ(engine_->displayWidth(), 2);
    EXPECT_EQ(engine_->displayHeight(), 23);

    engine_->run();
    EXPECT_EQ(engine_->state(), MediaEngine::kPlaying);
    ASSERT_TRUE(test::waitFor([&] { return listener_.ticks >= 2 && engine_->position() > 0.05; }));

    // A jump is reported once the seek is done, from the old position.
    engine_->setPosition(2.4);
    ASSERT_TRUE(test::waitFor([&] { return !listener_.changes.empty(); }));
    EXPECT_LT(listener_.changes[0].first, 2.0);
    EXPECT_DOUBLE_EQ(listener_.changes[0].second, 2.4);

    // The end comes as (length, 0); the clip stays loaded, rewound and stopped.
    ASSERT_TRUE(test::waitFor([&] { return listener_.changes.size() >= 2; }, milliseconds(5000)));
    EXPECT_DOUBLE_EQ(listener_.changes[1].first, engine_->length());
    EXPECT_DOUBLE_EQ(listener_.changes[1].second, 0.0);
    EXPECT_EQ(engine_->state(), MediaEngine::kStopped);
    EXPECT_EQ(engine_->position(), 0.0);
    EXPECT_EQ(engine_->fileName(), clips().toneMp3);
    const int ticksAtEnd = listener_.ticks;

    // Run after the end plays again from the start.
    engine_->run();
    ASSERT_TRUE(test::waitFor([&] { return listener_.ticks > ticksAtEnd + 2; }));
    EXPECT_GT(engine_->position(), 0.0);
    EXPECT_LT(engine_->position(), 1.5);
    EXPECT_EQ(listener_.changes.size(), 2u);  // the rewind itself is not reported
}

TEST_F(MpvEngineTest, VideoClipSizesTheDisplayAndEnds)
{
    ASSERT_TRUE(open(clips().videoMp4));
    EXPECT_EQ(engine_->displayWidth(), 320);
    EXPECT_EQ(engine_->displayHeight(), 240);
    EXPECT_NEAR(engine_->length(), 2.0, 0.1);
    engine_->setPosition(1.5);
    engine_->run();
    ASSERT_TRUE(test::waitFor([&] {
        return !listener_.changes.empty() && listener_.changes.back().second == 0.0 &&
               listener_.changes.back().first == engine_->length();
    }, milliseconds(5000)));

    // The next clip without a picture leaves the display as the host set it.
    ASSERT_TRUE(open(clips().toneOgg));
    EXPECT_EQ(engine_->displayWidth(), 2);
    EXPECT_EQ(engine_->displayHeight(), 23);
}

TEST_F(MpvEngineTest, FailedOpensAnswerWithAnEmptyName)
{
    const QString missing = clips().toneMp3 + QStringLiteral(".gone.mp3");
    for (const QString& path : {clips().emptyMp3, clips().textAvi, missing}) {
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(open(path));
        EXPECT_TRUE(engine_->fileName().isEmpty());
        EXPECT_EQ(engine_->state(), MediaEngine::kNothingLoaded);
        EXPECT_EQ(engine_->length(), 0.0);
        engine_->run();  // ignored with nothing loaded
        EXPECT_EQ(engine_->state(), MediaEngine::kNothingLoaded);
    }
    // A good clip opens after the failures.
    ASSERT_TRUE(open(clips().toneWav));
    EXPECT_EQ(engine_->fileName(), clips().toneWav);
}

TEST_F(MpvEngineTest, OnlyTheLatestOpenIsReported)
{
    engine_->setDisplaySize(2, 23);
    engine_->setFileName(clips().videoMp4);
    engine_->setFileName(clips().textAvi);
    engine_->setFileName(clips().toneMp3);
    ASSERT_TRUE(test::waitFor([&] { return listener_.opens > 0; }));
    test::settle(milliseconds(400));  // let any stray answers come
    EXPECT_EQ(listener_.opens, 1);
    EXPECT_EQ(engine_->fileName(), clips().toneMp3);
    EXPECT_NEAR(engine_->length(), 3.0, 0.1);
    EXPECT_EQ(engine_->displayWidth(), 2);  // not the video's picture

    // Replacing a playing clip: one answer, for the new one.
    engine_->run();
    engine_->setFileName(clips().toneOgg);
    EXPECT_EQ(engine_->state(), MediaEngine::kStopped);
    ASSERT_TRUE(test::waitFor([&] { return listener_.opens == 2; }));
    test::settle(milliseconds(300));
    EXPECT_EQ(listener_.opens, 2);
    EXPECT_EQ(engine_->fileName(), clips().toneOgg);
    EXPECT_TRUE(listener_.changes.empty());  // the replaced clip does not "end"
}

TEST_F(MpvEngineTest, EmptyNameCancelsAnOpenAndUnloads)
{
    engine_->setFileName(clips().videoMp4);
    engine_->setFileName(QString());
    EXPECT_EQ(engine_->state(), MediaEngine::kNothingLoaded);
    test::settle(milliseconds(500));
    EXPECT_EQ(listener_.opens, 0);
    EXPECT_TRUE(engine_->fileName().isEmpty());

    ASSERT_TRUE(open(clips().toneMp3));
    engine_->run();
    engine_->setFileName(QString());
    EXPECT_EQ(engine_->state(), MediaEngine::kNothingLoaded);
    EXPECT_EQ(engine_->length(), 0.0);
    const int ticks = listener_.ticks;
    test::settle(milliseconds(300));
    EXPECT_EQ(listener_.ticks, ticks);  // no ticks with nothing loaded
}

TEST_F(MpvEngineTest, PauseHoldsAndStopRewinds)
{
    ASSERT_TRUE(open(clips().toneMp3));
    engine_->run();
    ASSERT_TRUE(test::waitFor([&] { return engine_->position() > 0.2; }));
    engine_->pause();
    EXPECT_EQ(engine_->state(), MediaEngine::kPaused);
    // The pause reaches libmpv a moment later; then the position holds.
    double held = -1;
    ASSERT_TRUE(test::waitFor([&] {
        test::settle(milliseconds(100));
        const bool still = engine_->position() == held;
        held = engine_->position();
        return still;
    }));
    const int ticks = listener_.ticks;
    test::settle(milliseconds(300));
    EXPECT_NEAR(engine_->position(), held, 0.05);  // playing would have moved it 0.3 s
    EXPECT_EQ(listener_.ticks, ticks);

    engine_->stop();
    EXPECT_EQ(engine_->state(), MediaEngine::kStopped);
    EXPECT_EQ(engine_->position(), 0.0);
    EXPECT_EQ(engine_->fileName(), clips().toneMp3);
    test::settle(milliseconds(300));
    EXPECT_EQ(engine_->position(), 0.0);
    EXPECT_TRUE(listener_.changes.empty());
}

// Volume and balance as heard: the sound goes to a WAV file, whose channel
// levels are compared with the same clip played at full volume, centred.
class MpvEngineOutputTest : public MpvEngineTest {
protected:
    void SetUp() override {}

    struct Setting {
        int volume = 0;
        int balance = 0;
        bool balanceWhileOpen = false;  // changed on the open clip, not before opening
        double seekTo = -1;             // a seek after the balance, before playing
    };

    // The sound into a WAV file, written ahead of time.
    static MpvEngineOptions pcmOptions(const QString& wav)
    {
        MpvEngineOptions options;
        options.videoOutput = QStringLiteral("null");
        options.audioOutput = QStringLiteral("pcm");
        options.pcmFile = wav;
        options.extraOptions = {{QStringLiteral("audio-format"), QStringLiteral("float")}};
        return options;
    }

    std::vector<double> playAndMeasure(const Setting& setting)
    {
        QTemporaryDir out;
        const QString wav = out.filePath(QStringLiteral("out.wav"));
        {
            MpvEngine engine(pcmOptions(wav));
            RecordingListener listener;
            engine.setListener(&listener);
            engine.setVolume(setting.volume);
            if (!setting.balanceWhileOpen)
                engine.setBalance(setting.balance);
            engine.setFileName(clips().stereoWav);
            if (!test::waitFor([&] { return listener.opens == 1; }))
                return {};
            if (setting.balanceWhileOpen)
                engine.setBalance(setting.balance);
            if (setting.seekTo >= 0) {
                engine.setPosition(setting.seekTo);
                if (!test::waitFor([&] { return listener.changes.size() == 1; }))
                    return {};
            }
            const std::size_t changes = listener.changes.size();
            engine.run();
            if (!test::waitFor([&] { return listener.changes.size() > changes; }, milliseconds(8000)))
                return {};
        }  // the WAV file is complete once the engine is gone
        // Skip the start: the sound made ready before a change on the open
        // clip (here up to libmpv's 1.5 s PCM buffer) keeps the old balance.
        return test::channelLevelsDb(wav, 3.0, 5.8).value_or(std::vector<double>{});
    }
};

TEST_F(MpvEngineOutputTest, VolumeAndBalanceReachTheOutput)
{
    const std::vector<double> reference = playAndMeasure({});
    ASSERT_EQ(reference.size(), 2u);
    EXPECT_NEAR(reference[0], reference[1], 0.01);

    struct Case {
        Setting setting;
        double leftDb, rightDb;  // expected change from the reference
    };
    const Case cases[] = {
        {{-600, 0, false}, -6.0, -6.0},      // volume alone
        {{0, 1000, false}, -10.0, 0.0},      // to the right: the left is lowered
        {{-300, -2000, false}, -3.0, -23.0},  // to the left, quieter
        {{0, 4000, true}, -40.0, 0.0},       // changed on the open clip
        {{-1200, -500, true}, -12.0, -17.0},
        {{0, -3000, true, 0.2}, 0.0, -30.0},  // kept through the seek that follows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.setting.volume << " balance " << c.setting.balance);
        const std::vector<double> levels = playAndMeasure(c.setting);
        ASSERT_EQ(levels.size(), 2u);
        EXPECT_NEAR(levels[0] - reference[0], c.leftDb, 0.05);
        EXPECT_NEAR(levels[1] - reference[1], c.rightDb, 0.05);
    }
}

// The clip prepared to follow was appended with the balance of that moment;
// a balance changed afterwards must be the one heard after the move.
TEST_F(MpvEngineOutputTest, ABalanceChangedAfterTheNextClipWasPreparedIsHeardInIt)
{
    QTemporaryDir out;
    const QString wav = out.filePath(QStringLiteral("out.wav"));
    {
        MpvEngine engine(pcmOptions(wav));
        RecordingListener listener;
        engine.setListener(&listener);
        engine.setFileName(clips().stereoWav);
        ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
        engine.setNextFileName(clips().stereoWav);
        test::settle(milliseconds(300));
        engine.setBalance(-4000);
        test::settle(milliseconds(800));  // the knob rests
        engine.run();
        ASSERT_TRUE(test::waitFor([&] { return listener.moves == 1 && !listener.changes.empty(); },
                                  milliseconds(15000)));
    }
    const std::vector<double> second = test::channelLevelsDb(wav, 7.0, 11.0).value_or(std::vector<double>{});
    ASSERT_EQ(second.size(), 2u);
    EXPECT_NEAR(second[1] - second[0], -40.0, 0.1);
}

}  // namespace
}  // namespace velmora
