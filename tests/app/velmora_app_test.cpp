// The application object with its real parts: the skin of the build, the
// media module playing headless, the playlist, volume and add-files windows
// wired together as the player runs them.

#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "app/velmora.h"
#include "app/options_window.h"
#include "options/file_types_page.h"
#include "options/options_fakes.h"
#include "options/options_form.h"
#include "appbar/toolbar.h"
#include "base/file_name.h"
#include "media/media_clips.h"
#include "media/null_sink.h"
#include "video/play_form.h"
#include "playlist/playlist_model.h"
#include "shell/tray_icon.h"
#include "skin/playlist_form.h"
#include "skin/skinned_windows.h"
#include "skin/trans_img.h"
#include "skin/main_form.h"
#include "skin/volume_form.h"
#include "support/test_support.h"

#include <QApplication>
#include <QDir>
#include <QAbstractButton>
#include <QAction>
#include <QDropEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QMimeData>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include <filesystem>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace velmora;
using velmora::test::waitFor;

namespace {

// A point of the element's picture that is not see-through, so that a
// click lands on the element and not on the window behind it.
QPoint opaquePoint(const TransImg& e)
{
    const QImage& picture = e.picture();
    for (int y = picture.height() / 2; y < picture.height(); ++y) {
        for (int x = picture.width() / 2; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) != 0)
                return {x, y};
        }
    }
    return {0, 0};
}

void click(TransImg& e) { QTest::mouseClick(&e, Qt::LeftButton, {}, opaquePoint(e)); }

QWidget* topLevelTitled(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    }
    return nullptr;
}

class VelmoraAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(velmora::test::makeMediaClips(clipFolder.path(), &clips, &error)) << error.toStdString();
        velmora::test::writeFile(home.file(QStringLiteral("settings.ini")),
                                 "[Settings]\nVolumeOpen=True\nPlaylistOpen=True\n");
        options.configFolder = home.path();
        options.programFolder = QStringLiteral(VELMORA_BUILD_DIR "/");
        options.media.moduleFile = QStringLiteral(VELMORA_BUILD_DIR "/libvelmora-media.so");
        options.media.engine.videoOutput = QStringLiteral("null");
        options.media.engine.audioOutput = QStringLiteral("null");
        options.notificationArea = [] { return true; };  // a panel with a notification area
        app = std::make_unique<Velmora>(options);
    }
    void start(const QStringList& paths)
    {
        QString command;
        for (const QString& p : paths)
            command += QLatin1Char('"') + p + QStringLiteral("\" ");
        ASSERT_TRUE(app->start(command.trimmed(), nullptr));
    }
    PlaylistForm& playlistForm() { return app->windows().playlistForm(); }

    velmora::test::TempHome home;
    Velmora::Options options;
    QTemporaryDir clipFolder;
    velmora::test::MediaClips clips;
    std::unique_ptr<Velmora> app;
};

TEST_F(VelmoraAppTest, ClipsOfTheCommandLineAreListedMeasuredAndPlayed)
{
    start({clips.toneWav, clips.toneOgg});
    SkinListView& list = playlistForm().list();
    ASSERT_TRUE(waitFor([&] { return list.rowCount() >= 3 && list.row(3).text.contains(QStringLiteral("ogg")); }))
        << "the list shows the root and both clips";
    EXPECT_TRUE(list.row(2).text.contains(QStringLiteral("wav")));
    EXPECT_TRUE(waitFor([&] { return list.row(3).timeText == QStringLiteral("00:00:03"); }))
        << "lengths are measured in the background";
    // The file name is set when the open starts, the current entry when it completes.
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips.toneWav && app->playlist().currentIndex() == 2; }))
        << "the first clip plays";
}

TEST_F(VelmoraAppTest, StoppingTakesTheCurrentColourFromTheRowThatPlayed)
{
    start({clips.toneWav, clips.toneOgg});
    SkinListView& list = playlistForm().list();
    const std::uint32_t current = playlistForm().colours().current;
    ASSERT_TRUE(waitFor([&] { return list.rowCount() >= 2 && list.rowColour(2) == current; }))
        << "the playing row is marked";
    app->controller().press(TransportButton::Stop);
    EXPECT_EQ(app->playlist().currentIndex(), -1);
    EXPECT_NE(list.rowColour(2), current) << "the row that played is repainted";
}

