// The docked toolbar in the program: shown at start-up with "Toolbar" = 1,
// its buttons acting exactly as the main window's (and not at all while
// framed), its clip text following the playing entry, and Close removing
// it.

#include "settings/settings_keys.h"
#include "app/velmora.h"
#include "appbar/toolbar.h"
#include "playback/media_clips.h"
#include "playlist/playlist_model.h"
#include "skin/main_form.h"
#include "skin/skinned_windows.h"
#include "support/test_support.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;
using velmora::test::waitFor;
using Button = ToolbarForm::Button;

namespace {

class VelmoraToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(velmora::test::makeMediaClips(clipFolder.path(), &clips, &error)) << error.toStdString();
        velmora::test::writeFile(home.file(QStringLiteral("settings.ini")),
                                 "[Settings]\nToolbar=1\nAutoClose=0\n");
        Velmora::Options options;
        options.configFolder = home.path();
        options.programFolder = QStringLiteral(VELMORA_BUILD_DIR "/");
        options.media.moduleFile = QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so");
        options.media.engine.videoOutput = QStringLiteral("null");
        options.media.engine.audioOutput = QStringLiteral("null");
        app = std::make_unique<Velmora>(options);
    }
    void press(Button b) { QTest::mouseClick(&app->toolbar().form()->button(b), Qt::LeftButton); }

    velmora::test::TempHome home;
    QTemporaryDir clipFolder;
    velmora::test::MediaClips clips;
    std::unique_ptr<Velmora> app;
};

TEST_F(VelmoraToolbarTest, ButtonsActAsTheMainWindowsAndCloseRemovesTheToolbar)
{
    ASSERT_TRUE(app->start(channel::StartKind::Normal, QLatin1Char('"') + clips.stereoWav + QLatin1Char('"'), nullptr));
    Toolbar& toolbar = app->toolbar();
    ASSERT_TRUE(toolbar.ToolbarShown());
    ToolbarForm& form = *toolbar.form();
    MainForm& main = app->windows().mainForm();
    ASSERT_TRUE(waitFor([&] { return main.playEnabled() && main.pauseEnabled(); })) << "the clip plays";
    const int current = app->playlist().currentIndex();
    EXPECT_EQ(form.clip().text(), app->playlist().entry(current).text);
    for (int i = 0; i < ToolbarForm::kButtonCount; ++i)
        EXPECT_FALSE(form.button(Button(i)).framed());

    press(Button::Pause);
    EXPECT_FALSE(main.pauseEnabled()) << "the toolbar's Pause pauses as the main window's does";
    EXPECT_TRUE(form.button(Button::Pause).framed());
    EXPECT_TRUE(waitFor([&] { return app->engine().state() != MediaEngine::kPlaying; }));
    press(Button::Play);
    EXPECT_TRUE(main.pauseEnabled());
    EXPECT_FALSE(form.button(Button::Pause).framed());
    EXPECT_TRUE(waitFor([&] { return app->engine().state() == MediaEngine::kPlaying; }));

    press(Button::Stop);
    EXPECT_FALSE(main.playEnabled()) << "Stop ends playback";
    EXPECT_TRUE(form.button(Button::Play).framed());
    EXPECT_TRUE(form.clip().text().isEmpty());
    form.button(Button::Play).setFramed(false);  // even unframed, a disabled main Play takes no press
    press(Button::Play);
    EXPECT_FALSE(main.pauseEnabled());
    EXPECT_EQ(app->playlist().currentIndex(), -1);

    app->close();
    EXPECT_FALSE(toolbar.ToolbarShown()) << "Close removes the toolbar";
    EXPECT_EQ(toolbar.form(), nullptr);
}

}  // namespace

namespace {

// Stop on the toolbar at the end of a list the command line filled closes
// the program (AutoClose), which removes the toolbar from inside the click
// on its own button.
TEST_F(VelmoraToolbarTest, StopThatClosesTheProgramRemovesTheToolbarSafely)
{
    app->settings().setWhole(keys::AutoClose, 1);
    ASSERT_TRUE(app->start(channel::StartKind::Normal, QLatin1Char('"') + clips.stereoWav + QLatin1Char('"'), nullptr));
    MainForm& main = app->windows().mainForm();
    ASSERT_TRUE(waitFor([&] { return main.playEnabled(); })) << "the clip is open";
    press(Button::Stop);
    EXPECT_TRUE(app->closing());
    EXPECT_FALSE(app->toolbar().ToolbarShown());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->toolbar().form(), nullptr);
}

}  // namespace
