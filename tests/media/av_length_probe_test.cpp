// Clip lengths through libavformat: the single-file reader and the pool.

#include "media/av_length_probe.h"
#include "media/media_clips.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace velmora {
namespace {

using std::chrono::milliseconds;
using Source = ClipLengthReader::Source;

struct Answer {
    std::uint64_t id;
    std::optional<double> seconds;
};

class LengthTest : public ::testing::Test {
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
    const test::MediaClips& clips() const { return *clips_; }
    QString folder() const { return folder_->path(); }

    // Every clip with the length it has; nullopt for those that cannot be measured.
    std::vector<std::pair<QString, std::optional<double>>> expectations() const
    {
        return {
            {clips().toneMp3, 3.0},
            {clips().vbrMp3, clips().vbrSeconds},
            {clips().toneOgg, 3.0},
            {clips().toneWav, 3.0},
            {clips().wavNamedMp3, 3.0},
            {clips().videoMp4, 2.0},
            {clips().emptyMp3, std::nullopt},
            {clips().textAvi, std::nullopt},
            {clips().toneMp3 + QStringLiteral(".missing.mp3"), std::nullopt},
            {QString(), std::nullopt},
        };
    }

private:
    static inline std::unique_ptr<QTemporaryDir> folder_;
    static inline std::unique_ptr<test::MediaClips> clips_;
};

TEST_F(LengthTest, ReaderMeasuresEveryKindOfClip)
{
    const ClipLengthReader reader;
    for (const auto& [path, expected] : expectations()) {
        SCOPED_TRACE(path.toStdString());
        const ClipLengthReader::Result result = reader.measure(path);
        ASSERT_EQ(result.seconds.has_value(), expected.has_value());
        if (expected) {
            EXPECT_NEAR(*result.seconds, *expected, 1.0);
        }
    }
}

TEST_F(LengthTest, OnlyAnEstimatedLengthIsScanned)
{
    const ClipLengthReader reader;
    // The bit-rate estimate of this VBR file is about twice its length.
    const ClipLengthReader::Result vbr = reader.measure(clips().vbrMp3);
    EXPECT_EQ(vbr.source, Source::PacketScan);
    ASSERT_TRUE(vbr.seconds);
    EXPECT_NEAR(*vbr.seconds, clips().vbrSeconds, 0.1);
    // Headers that state the length are taken as they are.
    for (const QString& path : {clips().toneMp3, clips().toneOgg, clips().toneWav, clips().videoMp4}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(reader.measure(path).source, Source::Header);
    }
}

TEST_F(LengthTest, ReaderStopsWhenInterrupted)
{
    const ClipLengthReader reader;
    int polls = 0;
    const ClipLengthReader::Result result = reader.measure(clips().vbrMp3, [&] { return ++polls > 0; });
    EXPECT_FALSE(result.seconds);
    EXPECT_GT(polls, 0);
}

TEST_F(LengthTest, PoolAnswersInRequestOrder)
{
    AvLengthProbe::Options options;
    options.window = 8;  // smaller than the requests, so the window must move on
    AvLengthProbe probe(options);
    std::vector<Answer> answers;
    probe.setResultHandler([&](std::uint64_t id, std::optional<double> seconds) { answers.push_back({id, seconds}); });

    const auto expected = expectations();
    const std::uint64_t total = 300;
    for (std::uint64_t id = 0; id < total; ++id)
        probe.request(id, expected[id % expected.size()].first);
    EXPECT_EQ(probe.outstanding(), int(total));
    ASSERT_TRUE(test::waitFor([&] { return answers.size() == total; }, milliseconds(30000)));
    EXPECT_EQ(probe.outstanding(), 0);
    for (std::uint64_t id = 0; id < total; ++id) {
        SCOPED_TRACE(id);
        ASSERT_EQ(answers[id].id, id);
        const auto& want = expected[id % expected.size()].second;
        ASSERT_EQ(answers[id].seconds.has_value(), want.has_value());
        if (want) {
            EXPECT_NEAR(*answers[id].seconds, *want, 1.0);
        }
    }
}

TEST_F(LengthTest, CancelAllDropsEveryAnswerNotYetGiven)
{
    AvLengthProbe probe;
    std::vector<Answer> answers;
    probe.setResultHandler([&](std::uint64_t id, std::optional<double> seconds) { answers.push_back({id, seconds}); });
    for (std::uint64_t id = 0; id < 500; ++id)
        probe.request(id, clips().vbrMp3);
    probe.cancelAll();
    EXPECT_EQ(probe.outstanding(), 0);
    probe.request(1000, clips().toneWav);
    ASSERT_TRUE(test::waitFor([&] { return !answers.empty(); }));
    test::settle(milliseconds(200));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].id, 1000u);
    EXPECT_NEAR(answers[0].seconds.value_or(0), 3.0, 0.01);
}

TEST_F(LengthTest, HandlerMayCancelTheRest)
{
    AvLengthProbe probe;
    std::vector<Answer> answers;
    probe.setResultHandler([&](std::uint64_t id, std::optional<double> seconds) {
        answers.push_back({id, seconds});
        probe.cancelAll();
    });
    for (std::uint64_t id = 0; id < 50; ++id)
        probe.request(id, clips().toneWav);
    ASSERT_TRUE(test::waitFor([&] { return !answers.empty(); }));
    test::settle(milliseconds(300));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].id, 0u);
    EXPECT_EQ(probe.outstanding(), 0);
}

TEST_F(LengthTest, DestroyingWithWorkQueuedDeliversNothingMore)
{
    // Larger files so that measurements are still running when it goes.
    const QString big = folder() + QStringLiteral("/long-vbr.mp3");
    ASSERT_TRUE(test::runFfmpeg({"-f", "lavfi", "-i", "anoisesrc=d=120:a=0.5", "-c:a", "libmp3lame", "-q:a", "0",
                                 "-write_xing", "0", big}));
    int answers = 0;
    {
        AvLengthProbe probe;
        probe.setResultHandler([&](std::uint64_t, std::optional<double>) { ++answers; });
        for (std::uint64_t id = 0; id < 2000; ++id)
            probe.request(id, big);
    }
    test::settle(milliseconds(200));
    EXPECT_EQ(answers, 0);
}

}  // namespace
}  // namespace velmora
