// The libmpv engine going on to a prepared clip, as heard: marker clips
// played into libmpv's PCM output (a WAV file, written ahead of time, where
// the join must be sample-exact) and into a private PulseAudio null sink
// (played in real time, where a clip whose end is cut loses its end marker).

#include "media/marker_clips.h"
#include "media/mpv_engine.h"
#include "media/recording_listener.h"
#include "media/null_sink.h"
#include "media/wav_levels.h"
#include "support/test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

namespace velmora {
namespace {

using std::chrono::milliseconds;

using Listener = test::RecordingListener;

class MpvGaplessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::setlocale(LC_NUMERIC, "C");
        const QStringList flac{QStringLiteral("-c:a"), QStringLiteral("flac")};
        QString error;
        ASSERT_TRUE(test::makeMarkerClip(a, 1.0, flac, false, &error)) << error.toStdString();
        ASSERT_TRUE(test::makeMarkerClip(b, 1.0, flac, false, &error)) << error.toStdString();
    }

    QTemporaryDir folder;
    const QString a = folder.filePath(QStringLiteral("a.flac"));
    const QString b = folder.filePath(QStringLiteral("b.flac"));
};

TEST_F(MpvGaplessTest, ClipsFollowWithoutASecondOpenAndJoinSampleExactly)
{
    const QString wav = folder.filePath(QStringLiteral("out.wav"));
    Listener listener;
    {
        MpvEngineOptions options;
        options.videoOutput = QStringLiteral("null");
        options.audioOutput = QStringLiteral("pcm");
        options.pcmFile = wav;
        options.extraOptions = {{QStringLiteral("audio-format"), QStringLiteral("float")}};
        MpvEngine engine(options);
        ASSERT_TRUE(engine.isValid());
        engine.setListener(&listener);
        engine.setFileName(a);
        ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
        engine.setNextFileName(b);
        engine.run();

        // PCM output runs ahead of time, so the second clip may have played
        // out too by the time the move is seen.
        ASSERT_TRUE(test::waitFor([&] { return listener.moves == 1 && !listener.changes.empty(); },
                                  milliseconds(8000)));
        EXPECT_EQ(engine.fileName(), b);
        EXPECT_NEAR(engine.length(), 1.0, 0.01);
        EXPECT_EQ(listener.opens, 1);  // no second open
        // The first clip's end was the move; only the second one's is reported.
        ASSERT_EQ(listener.changes.size(), 1u);
        EXPECT_DOUBLE_EQ(listener.changes[0].first, engine.length());
        EXPECT_DOUBLE_EQ(listener.changes[0].second, 0.0);
    }  // the WAV file is complete once the engine is gone

    const auto left = test::readWavChannel(wav);
    ASSERT_TRUE(left.has_value());
    const test::MarkerAnalysis heard = test::analyseMarkers(left->samples, left->rate);
    ASSERT_EQ(heard.clips.size(), 2u);
    for (const test::HeardClip& clip : heard.clips) {
        SCOPED_TRACE(testing::Message() << "clip at " << clip.start << " s");
        EXPECT_TRUE(clip.endMarker) << "its end was cut";
        EXPECT_NEAR(clip.heard, 1.0, 0.005);
    }
    ASSERT_EQ(heard.silencesMs.size(), 1u);
    EXPECT_LE(heard.silencesMs[0], 5.0);
}

TEST_F(MpvGaplessTest, EveryClipIsHeardToItsLastSampleTheLastOneIncluded)
{
    test::NullSink sink;
    ASSERT_TRUE(sink.running()) << sink.daemonLog().toStdString();
    ASSERT_TRUE(sink.startRecording());
    Listener listener;
    {
        MpvEngineOptions options;
        options.videoOutput = QStringLiteral("null");
        options.audioOutput = QStringLiteral("pulse");
        MpvEngine engine(options);
        engine.setListener(&listener);
        engine.setFileName(a);
        ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
        engine.setNextFileName(b);
        engine.run();
        ASSERT_TRUE(test::waitFor([&] { return !listener.changes.empty(); }, milliseconds(10000)));
        EXPECT_EQ(listener.moves, 1);
    }
    const std::vector<float> left = sink.stopRecording();
    const test::MarkerAnalysis heard = test::analyseMarkers(left, test::kMarkerRate);
    ASSERT_EQ(heard.clips.size(), 2u);
    for (const test::HeardClip& clip : heard.clips) {
        SCOPED_TRACE(testing::Message() << "clip at " << clip.start << " s");
        EXPECT_TRUE(clip.endMarker) << "its end was cut";
        EXPECT_NEAR(clip.heard, 1.0, 0.005);
    }
}

}  // namespace
}  // namespace velmora
