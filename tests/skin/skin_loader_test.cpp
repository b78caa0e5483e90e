// LoadSkin on temporary skins: what each key sets, what a missing or broken
// value leaves alone, the list measurement, outlines and knobs.

#include "skin_fixture.h"

#include <QHeaderView>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::TempSkin;

namespace {

class SkinLoaderTest : public ::testing::Test {
protected:
    SkinnedWindows& w() { return *h.windows; }
    MainForm& main() { return w().mainForm(); }
    VolumeForm& volume() { return w().volumeForm(); }
    PlaylistForm& playlist() { return w().playlistForm(); }

    test::WindowsHarness h;
    TempSkin skin;
};

}  // namespace

TEST_F(SkinLoaderTest, ACompleteSkinDressesEveryWindow)
{
    test::writeSmallSkin(skin);
    int refreshes = 0;
    int rowsAtRefresh = -1;
    w().setRefreshHandler([&] {
        ++refreshes;
        rowsAtRefresh = w().skin().visibleRows;
    });
    w().loadSkin(skin.folder());

    EXPECT_EQ(w().skin().skinName, QStringLiteral("Small"));
    EXPECT_EQ(main().size(), QSize(300, 100));
    EXPECT_EQ(volume().size(), QSize(200, 80));
    EXPECT_EQ(playlist().size(), QSize(300, 200));
    EXPECT_EQ(w().skin().mainRadius, 20);
    EXPECT_EQ(w().skin().volumeRadius, 10);
    EXPECT_EQ(w().skin().playlistRadius, 16);
    EXPECT_EQ(w().skin().offsets, (GroupOffsets{{306, 0}, {0, 106}}));
    EXPECT_EQ(main().background().size(), QSize(300, 100));

    TransImg* play = main().element("Play");
    EXPECT_EQ(play->pos(), QPoint(12, 70));
    EXPECT_EQ(play->size(), QSize(20, 16));
    EXPECT_EQ(main().element("SliderPlayBack")->size(), QSize(200, 8));
    EXPECT_EQ(playlist().element("ScrollBack")->pos(), QPoint(278, 40));

    EXPECT_DOUBLE_EQ(main().currentTime().font().pointSizeF(), 12);
    EXPECT_EQ(main().currentTime().textColour(), 0x0000FFu);  // &HFF0000 is blue
    EXPECT_EQ(main().time().textColour(), 0xFF0000u);         // 255 is red
    EXPECT_EQ(main().time().pos(), QPoint(200, 20));
    EXPECT_EQ(main().currentTime().text(), QStringLiteral("00:00:00"));

    EXPECT_EQ(playlist().list().geometry(), QRect(10, 20, 260, 150));
    EXPECT_EQ(playlist().colours(), (PlaylistColours{0xC0C0C0, 0xFFA000, 0x00FF00}));
    EXPECT_DOUBLE_EQ(playlist().list().font().pointSizeF(), 9);
    EXPECT_EQ(refreshes, 1);
    EXPECT_GT(rowsAtRefresh, 0);  // measured before the refresh
    EXPECT_EQ(playlist().list().rowCount(), 0);  // the measuring rows are gone
}

TEST_F(SkinLoaderTest, ToolTipsAndStartStatesBelongToTheWindows)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    EXPECT_EQ(main().element("Forward")->toolTip(), QStringLiteral("Перемотать вперед"));
    EXPECT_EQ(main().element("SliderPlay")->toolTip(), QStringLiteral("Позиция"));
    EXPECT_TRUE(main().element("SliderPlayBack")->toolTip().isEmpty());
    EXPECT_EQ(main().time().toolTip(), QStringLiteral("Продолжительность клипа"));
    EXPECT_EQ(volume().element("VolumeRight")->toolTip(), QStringLiteral("Увеличить громкость"));
    EXPECT_EQ(playlist().element("Untree")->toolTip(), QStringLiteral("Удалить информацию о вложенности"));
    for (const char* off : {"Play", "Pause", "Stop", "Back", "Forward", "StepBack", "StepForward", "SliderPlay"})
        EXPECT_FALSE(main().element(off)->isEnabled()) << off;
    for (const char* on : {"Close", "Minimize", "Menu", "SliderPlayBack"})
        EXPECT_TRUE(main().element(on)->isEnabled()) << on;
    for (const char* off : {"ScrollUp", "ScrollDown", "Scroll"})
        EXPECT_FALSE(playlist().element(off)->isEnabled()) << off;
    EXPECT_TRUE(playlist().element("Plus")->isEnabled());
}

