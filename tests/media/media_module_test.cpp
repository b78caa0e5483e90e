// The media module loaded at run time, and the stand-ins that bridge the wait.

#include "media/deferred_length_probe.h"
#include "media/deferred_media_engine.h"
#include "media/fake_engine.h"
#include "media/media_clips.h"
#include "media/media_module.h"
#include "support/test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

using std::chrono::milliseconds;

struct CountingListener : MediaEngineListener {
    int opens = 0;
    void engineOpenComplete() override { ++opens; }
    void engineMovedOn() override {}
    void enginePositionChange(double, double) override {}
    void engineTick() override {}
    void engineKeyPressed(int, int) override {}
};

MediaModule::Options headlessModule(const QString& file)
{
    MediaModule::Options options;
    options.moduleFile = file;
    options.engine.videoOutput = QStringLiteral("null");
    options.engine.audioOutput = QStringLiteral("null");
    return options;
}

TEST(MediaModuleTest, OpenAskedForBeforeLoadingPlaysOnceLoaded)
{
    QTemporaryDir folder;
    test::MediaClips clips;
    ASSERT_TRUE(test::makeMediaClips(folder.path(), &clips));

    MediaModule module(headlessModule(QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so")));
    CountingListener listener;
    std::vector<std::pair<std::uint64_t, std::optional<double>>> lengths;
    MediaEngine& engine = module.engine();
    LengthProbe& probe = module.lengthProbe();
    engine.setListener(&listener);
    probe.setResultHandler([&](std::uint64_t id, std::optional<double> s) { lengths.emplace_back(id, s); });

    engine.setFileName(clips.toneMp3);
    probe.request(7, clips.videoMp4);
    probe.request(8, clips.textAvi);
    EXPECT_EQ(engine.state(), MediaEngine::kStopped);  // opening, not "nothing loaded"
    EXPECT_EQ(engine.fileName(), clips.toneMp3);
    EXPECT_EQ(probe.outstanding(), 2);

    module.startLoading();
    ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1 && lengths.size() == 2; }, milliseconds(20000)));
    EXPECT_EQ(module.status(), MediaModule::Status::Ready);
    EXPECT_EQ(engine.fileName(), clips.toneMp3);
    EXPECT_NEAR(engine.length(), 3.0, 0.1);
    engine.run();
    EXPECT_EQ(engine.state(), MediaEngine::kPlaying);
    EXPECT_EQ(lengths[0].first, 7u);
    EXPECT_NEAR(lengths[0].second.value_or(0), 2.0, 0.1);
    EXPECT_EQ(lengths[1].first, 8u);
    EXPECT_FALSE(lengths[1].second);
}

TEST(MediaModuleTest, MissingModuleFailsEveryOpenAndLength)
{
    MediaModule module(headlessModule(QStringLiteral(VELMORA_BUILD_DIR "/no-such-module.so")));
    CountingListener listener;
    std::vector<std::pair<std::uint64_t, std::optional<double>>> lengths;
    module.engine().setListener(&listener);
    module.lengthProbe().setResultHandler(
        [&](std::uint64_t id, std::optional<double> s) { lengths.emplace_back(id, s); });

    module.engine().setFileName(QStringLiteral("/music/a.mp3"));
    module.lengthProbe().request(1, QStringLiteral("/music/a.mp3"));
    module.startLoading();
    ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
    EXPECT_EQ(module.status(), MediaModule::Status::Failed);
    EXPECT_TRUE(module.engine().fileName().isEmpty());
    EXPECT_EQ(module.engine().state(), MediaEngine::kNothingLoaded);

    module.engine().setFileName(QStringLiteral("/music/b.mp3"));
    module.lengthProbe().request(2, QStringLiteral("/music/b.mp3"));
    ASSERT_TRUE(test::waitFor([&] { return listener.opens == 2 && lengths.size() == 2; }));
    EXPECT_TRUE(module.engine().fileName().isEmpty());
    EXPECT_EQ(lengths[0].first, 1u);
    EXPECT_EQ(lengths[1].first, 2u);
    EXPECT_FALSE(lengths[0].second || lengths[1].second);
}

