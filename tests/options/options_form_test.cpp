// The options dialog's player and look pages on the offscreen platform:
// every control writes its key and calls its effect at once.

#include "options/file_types_page.h"
#include "options/option_controls.h"
#include "options/options_fakes.h"
#include "options/options_form.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;
using velmora::test::waitFor;

namespace {

class OptionsFormTest : public ::testing::Test {
protected:
    void open()
    {
        form = std::make_unique<OptionsForm>(settings, effects, types,
                                             OptionsForm::Options{QStringLiteral("/program/skin/")});
    }
    QString stored(const SettingKey& key) const
    {
        return store.get(QString::fromLatin1(key.section.data(), key.section.size()),
                         QString::fromLatin1(key.name.data(), key.name.size()), QStringLiteral("<none>"));
    }
    QByteArray fileText()
    {
        store.flush();
        QFile f(store.filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("settings.ini"))};
    Settings settings{store};
    test::FakeEffects effects;
    test::FakeFileTypes types;
    std::unique_ptr<OptionsForm> form;
};

}  // namespace

TEST_F(OptionsFormTest, OpeningShowsTheStoredValuesAndWritesNothing)
{
    for (const auto& [key, value] : {std::pair{keys::AutoPlay, "0"}, {keys::NotClose, "1"}, {keys::Tray, "1"},
                                     {keys::MainTransparanted, "5"}, {keys::VolumeTransparanted, "60"},
                                     {keys::Skin, "/skins/blue/"}, {keys::OptionsLeft, "120.5"},
                                     {keys::OptionsTop, "80"}})
        settings.setText(key, QString::fromLatin1(value));
    const QByteArray before = fileText();
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Опции"));
    EXPECT_FALSE(form->checkBox("AutoPlay").isChecked());
    EXPECT_TRUE(form->checkBox("AutoNext").isChecked()) << "default 1";
    EXPECT_TRUE(form->checkBox("NotClose").isChecked());
    EXPECT_TRUE(form->checkBox("Tray").isChecked());
    EXPECT_FALSE(form->checkBox("Toolbar").isChecked());
    EXPECT_EQ(form->slider(SeeThroughWindow::Main).value(), 10) << "below the range";
    EXPECT_EQ(form->slider(SeeThroughWindow::Volume).value(), 60);
    EXPECT_EQ(form->slider(SeeThroughWindow::Playlist).value(), 75);
    EXPECT_EQ(form->themePath().text(), QStringLiteral("/skins/blue/"));
    EXPECT_EQ(form->theme().text(), QStringLiteral("Old skin"));
    EXPECT_EQ(form->pos(), QPoint(120, 80));
    EXPECT_EQ(fileText(), before);
    EXPECT_TRUE(effects.calls.isEmpty());
    EXPECT_TRUE(effects.opacity.empty());

    store.deleteKey(QStringLiteral("Settings"), QStringLiteral("Skin"));
    open();
    EXPECT_EQ(form->themePath().text(), QStringLiteral("/program/skin/"));
}

TEST_F(OptionsFormTest, EachCheckBoxWritesItsKeyAndTrayAndToolbarActAtOnce)
{
    open();
    for (const CheckBoxControl& control : kCheckBoxes) {
        if (control.key.name == keys::NotClose.name)
            continue;  // its coupling has its own test
        QCheckBox& box = form->checkBox(control.name);
        const bool was = box.isChecked();
        box.click();
        EXPECT_EQ(stored(control.key), was ? QStringLiteral("0") : QStringLiteral("1")) << control.name;
        box.click();
        EXPECT_EQ(stored(control.key), was ? QStringLiteral("1") : QStringLiteral("0")) << control.name;
    }
    EXPECT_EQ(effects.calls, (QStringList{QStringLiteral("tray 1"), QStringLiteral("tray 0"),
                                          QStringLiteral("toolbar 1"), QStringLiteral("toolbar 0")}));
}

TEST_F(OptionsFormTest, NotCloseTurnsTheTrayOnAndTrayOffEndsNotClose)
{
    effects.hasTray = false;
    open();
    QCheckBox& notClose = form->checkBox("NotClose");
    QCheckBox& tray = form->checkBox("Tray");
    EXPECT_TRUE(notClose.toolTip().contains(QStringLiteral("повторный запуск"))) << "no tray: how to get back";

    notClose.click();
    EXPECT_EQ(stored(keys::NotClose), QStringLiteral("1"));
    EXPECT_EQ(stored(keys::Tray), QStringLiteral("1"));
    EXPECT_TRUE(tray.isChecked());
    EXPECT_EQ(effects.calls, QStringList{QStringLiteral("tray 1")});

    notClose.click();  // off again: the icon stays
    EXPECT_EQ(stored(keys::NotClose), QStringLiteral("0"));
    EXPECT_EQ(stored(keys::Tray), QStringLiteral("1"));
    notClose.click();
    EXPECT_EQ(effects.calls, QStringList{QStringLiteral("tray 1")}) << "the tray was on already";

    tray.click();
    EXPECT_EQ(stored(keys::Tray), QStringLiteral("0"));
    EXPECT_EQ(stored(keys::NotClose), QStringLiteral("0"));
    EXPECT_FALSE(notClose.isChecked());
    EXPECT_EQ(effects.calls.last(), QStringLiteral("tray 0"));
}