// File names are bytes: one that is not UTF-8 is added and plays, and the
// files after it on the same command line arrive too.
TEST_F(VelmoraAppTest, AFileNameThatIsNotUtf8PlaysAndTheNextFileArrivesToo)
{
    const QByteArray odd = QFile::encodeName(clipFolder.path()) + "/caf\xe9\xff.wav";
    std::filesystem::copy_file(QFile::encodeName(clips.toneWav).toStdString(), odd.toStdString());
    const QString oddPath = fileNameFromBytes(odd);
    start({oddPath, clips.toneOgg});
    ASSERT_TRUE(waitFor([&] { return app->playlist().playlistCount() == 3; })) << "both files arrive";
    EXPECT_EQ(fileNameBytes(app->playlist().entry(2).path), odd);
    EXPECT_EQ(app->playlist().entry(2).text, QStringLiteral("caf\uFFFD\uFFFD.wav"));
    EXPECT_EQ(app->playlist().entry(3).path, clips.toneOgg);
    MainForm& main = app->windows().mainForm();
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == oddPath && main.element("Pause")->isEnabled(); })) << "it plays";
}

// The media libraries wait for the first clip: an empty start leaves them
// unloaded, and the first clip handed over loads them and plays.
TEST_F(VelmoraAppTest, TheMediaModuleLoadsWithTheFirstClip)
{
    start({});
    test::settle(std::chrono::milliseconds(300));
    EXPECT_EQ(app->mediaStatus(), MediaModule::Status::NotStarted);
    app->commands().submit(QLatin1Char('"') + clips.toneWav + QLatin1Char('"'));
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips.toneWav && app->windows().mainForm().element("Pause")->isEnabled(); }))
        << "the clip plays once the module is in";
    EXPECT_EQ(app->mediaStatus(), MediaModule::Status::Ready);
}

TEST_F(VelmoraAppTest, VolumeButtonsStoreTheLevelAndPlusOpensTheAddFilesWindowOnce)
{
    start({});
    VolumeForm& volume = app->windows().volumeForm();
    ASSERT_TRUE(waitFor([&] { return volume.isVisible(); }));
    const int before = app->settings().whole(keys::Volume);
    TransImg* down = volume.element("VolumeLeft");
    ASSERT_NE(down, nullptr);
    click(*down);
    EXPECT_LT(app->settings().whole(keys::Volume), before) << "VolumeLeft lowers the stored level";

    TransImg* plus = playlistForm().element("Plus");
    ASSERT_NE(plus, nullptr);
    click(*plus);
    const QString title = QStringLiteral("Добавить файлы");
    ASSERT_TRUE(waitFor([&] { return topLevelTitled(title) != nullptr; })) << "Plus opens the add-files window";
    EXPECT_FALSE(plus->isEnabled()) << "one add-files window at a time";
    topLevelTitled(title)->close();
    EXPECT_TRUE(waitFor([&] { return plus->isEnabled(); })) << "closing it enables Plus again";
    EXPECT_TRUE(waitFor([&] { return topLevelTitled(title) == nullptr; }));
}

}  // namespace