TEST(MediaModuleTest, DestroyedWhileLoading)
{
    MediaModule module(headlessModule(QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so")));
    module.startLoading();
    // Goes out of scope at once: the destructor waits for the loader and
    // frees what it made.
}

TEST(DeferredMediaEngineTest, HandsOverWhatWasAskedInOrder)
{
    DeferredMediaEngine deferred;
    CountingListener listener;
    int handlerCalls = 0;
    deferred.setListener(&listener);
    deferred.setFullScreenHandler([&](bool) { ++handlerCalls; });
    deferred.setVolume(-600);
    deferred.setVolume(-300);  // only the latest counts
    deferred.setBalance(50);
    deferred.setVideoWindow(42);
    deferred.setFullScreen(true);
    EXPECT_EQ(handlerCalls, 1);
    deferred.setDisplaySize(2, 23);
    deferred.setFileName(QStringLiteral("/old.mp3"));
    deferred.run();  // belongs to the replaced open: dropped
    deferred.setFileName(QStringLiteral("/a.mp3"));
    deferred.setPosition(1.5);
    deferred.pause();

    test::FakeEngine fake;
    fake.addClip(QStringLiteral("/a.mp3"), {120, 0, 0});
    deferred.attach(&fake);
    EXPECT_EQ(fake.calls(), QStringList({"setFullScreen 1", "setVideoWindow 42", "setDisplaySize 2 23",
                                         "setVolume -300", "setBalance 50", "setFileName /a.mp3",
                                         "setPosition 1.5", "pause"}));
    EXPECT_EQ(handlerCalls, 1);  // not reported again
    EXPECT_EQ(fake.listener(), &listener);

    ASSERT_TRUE(test::waitFor([&] { return listener.opens == 1; }));
    EXPECT_EQ(deferred.length(), 120.0);
    deferred.run();
    EXPECT_EQ(deferred.state(), MediaEngine::kPlaying);
    deferred.setFullScreen(false);
    EXPECT_EQ(handlerCalls, 2);  // the handler went over with the rest
}

TEST(DeferredMediaEngineTest, ClosedBeforeTheEngineCameNothingOpens)
{
    DeferredMediaEngine deferred;
    deferred.setFileName(QStringLiteral("/a.mp3"));
    deferred.run();
    deferred.setFileName(QString());
    EXPECT_EQ(deferred.state(), MediaEngine::kNothingLoaded);
    test::FakeEngine fake;
    deferred.attach(&fake);
    EXPECT_FALSE(fake.calls().join(QLatin1Char(',')).contains(QStringLiteral("setFileName")));
    EXPECT_FALSE(fake.calls().contains(QStringLiteral("run")));
}

TEST(DeferredLengthProbeTest, KeepsRequestsUntilCancelledOrHandedOver)
{
    DeferredLengthProbe deferred;
    deferred.request(1, QStringLiteral("/a.mp3"));
    deferred.cancelAll();
    deferred.request(2, QStringLiteral("/b.mp3"));
    deferred.request(3, QStringLiteral("/c.mp3"));
    EXPECT_EQ(deferred.outstanding(), 2);

    struct Recording : LengthProbe {
        std::vector<std::uint64_t> ids;
        ResultHandler handler;
        void setResultHandler(ResultHandler h) override { handler = std::move(h); }
        void request(std::uint64_t id, const QString&) override { ids.push_back(id); }
        void cancelAll() override { ids.clear(); }
        int outstanding() const override { return int(ids.size()); }
    } real;
    bool handled = false;
    deferred.setResultHandler([&](std::uint64_t, std::optional<double>) { handled = true; });
    deferred.attach(&real);
    EXPECT_EQ(real.ids, (std::vector<std::uint64_t>{2, 3}));
    ASSERT_TRUE(real.handler);
    real.handler(2, 1.0);
    EXPECT_TRUE(handled);
    deferred.request(4, QStringLiteral("/d.mp3"));
    EXPECT_EQ(real.ids.back(), 4u);
}

}  // namespace
}  // namespace velmora