TEST_F(SkinLoaderTest, MissingAndBrokenValuesKeepThePreviousSkin)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    const QImage oldPlay = main().element("Play")->picture();

    TempSkin second;
    second.picture(QStringLiteral("main2.bmp"), {320, 90}, Qt::darkBlue);
    second.ini(
        "[SKIN]\n"
        "MainWidth=\n"             // empty: unchanged
        "mainheight=90\n"          // any case
        "MainRadius=round\n"       // does not convert: keeps 20
        "Main=main2.bmp\n"
        "play=nothere.bmp\n"       // cannot load: keeps the picture
        "playleft=letters\n"       // keeps 12
        "playtop= 60 \n"
        "timecolor=&Hxyz\n"
        "Volumey=8\n"              // Volumex missing: keeps 306
        "playlistlistcolor=\n");
    w().loadSkin(second.folder());
    EXPECT_EQ(w().skin().skinName, QStringLiteral("Small"));
    EXPECT_EQ(main().size(), QSize(300, 90));
    EXPECT_EQ(w().skin().mainRadius, 20);
    EXPECT_EQ(main().background().size(), QSize(320, 90));
    EXPECT_EQ(main().element("Play")->picture(), oldPlay);
    EXPECT_EQ(main().element("Play")->pos(), QPoint(12, 60));
    EXPECT_EQ(main().time().textColour(), 0xFF0000u);
    EXPECT_EQ(w().skin().offsets.volume, QPoint(306, 8));
    EXPECT_EQ(playlist().colours().file, 0xC0C0C0u);
}

TEST_F(SkinLoaderTest, AFolderWithoutSkinIniChangesOnlyTheComputedParts)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    const int rows = w().skin().visibleRows;
    int refreshes = 0;
    w().setRefreshHandler([&] { ++refreshes; });
    h.settings.setWhole(keys::Volume, 0);
    TempSkin empty;
    w().loadSkin(empty.folder());
    EXPECT_EQ(main().size(), QSize(300, 100));
    EXPECT_EQ(main().element("Play")->pos(), QPoint(12, 70));
    EXPECT_EQ(w().skin().visibleRows, rows);
    EXPECT_EQ(refreshes, 1);
    // The knobs are placed again from the settings.
    EXPECT_DOUBLE_EQ(volume().element("SliderVolume")->left(), 30);
}

TEST_F(SkinLoaderTest, KnobsFollowTheStoredSettings)
{
    test::writeSmallSkin(skin);
    // Balance track 100 wide at 20, knob 10 wide: Balance 50 -> 65.
    w().loadSkin(skin.folder());
    EXPECT_DOUBLE_EQ(volume().element("SliderBalance")->left(), 65);
    // Volume default 100: flush with the track's right end (30 + 120 - 10).
    EXPECT_DOUBLE_EQ(volume().element("SliderVolume")->left(), 140);
    EXPECT_EQ(volume().element("SliderVolume")->pos().y(), 12);  // top as the skin placed it

    h.settings.setWhole(keys::Volume, 0);
    h.settings.setWhole(keys::Balance, 150);  // out of range: the track's right end
    w().loadSkin(skin.folder());
    EXPECT_DOUBLE_EQ(volume().element("SliderVolume")->left(), 30);
    EXPECT_DOUBLE_EQ(volume().element("SliderBalance")->left(), 110);
}

TEST_F(SkinLoaderTest, OutlinesFollowSizesAndRadii)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    EXPECT_EQ(main().mask(), roundedWindowRegion(300, 100, 20));
    EXPECT_FALSE(main().mask().contains(QPoint(0, 0)));
    EXPECT_EQ(volume().mask(), roundedWindowRegion(200, 80, 10));

    TempSkin square;
    square.ini("[Skin]\nMainRadius=0\nMainWidth=250\n");
    w().loadSkin(square.folder());
    EXPECT_EQ(main().mask(), QRegion(0, 0, 250, 100));
}