namespace {

TEST_F(VelmoraAppTest, CloseWithNotCloseHidesAndTheTrayBringsBackWhatWasShown)
{
    app->settings().setWhole(keys::NotClose, 1);
    app->settings().setWhole(keys::Tray, 1);
    start({});
    VolumeForm& volume = app->windows().volumeForm();
    ASSERT_TRUE(waitFor([&] { return volume.isVisible() && playlistForm().isVisible(); }));
    EXPECT_TRUE(app->tray().shown());
    volume.hide();  // the user closed the volume window before

    app->close();
    EXPECT_TRUE(app->hiddenToTray());
    EXPECT_FALSE(app->closing());
    EXPECT_FALSE(app->windows().mainForm().isVisible());
    EXPECT_FALSE(playlistForm().isVisible());

    app->tray().activate(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(app->hiddenToTray());
    EXPECT_TRUE(app->windows().mainForm().isVisible());
    EXPECT_TRUE(playlistForm().isVisible());
    EXPECT_FALSE(volume.isVisible()) << "only the windows that were shown come back";
    app->tray().activate(QSystemTrayIcon::DoubleClick);  // nothing hidden: nothing changes
    EXPECT_FALSE(volume.isVisible());

    QSignalSpy ended(app.get(), &Velmora::ended);
    app->tray().menu().findChild<QAction*>(QStringLiteral("Close"))->trigger();
    EXPECT_TRUE(app->closing()) << "the tray's exit ends the program despite NotClose";
    EXPECT_FALSE(app->tray().shown());
    EXPECT_TRUE(ended.wait(5000));
}

// The closing fade as heard: the sound goes down to near silence, it is not
// cut off while still loud.
TEST_F(VelmoraAppTest, CloseFadesTheSoundOutToTheEnd)
{
    velmora::test::NullSink sink;
    ASSERT_TRUE(sink.running()) << sink.daemonLog().toStdString();
    app.reset();
    options.media.engine.audioOutput = QStringLiteral("pulse");
    app = std::make_unique<Velmora>(options);
    ASSERT_TRUE(sink.startRecording());
    start({clips.toneWav});
    ASSERT_TRUE(waitFor([&] { return app->engine().state() == MediaEngine::kPlaying; }));
    velmora::test::settle(std::chrono::milliseconds(1000));
    QSignalSpy ended(app.get(), &Velmora::ended);
    app->close();
    ASSERT_TRUE(ended.wait(5000));
    const std::vector<float> left = sink.stopRecording();

    // Levels of 10 ms blocks; the last block with sound against the loudest.
    constexpr std::size_t block = 480;
    double loudest = -200, last = -200;
    for (std::size_t at = 0; at + block <= left.size(); at += block) {
        double sum = 0;
        for (std::size_t i = at; i < at + block; ++i)
            sum += double(left[i]) * left[i];
        const double db = 10 * std::log10(sum / block + 1e-30);
        loudest = std::max(loudest, db);
        if (db > -90)
            last = db;
    }
    ASSERT_GT(loudest, -40) << "the clip was heard";
    // libmpv sets the volume per block of sound, so the quietest steps of the
    // fade may fall between two blocks: what counts is that it got there.
    EXPECT_LT(last - loudest, -12) << "the sound ends faded, not cut off";
}

TEST_F(VelmoraAppTest, QtsOwnButtonsSpeakRussianWhateverTheLocale)
{
    start({});
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Отмена"));
}

// Hiding needs a way back: without an icon on the screen Close ends.
TEST_F(VelmoraAppTest, WithoutATrayIconOnTheScreenCloseEndsDespiteNotClose)
{
    for (const bool area : {false, true}) {
        SCOPED_TRACE(area);
        app.reset();
        options.notificationArea = [area] { return area; };
        app = std::make_unique<Velmora>(options);
        app->settings().setWhole(keys::NotClose, 1);
        app->settings().setWhole(keys::Tray, area ? 0 : 1);  // no area, or "Tray" 0
        start({});
        app->close();
        EXPECT_FALSE(app->hiddenToTray());
        EXPECT_TRUE(app->closing());
    }
}

}  // namespace

namespace {

TEST_F(VelmoraAppTest, EscapeInTheAddFilesWindowAtTheEndOfTheListClosesTheProgramSafely)
{
    start({clips.stereoWav});  // 6 s: it is still playing when Escape comes
    ASSERT_TRUE(waitFor([&] { return app->windows().mainForm().element("Play")->isEnabled(); })) << "the clip is open";
    click(*playlistForm().element("Plus"));
    const QString title = QStringLiteral("Добавить файлы");
    ASSERT_TRUE(waitFor([&] { return topLevelTitled(title) != nullptr; }));
    QSignalSpy ended(app.get(), &Velmora::ended);
    // Escape plays on past the only clip: the list a command line filled has
    // ended, so the program closes (AutoClose) from inside the window's key.
    QTest::keyClick(topLevelTitled(title)->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(app->closing());
    EXPECT_TRUE(ended.wait(5000));
    EXPECT_EQ(topLevelTitled(title), nullptr);
}

TEST_F(VelmoraAppTest, DroppedFilesAndFoldersArriveInDropOrderAndStartAnEmptyList)
{
    const QString folder = clipFolder.filePath(QStringLiteral("dropped folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(clips.toneWav, folder + QStringLiteral("/b.wav")));
    ASSERT_TRUE(QFile::copy(clips.toneWav, folder + QStringLiteral("/a.wav")));
    start({});
    ASSERT_TRUE(waitFor([&] { return playlistForm().isVisible(); }));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(clips.toneOgg), QUrl::fromLocalFile(folder)});
    QWidget* viewport = playlistForm().list().viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);

    PlaylistModel& list = app->playlist();
    ASSERT_TRUE(waitFor([&] { return list.playlistCount() == 4; })) << "the root, the file and the folder's two files";
    EXPECT_EQ(list.entry(2).path, clips.toneOgg);
    EXPECT_EQ(list.entry(3).text, QStringLiteral("a.wav"));
    EXPECT_EQ(list.entry(4).text, QStringLiteral("b.wav"));
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips.toneOgg; }))
        << "AutoPlay starts the list the drop filled";
}

}  // namespace

