// The volume window's handlers on the small test skin: step buttons at both
// ends, knob drags past the ends, the five-press example, the plus key with
// the window hidden, and what reaches the settings and the engine.

#include "volume/volume_control.h"
#include "volume/volume_scale.h"

#include "keys/key_map.h"
#include "keys/key_sink.h"
#include "playback/controller_fakes.h"
#include "skin/skin_fixture.h"

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace velmora;

namespace {

class RecordingEngine : public test::ScriptedEngine {
public:
    std::vector<int> volumes, balances;
    void setVolume(int v) override { volumes.push_back(v); }
    void setBalance(int b) override { balances.push_back(b); }
};

class VolumeControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeSmallSkin(skin);
        h.windows->loadSkin(skin.folder());
        // A volume track 100 pixels wider than its knob: one pixel, one percent.
        QImage track(110, 6, QImage::Format_RGB32);
        track.fill(Qt::darkGray);
        ASSERT_TRUE(form().element("SliderVolumeBack")->setPicture(track));
        form().placeVolumeKnob(100);
        form().placeBalanceKnob(50);
        control = std::make_unique<VolumeControl>(form(), scale, h.settings, engine);
    }

    VolumeForm& form() { return h.windows->volumeForm(); }
    TransImg& element(const char* name) { return *form().element(name); }
    int stored(const SettingKey& key) const { return h.settings.whole(key); }

    static void send(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent e(type, at, w.mapToGlobal(at), button, held, {});
        QApplication::sendEvent(&w, &e);
    }
    static void press(QWidget& w, Qt::MouseButton button = Qt::LeftButton)
    {
        send(w, QEvent::MouseButtonPress, w.rect().center(), button, button);
        send(w, QEvent::MouseButtonRelease, w.rect().center(), button, Qt::NoButton);
    }

    test::WindowsHarness h;
    VolumeScale scale;
    test::TempSkin skin;
    RecordingEngine engine;
    std::unique_ptr<VolumeControl> control;
};

}  // namespace

TEST_F(VolumeControlTest, FivePressesOfVolumeLeftFromFullVolume)
{
    std::vector<int> percents;
    for (int i = 0; i < 5; ++i) {
        press(element("VolumeLeft"));
        percents.push_back(stored(keys::Volume));
    }
    EXPECT_EQ(percents, (std::vector<int>{99, 98, 97, 96, 95}));
    EXPECT_EQ(engine.volumes, (std::vector<int>{-10, -20, -30, -40, -50}));
    EXPECT_EQ(control->volumePercent(), 95);
}

TEST_F(VolumeControlTest, StepsAtTheEndsStayThereAndApplyAgain)
{
    press(element("VolumeRight"), Qt::RightButton);  // any button steps
    EXPECT_EQ(stored(keys::Volume), 100);
    EXPECT_EQ(engine.volumes, std::vector<int>{0});
    EXPECT_DOUBLE_EQ(element("SliderVolume").left(), element("SliderVolumeBack").left() + 100);

    form().placeVolumeKnob(0);
    press(element("VolumeLeft"));
    EXPECT_EQ(stored(keys::Volume), 0);
    EXPECT_EQ(engine.volumes.back(), -9640);

    // Balance: 90 pixels of travel, so a pixel is more than one percent.
    form().placeBalanceKnob(0);
    press(element("BalanceLeft"));
    EXPECT_EQ(stored(keys::Balance), 0);
    EXPECT_EQ(engine.balances, std::vector<int>{-9640});
    press(element("BalanceRight"));
    EXPECT_EQ(stored(keys::Balance), 1);
    EXPECT_EQ(engine.balances.back(), -4000);
    form().placeBalanceKnob(100);
    press(element("BalanceRight"));
    EXPECT_EQ(stored(keys::Balance), 100);
    EXPECT_EQ(engine.balances.back(), 9640);

    // A knob half a pixel from either end stops at the end, not past it.
    const double trackLeft = element("SliderBalanceBack").left();
    const double lastLeft = trackLeft + element("SliderBalanceBack").pictureWidth()
                            - element("SliderBalance").pictureWidth();
    element("SliderBalance").setLeft(trackLeft + 0.5);
    press(element("BalanceLeft"));
    EXPECT_DOUBLE_EQ(element("SliderBalance").left(), trackLeft);
    EXPECT_EQ(stored(keys::Balance), 0);
    EXPECT_EQ(engine.balances.back(), -9640);
    element("SliderBalance").setLeft(lastLeft - 0.5);
    press(element("BalanceRight"));
    EXPECT_DOUBLE_EQ(element("SliderBalance").left(), lastLeft);
    EXPECT_EQ(stored(keys::Balance), 100);
    EXPECT_EQ(engine.balances.back(), 9640);
}

