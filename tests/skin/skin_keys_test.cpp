#include "skin/skin_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace velmora;

TEST(SkinKeys, NumbersTakeSignFractionAndEitherSeparator)
{
    EXPECT_EQ(parseSkinNumber(QStringLiteral(" 12 ")), 12.0);
    EXPECT_EQ(parseSkinNumber(QStringLiteral("-3.5")), -3.5);
    EXPECT_EQ(parseSkinNumber(QStringLiteral("7,25")), 7.25);
    EXPECT_FALSE(parseSkinNumber(QStringLiteral("twelve")));
    EXPECT_FALSE(parseSkinNumber(QStringLiteral("12px")));
    EXPECT_FALSE(parseSkinNumber(QString()));
}

TEST(SkinKeys, ColoursDecimalOrHexWithRedInTheLowByte)
{
    EXPECT_EQ(parseSkinColour(QStringLiteral("&HFF")), 255u);
    EXPECT_EQ(parseSkinColour(QStringLiteral("255")), 255u);
    EXPECT_EQ(skinColourToRgb(*parseSkinColour(QStringLiteral("255"))), 0xFF0000u);     // red
    EXPECT_EQ(skinColourToRgb(*parseSkinColour(QStringLiteral("&HFF0000"))), 0x0000FFu);  // blue
    EXPECT_EQ(parseSkinColour(QStringLiteral("&h00ff00&")), 0x00FF00u);
    EXPECT_FALSE(parseSkinColour(QStringLiteral("16777216")));
    EXPECT_FALSE(parseSkinColour(QStringLiteral("-1")));
    EXPECT_FALSE(parseSkinColour(QStringLiteral("&Hzz")));
}

TEST(SkinKeys, ElementTableIsCompleteAndUnique)
{
    std::set<std::string> pictures;
    int main = 0, volume = 0, playlist = 0;
    for (const auto& e : kSkinElements) {
        EXPECT_TRUE(pictures.insert(std::string(e.picture)).second) << e.picture;
        main += e.window == SkinWindow::Main;
        volume += e.window == SkinWindow::Volume;
        playlist += e.window == SkinWindow::Playlist;
    }
    EXPECT_EQ(main, 12);
    EXPECT_EQ(volume, 8);
    EXPECT_EQ(playlist, 10);
}