namespace {

TEST_F(VelmoraAppTest, KeysThatAreNoCommandLeavePlaybackAlone)
{
    start({clips.stereoWav});
    MainForm& main = app->windows().mainForm();
    ASSERT_TRUE(waitFor([&] { return main.element("Play")->isEnabled() && main.element("Pause")->isEnabled(); })) << "the clip plays";
    for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Pause, Qt::Key_Super_L, Qt::Key_Super_R}) {
        QTest::keyClick(&main, key);
        ASSERT_TRUE(waitFor([&] { return !app->keys().ignoreKeys(); })) << "the lock-out ends";
        EXPECT_TRUE(main.element("Pause")->isEnabled()) << "key " << key << " paused the clip";
        EXPECT_FALSE(app->keys().videoOnTop()) << "key " << key;
    }
}

}  // namespace

namespace {

TEST_F(VelmoraAppTest, LeavingFullScreenByTheNextClipShowsThePointerAgain)
{
    start({clips.videoMp4, clips.toneWav});
    MainForm& main = app->windows().mainForm();
    ASSERT_TRUE(waitFor([&] { return app->videoWindow().isShownPlace() && main.element("Play")->isEnabled(); }))
        << "the video's picture is shown";
    QTest::keyClick(&main, Qt::Key_F);
    ASSERT_TRUE(waitFor([&] { return app->engine().fullScreen(); }));
    EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the pointer is hidden in full screen";
    ASSERT_TRUE(waitFor([&] { return !app->keys().ignoreKeys(); })) << "the lock-out ends";
    QTest::keyClick(&main, Qt::Key_BracketRight);  // the next clip, which has no picture
    EXPECT_TRUE(waitFor([&] { return app->engine().fileName() == clips.toneWav; }));
    EXPECT_FALSE(app->engine().fullScreen());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is back";
}

}  // namespace