TEST_F(VolumeControlTest, DragsPastTheEndsStopAtTheEnds)
{
    TransImg& knob = element("SliderBalance");
    const TransImg& track = element("SliderBalanceBack");
    send(knob, QEvent::MouseButtonPress, {4, 7}, Qt::LeftButton, Qt::LeftButton);
    send(knob, QEvent::MouseMove, {4 - 300, 7}, Qt::NoButton, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(knob.left(), track.left());
    EXPECT_EQ(stored(keys::Balance), 0);
    EXPECT_EQ(engine.balances.back(), -9640);
    // The grab point holds for the whole drag: moves are relative to the knob.
    send(knob, QEvent::MouseMove, {4 + 45, 7}, Qt::NoButton, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(knob.left(), track.left() + 45);
    EXPECT_EQ(stored(keys::Balance), 50);
    EXPECT_EQ(engine.balances.back(), 0);
    send(knob, QEvent::MouseButtonRelease, {4 + 45, 7}, Qt::LeftButton, Qt::NoButton);

    TransImg& volume = element("SliderVolume");
    form().placeVolumeKnob(50);
    send(volume, QEvent::MouseButtonPress, {2, 7}, Qt::LeftButton, Qt::LeftButton);
    send(volume, QEvent::MouseMove, {2 + 500, 7}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(stored(keys::Volume), 100);
    EXPECT_EQ(engine.volumes.back(), 0);
    // A move without the left button held does nothing.
    send(volume, QEvent::MouseMove, {2 - 50, 7}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(stored(keys::Volume), 100);
}

TEST_F(VolumeControlTest, TheSettingIsExactAtOnceAndOnDiskAfterTheFlush)
{
    TransImg& volume = element("SliderVolume");
    send(volume, QEvent::MouseButtonPress, {2, 7}, Qt::LeftButton, Qt::LeftButton);
    for (int dx = 1; dx <= 30; ++dx) {
        send(volume, QEvent::MouseMove, {2 - 1, 7}, Qt::NoButton, Qt::LeftButton);
        ASSERT_EQ(stored(keys::Volume), 100 - dx);
    }
    EXPECT_EQ(engine.volumes.size(), 30u);
    h.store.flush();
    SettingsStore reread(h.store.filePath());
    EXPECT_EQ(reread.get(QStringLiteral("Settings"), QStringLiteral("Volume")), QStringLiteral("70"));
}

TEST_F(VolumeControlTest, ThePlusAndMinusCommandsWorkWithTheWindowHidden)
{
    ASSERT_FALSE(form().isVisible());
    control->pressVolumeDown();
    control->pressVolumeDown();
    EXPECT_EQ(stored(keys::Volume), 98);
    control->pressVolumeUp();
    EXPECT_EQ(stored(keys::Volume), 99);
    EXPECT_EQ(engine.volumes, (std::vector<int>{-10, -20, -10}));
}

TEST_F(VolumeControlTest, KeysOnTheWindowGoToTheKeySink)
{
    struct Sink : KeySink {
        std::vector<int> keys;
        void press(int vk) override { keys.push_back(vk); }
    } sink;
    h.windows->setKeySink(&sink);
    QTest::keyClick(&form(), Qt::Key_Minus);
    QTest::keyClick(&form(), Qt::Key_Up);  // no command: 0
    EXPECT_EQ(sink.keys, (std::vector<int>{vk::Minus, 0}));
}

TEST_F(VolumeControlTest, ApplyReadsTheKnobsAsTheSkinPlacedThem)
{
    form().placeVolumeKnob(40);
    form().placeBalanceKnob(51);
    control->applyVolume();
    control->applyBalance();
    EXPECT_EQ(engine.volumes, std::vector<int>{-790});
    EXPECT_EQ(stored(keys::Volume), 40);
    // 51 % of 90 pixels lands on 45.9: the knob reads back as 51.
    EXPECT_EQ(stored(keys::Balance), 51);
    EXPECT_EQ(engine.balances, std::vector<int>{17});
}