TEST_F(OptionsFormTest, SlidersStayWithinTheirRangeAndSetTheOpacityAtEveryStep)
{
    open();
    QSlider& main = form->slider(SeeThroughWindow::Main);
    QTest::keyClick(&main, Qt::Key_Home);
    EXPECT_EQ(main.value(), 10);
    QTest::keyClick(&main, Qt::Key_Left);
    EXPECT_EQ(main.value(), 10) << "no lower than 10";
    QTest::keyClick(&main, Qt::Key_End);
    QTest::keyClick(&main, Qt::Key_End);
    QTest::keyClick(&main, Qt::Key_PageDown);
    QTest::keyClick(&main, Qt::Key_Left);
    EXPECT_EQ(main.value(), 94) << "large step 5, small step 1";
    EXPECT_EQ(stored(keys::MainTransparanted), QStringLiteral("94"));
    using P = std::pair<SeeThroughWindow, int>;
    EXPECT_EQ(effects.opacity, (std::vector<P>{{SeeThroughWindow::Main, 10}, {SeeThroughWindow::Main, 100},
                                               {SeeThroughWindow::Main, 95}, {SeeThroughWindow::Main, 94}}));

    // A drag: every position on the way reaches the window, the last one
    // the setting.
    effects.opacity.clear();
    QSlider& playlist = form->slider(SeeThroughWindow::Playlist);
    playlist.setSliderDown(true);
    for (int v = 74; v >= 60; --v)
        playlist.setSliderPosition(v);
    playlist.setSliderDown(false);
    ASSERT_EQ(effects.opacity.size(), 15u);
    EXPECT_EQ(effects.opacity.front(), P(SeeThroughWindow::Playlist, 74));
    EXPECT_EQ(effects.opacity.back(), P(SeeThroughWindow::Playlist, 60));
    EXPECT_EQ(stored(keys::PlaylistTransparanted), QStringLiteral("60"));
    EXPECT_TRUE(fileText().contains("PlaylistTransparanted=60")) << "on disk once flushed";
}

TEST_F(OptionsFormTest, AChosenSkinIsLoadedBeforeItIsStoredAndARefusedOneChangesNothing)
{
    test::TempHome skins;
    const QString blue = test::writeFile(skins.file(QStringLiteral("Blue/skin.ini")), "[Skin]\nName=Blue\n");
    const QString broken = test::writeFile(skins.file(QStringLiteral("Broken/skin.ini")), "");
    const QString blueFolder = skins.file(QStringLiteral("Blue/"));
    open();
    form->show();

    form->themeSelect().click();
    test::chooseInFileDialog(*form, "SkinSelect", {});  // cancelled
    EXPECT_TRUE(effects.calls.isEmpty());
    EXPECT_EQ(stored(keys::Skin), QStringLiteral("<none>"));

    form->themeSelect().click();
    test::chooseInFileDialog(*form, "SkinSelect", blue);
    EXPECT_EQ(effects.calls, QStringList{QStringLiteral("skin ") + blueFolder});
    EXPECT_EQ(stored(keys::Skin), blueFolder);
    EXPECT_EQ(form->themePath().text(), blueFolder);
    EXPECT_EQ(form->theme().text(), QStringLiteral("New skin"));

    effects.skinLoads = false;
    form->themeSelect().click();
    test::chooseInFileDialog(*form, "SkinSelect", broken);
    EXPECT_EQ(effects.calls.size(), 2);
    EXPECT_EQ(stored(keys::Skin), blueFolder) << "the refused folder is not stored";
    EXPECT_EQ(form->themePath().text(), blueFolder);
    EXPECT_EQ(form->theme().text(), QStringLiteral("New skin"));
}

TEST_F(OptionsFormTest, ClosingStoresThePlaceAndReopeningShowsTheStoredState)
{
    open();
    form->checkBox("AutoNext").click();
    form->slider(SeeThroughWindow::Volume).setValue(40);
    form->move(200, 150);
    QSignalSpy closed(form.get(), &OptionsForm::closed);
    form->show();
    form->close();
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(stored(keys::OptionsLeft), QStringLiteral("200"));
    EXPECT_EQ(stored(keys::OptionsTop), QStringLiteral("150"));

    open();
    EXPECT_FALSE(form->checkBox("AutoNext").isChecked());
    EXPECT_EQ(form->slider(SeeThroughWindow::Volume).value(), 40);
    EXPECT_EQ(form->pos(), QPoint(200, 150));
}