namespace {

// The docked toolbar: shown at start-up with "Toolbar" = 1, its buttons
// acting exactly as the main window's (and not at all while the main
// window's button is disabled), its clip text following the playing entry,
// and Close removing it.
void pressToolbar(Velmora& app, ToolbarForm::Button b)
{
    QTest::mouseClick(&app.toolbar().form()->button(b), Qt::LeftButton);
}

TEST_F(VelmoraAppTest, ToolbarButtonsActAsTheMainWindowsAndCloseRemovesTheToolbar)
{
    using B = ToolbarForm::Button;
    app->settings().setWhole(keys::Toolbar, 1);
    app->settings().setWhole(keys::AutoClose, 0);
    start({clips.stereoWav});
    Toolbar& toolbar = app->toolbar();
    ASSERT_TRUE(toolbar.ToolbarShown());
    ToolbarForm& form = *toolbar.form();
    MainForm& main = app->windows().mainForm();
    ASSERT_TRUE(waitFor([&] { return main.element("Play")->isEnabled() && main.element("Pause")->isEnabled(); })) << "the clip plays";
    EXPECT_EQ(form.clip().text(), app->playlist().entry(app->playlist().currentIndex()).text);
    for (int i = 0; i < ToolbarForm::kButtonCount; ++i)
        EXPECT_FALSE(form.button(B(i)).framed());

    pressToolbar(*app, B::Pause);
    EXPECT_FALSE(main.element("Pause")->isEnabled()) << "the toolbar's Pause pauses as the main window's does";
    EXPECT_TRUE(form.button(B::Pause).framed());
    EXPECT_TRUE(waitFor([&] { return app->engine().state() != MediaEngine::kPlaying; }));
    pressToolbar(*app, B::Play);
    EXPECT_TRUE(main.element("Pause")->isEnabled());
    EXPECT_FALSE(form.button(B::Pause).framed());
    EXPECT_TRUE(waitFor([&] { return app->engine().state() == MediaEngine::kPlaying; }));

    pressToolbar(*app, B::Stop);
    EXPECT_FALSE(main.element("Play")->isEnabled()) << "Stop ends playback";
    EXPECT_TRUE(form.button(B::Play).framed());
    EXPECT_TRUE(form.clip().text().isEmpty());
    form.button(B::Play).setFramed(false);  // even unframed, a disabled main Play takes no press
    pressToolbar(*app, B::Play);
    EXPECT_FALSE(main.element("Pause")->isEnabled());
    EXPECT_EQ(app->playlist().currentIndex(), -1);

    app->close();
    EXPECT_FALSE(toolbar.ToolbarShown()) << "Close removes the toolbar";
    EXPECT_EQ(toolbar.form(), nullptr);
}

// Stop on the toolbar at the end of a list the command line filled closes
// the program (AutoClose), which removes the toolbar from inside the click
// on its own button.
TEST_F(VelmoraAppTest, ToolbarStopThatClosesTheProgramRemovesTheToolbarSafely)
{
    app->settings().setWhole(keys::Toolbar, 1);
    start({clips.stereoWav});
    ASSERT_TRUE(waitFor([&] { return app->windows().mainForm().element("Play")->isEnabled(); })) << "the clip is open";
    pressToolbar(*app, ToolbarForm::Button::Stop);
    EXPECT_TRUE(app->closing());
    EXPECT_FALSE(app->toolbar().ToolbarShown());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->toolbar().form(), nullptr);
}

