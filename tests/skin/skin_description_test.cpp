// The skin description read from text into plain data.

#include "skin/skin_description.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

SkinDescription parse(const char* text, const QString& folder = QStringLiteral("/skins/blue/"))
{
    return parseSkinDescription(ProfileDocument::fromBytes(QByteArray(text)), folder);
}

}  // namespace

TEST(SkinDescription, EveryKindOfKeyConverts)
{
    const SkinDescription d = parse(
        "[Skin]\n"
        "Name=Blue Night\n"
        "Main=main.bmp\nMainWidth=300\nMainHeight=120.5\nMainRadius=20.5\n"
        "play=img\\play.bmp\nplayleft= 12 \nplaytop=7,25\n"
        "currenttimesize=10.5\ncurrenttimecolor=&HFF0000\ntimecolor=255\n"
        "Volumex=-12.5\nVolumey=13.5\n"
        "playlistlistcolor3=&H00FF00\nplaylistlistsize=9\n");
    EXPECT_TRUE(d.fileFound);
    EXPECT_EQ(d.name, QStringLiteral("Blue Night"));
    EXPECT_EQ(d.main.picture, QStringLiteral("/skins/blue/main.bmp"));
    EXPECT_EQ(d.main.width, 300.0);
    EXPECT_EQ(d.main.height, 120.5);  // sizes keep fractions
    EXPECT_EQ(d.main.radius, 20);     // radii round, halves to even
    EXPECT_EQ(d.element("Play").picture, QStringLiteral("/skins/blue/img/play.bmp"));
    EXPECT_EQ(d.element("Play").left, 12.0);
    EXPECT_EQ(d.element("Play").top, 7.25);
    EXPECT_EQ(d.labels[0].pointSize, 10.5);
    EXPECT_EQ(d.labels[0].colour, 0xFF0000u);  // blue in the skin's order
    EXPECT_EQ(d.labels[1].colour, 255u);       // red
    EXPECT_EQ(d.volume.offsetX, -12);
    EXPECT_EQ(d.volume.offsetY, 14);
    EXPECT_EQ(d.list.currentColour, 0x00FF00u);
    EXPECT_EQ(d.list.pointSize, 9.0);
}

TEST(SkinDescription, SectionAndKeyNamesIgnoreCase)
{
    for (const char* text : {"[skin]\nMAINWIDTH=300\n", "[SKIN]\nmainwidth=300\n", "[SkIn]\nMainWidth=300\n"}) {
        const SkinDescription d = parse(text);
        EXPECT_EQ(d.main.width, 300.0) << text;
    }
}

TEST(SkinDescription, MissingEmptyAndBrokenValuesStayUnset)
{
    const SkinDescription d = parse(
        "[Skin]\nMainWidth=\nplayleft=twelve\nMainRadius=big\ntimecolor=&Hzz\ncurrenttimesize=0\n"
        "timesize=-3\nVolumeWidth=-40\nMain=\n");
    EXPECT_FALSE(d.main.width);
    EXPECT_FALSE(d.main.height);
    EXPECT_FALSE(d.element("Play").left);
    EXPECT_FALSE(d.main.radius);
    EXPECT_FALSE(d.labels[1].colour);
    EXPECT_FALSE(d.labels[0].pointSize);  // a font cannot take 0 points
    EXPECT_FALSE(d.labels[1].pointSize);
    EXPECT_FALSE(d.volume.width);  // nor a window a negative width
    EXPECT_FALSE(d.main.picture);  // an empty picture key names no file
    EXPECT_FALSE(d.name);
}

TEST(SkinDescription, FirstOccurrenceWinsAndOtherSectionsAreIgnored)
{
    const SkinDescription d = parse("[Other]\nMainWidth=10\n[Skin]\nMainWidth=300\nmainwidth=400\n[skin]\nMainHeight=90\n");
    EXPECT_EQ(d.main.width, 300.0);
    EXPECT_FALSE(d.main.height);  // the second [skin] section is not the one read
}

TEST(SkinDescription, NoFileGivesNothing)
{
    const SkinDescription d = parseSkinDescription(ProfileDocument{}, QStringLiteral("/nowhere/"));
    EXPECT_FALSE(d.fileFound);
    EXPECT_EQ(d, SkinDescription{});
}

TEST(SkinDescription, FoldersGetSlashes)
{
    EXPECT_EQ(normalizeSkinFolder(QStringLiteral("D:\\Skins\\Blue")), QStringLiteral("D:/Skins/Blue/"));
    EXPECT_EQ(normalizeSkinFolder(QStringLiteral("/skins/blue/")), QStringLiteral("/skins/blue/"));
}
