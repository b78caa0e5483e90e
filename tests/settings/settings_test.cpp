#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace velmora;

class SettingsTest : public ::testing::Test {
protected:
    test::TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
};

TEST_F(SettingsTest, DefaultsComeFromTheKeyTable)
{
    EXPECT_EQ(settings.whole(keys::Volume), 100);
    EXPECT_EQ(settings.whole(keys::Balance), 50);
    EXPECT_EQ(settings.whole(keys::MainTransparanted), 75);
    EXPECT_TRUE(settings.flag(keys::AutoNext));
    EXPECT_FALSE(settings.flag(keys::NotClose));
    EXPECT_FALSE(settings.flag(keys::VolumeOpen));
    EXPECT_EQ(settings.fraction(keys::Left, 123.5), 123.5);
}

TEST_F(SettingsTest, FormsAreWrittenAsEachKeySays)
{
    settings.setFlag(keys::VolumeOpen, true);
    settings.setFlag(keys::AutoNext, false);
    settings.setFraction(keys::Left, 12.25);
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("VolumeOpen")), "True");
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("AutoNext")), "0");
    EXPECT_EQ(store.get(QStringLiteral("Position"), QStringLiteral("Left")), "12.25");
}

TEST_F(SettingsTest, ReadersAcceptCommaAndRejectGarbage)
{
    store.save(QStringLiteral("Position"), QStringLiteral("Top"), QStringLiteral("7,5"));
    store.save(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("loud"));
    store.save(QStringLiteral("Settings"), QStringLiteral("PlaylistOpen"), QStringLiteral("TRUE"));
    store.save(QStringLiteral("Settings"), QStringLiteral("Tray"), QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(settings.fraction(keys::Top), 7.5);
    EXPECT_EQ(settings.whole(keys::Volume), 100);
    EXPECT_TRUE(settings.flag(keys::PlaylistOpen));
    EXPECT_TRUE(settings.flag(keys::Tray));
}

TEST_F(SettingsTest, DataBuiltKeys)
{
    EXPECT_EQ(fileTypeKey(3, "name"), "3 name");
    EXPECT_EQ(rememberedPositionKey(QStringLiteral("song.mp3"), 185), "song.mp3@185");
}