TEST_F(SkinLoaderTest, ListBackgroundIsThePictureUnderTheList)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    const QImage cut = playlist().list().backgroundPicture().toImage();
    ASSERT_EQ(cut.size(), QSize(260, 150));
    const QImage& window = playlist().background();
    for (QPoint p : {QPoint(0, 0), QPoint(259, 149), QPoint(100, 70)})
        EXPECT_EQ(cut.pixel(p), window.pixel(p + QPoint(10, 20))) << p.x() << "," << p.y();
}

TEST_F(SkinLoaderTest, ColumnsShareTheListWidth)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    const int label = playlist().measuringLabel().width();
    EXPECT_EQ(label, playlist().measuringLabel().fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")));
    EXPECT_EQ(playlist().list().columnWidth(1), label + 15);
    EXPECT_EQ(playlist().list().columnWidth(0), 260 - label - 30);
    EXPECT_TRUE(playlist().list().isHeaderHidden());
    EXPECT_LT(playlist().measuringLabel().y(), 0);  // never seen
}

TEST_F(SkinLoaderTest, VisibleRowsAreTheRowsThatFitWhole)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    SkinListView& list = playlist().list();
    list.setRowCount(2);
    const int rowHeight = list.visualItemRect(list.topLevelItem(1)).top();
    list.setRowCount(0);
    ASSERT_GT(rowHeight, 8);

    struct Case {
        int height, rows;
    };
    for (Case c : {Case{rowHeight * 5 + rowHeight / 2, 5},  // row 6 cut off
                   Case{rowHeight * 5 + 1, 5},               // row 6 shows one pixel row
                   Case{rowHeight * 5, 5},                   // exactly five rows tall: all five show
                   Case{rowHeight, 1}}) {                    // a one-row list shows its row
        TempSkin s;
        s.ini("[Skin]\nplaylistlistheight=" + QByteArray::number(c.height) + "\n");
        w().loadSkin(s.folder());
        EXPECT_EQ(w().skin().visibleRows, c.rows) << "height " << c.height;
    }
}

TEST_F(SkinLoaderTest, LargerFontsFitFewerRows)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    const int at9 = w().skin().visibleRows;
    TempSkin big;
    big.ini("[Skin]\nplaylistlistsize=18\n");
    w().loadSkin(big.folder());
    const int at18 = w().skin().visibleRows;
    EXPECT_GT(at9, at18);
    EXPECT_GT(at18, 0);
    EXPECT_GT(playlist().measuringLabel().width(), 0);
    EXPECT_EQ(playlist().list().columnWidth(0), 260 - playlist().measuringLabel().width() - 30);
}

TEST_F(SkinLoaderTest, NoRowUnderTheMeasuringPointKeepsTheCount)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    const int rows = w().skin().visibleRows;
    for (const char* height : {"0", "50000"}) {  // no height; taller than 100 rows
        TempSkin s;
        s.ini(QByteArray("[Skin]\nplaylistlistheight=") + height + "\n");
        w().loadSkin(s.folder());
        EXPECT_EQ(w().skin().visibleRows, rows) << height;
    }
}

TEST_F(SkinLoaderTest, TheLoaderDoesNotMoveOrShowTheWindows)
{
    test::writeSmallSkin(skin);
    w().loadSkin(skin.folder());
    main().move(100, 50);
    w().placeCompanions();
    TempSkin other;
    other.ini("[Skin]\nVolumex=10\nVolumey=20\nMainWidth=310\n");
    w().loadSkin(other.folder());
    EXPECT_EQ(volume().pos(), QPoint(406, 50));  // new offset only at the next group move
    EXPECT_FALSE(volume().isVisible());
    EXPECT_FALSE(playlist().isVisible());
    w().placeCompanions();
    EXPECT_EQ(volume().pos(), QPoint(110, 70));
}