// The media pattern is the one filter of every road that reads folders.
TEST_F(VelmoraAppTest, AFolderYieldsOnlyItsClipsByEveryRoad)
{
    const QString folder = clipFolder.filePath(QStringLiteral("mixed"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(clips.toneWav, folder + QStringLiteral("/a.wav")));
    ASSERT_TRUE(QFile::copy(clips.toneWav, folder + QStringLiteral("/Track.MP3")));
    velmora::test::writeFile(folder + QStringLiteral("/cover.png"), "picture");
    velmora::test::writeFile(folder + QStringLiteral("/notes.txt"), "text");
    app.reset();
    velmora::test::writeFile(home.file(QStringLiteral("settings.ini")),
                             "[Settings]\nAutoPlay=0\nPlaylistOpen=True\nOpenPath=" + folder.toUtf8() + "\n");
    app = std::make_unique<Velmora>(options);
    start({folder});
    const QStringList one{folder + QStringLiteral("/a.wav"), folder + QStringLiteral("/Track.MP3")};
    auto paths = [&] {
        QStringList found;
        for (int i = 1; i <= app->playlist().playlistCount(); ++i) {
            if (!app->playlist().entry(i).path.isEmpty())
                found << app->playlist().entry(i).path;
        }
        return found;
    };
    ASSERT_TRUE(waitFor([&] { return paths().size() >= 2; })) << "the command line";
    EXPECT_EQ(paths(), one);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    QWidget* viewport = playlistForm().list().viewport();
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(viewport->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    ASSERT_TRUE(waitFor([&] { return paths().size() >= 4; })) << "a drop";
    EXPECT_EQ(paths(), one + one);

    TransImg* plus = playlistForm().element("Plus");
    ASSERT_NE(plus, nullptr);
    click(*plus);
    QWidget* form = nullptr;
    ASSERT_TRUE(waitFor([&] { return (form = topLevelTitled(QStringLiteral("Добавить файлы"))) != nullptr; }));
    auto* addFolder = form->findChild<QAbstractButton*>(QStringLiteral("AddFolder"));
    ASSERT_NE(addFolder, nullptr);
    ASSERT_TRUE(waitFor([&] { return addFolder->isEnabled(); }));
    QTest::mouseClick(addFolder, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return paths().size() >= 6; })) << "the add-files window";
    EXPECT_EQ(paths(), one + one + one);
    form->close();
}

}  // namespace

namespace {

// The options dialog in the real program: opened from the video window's
// menu, its controls acting on the real windows, toolbar and skin, hidden
// and shown again with the tray, unloaded by the exit.
TEST_F(VelmoraAppTest, TheOptionsDialogActsOnTheProgramAndFollowsItsWindows)
{
    QTemporaryDir skins;
    const QString green = skins.filePath(QStringLiteral("Green/"));
    QDir().mkpath(green);
    for (const QFileInfo& f : QDir(QStringLiteral(VELMORA_BUILD_DIR "/skin")).entryInfoList(QDir::Files))
        QFile::copy(f.filePath(), green + f.fileName());
    QFile ini(green + QStringLiteral("skin.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll().replace("Name=Velmora Nocturne", "Name=Green");
    ini.close();
    velmora::test::writeFile(green + QStringLiteral("skin.ini"), text);
    app->settings().setWhole(keys::NotClose, 1);
    app->settings().setWhole(keys::Tray, 1);
    start({});

    app->videoWindow().optionsItem().trigger();
    auto* form = qobject_cast<OptionsForm*>(topLevelTitled(QStringLiteral("Опции")));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->typesPage().list().count(), app->fileTypes().count());

    form->slider(SeeThroughWindow::Main).setValue(40);
    EXPECT_NEAR(app->windows().mainForm().windowOpacity(), 102 / 255.0, 1e-3);
    form->checkBox("Toolbar").click();
    EXPECT_TRUE(app->toolbar().ToolbarShown());
    form->checkBox("Toolbar").click();
    EXPECT_FALSE(app->toolbar().ToolbarShown());

    form->themeSelect().click();
    velmora::test::chooseInFileDialog(*form, "SkinSelect", green + QStringLiteral("skin.ini"));
    EXPECT_EQ(app->windows().skin().skinName, QStringLiteral("Green"));
    EXPECT_EQ(app->skinFolder(), green);
    form->themeSelect().click();
    velmora::test::chooseInFileDialog(*form, "SkinSelect", clips.stereoWav);  // a folder without a skin
    EXPECT_EQ(app->windows().skin().skinName, QStringLiteral("Green"));
    EXPECT_EQ(app->skinFolder(), green);

    app->close();
    EXPECT_FALSE(form->isVisible()) << "hidden with the other windows";
    app->restoreFromTray();
    EXPECT_TRUE(form->isVisible());
    app->videoWindow().optionsItem().trigger();
    EXPECT_EQ(topLevelTitled(QStringLiteral("Опции")), form) << "one dialog at a time";

    QPointer<OptionsForm> alive(form);
    form->move(33, 44);
    app->forceExit();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "the exit unloads the dialog";
    EXPECT_EQ(app->settings().whole(keys::OptionsLeft), 33);
}

}  // namespace
