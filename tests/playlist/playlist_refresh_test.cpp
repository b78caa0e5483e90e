// Refresh and Mark current row: rows, scroll elements, thumb and colours at
// the boundaries, and that a refresh sends only what changed.

#include "playlist/playlist_model.h"
#include "playlist_fakes.h"
#include "playlist_test_util.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr std::uint32_t kFile = 0x111111, kGroup = 0x222222, kCurrent = 0x333333;

struct RefreshFixture : ::testing::Test {
    PlaylistModel model;
    test::RecordingRowView view;

    void SetUp() override
    {
        model.setVisibleRows(10);
        model.setColours({kFile, kGroup, kCurrent});
        model.setRowView(&view);
    }
    // count entries in all, the root included.
    void fill(int count)
    {
        PlaylistModel::Batch batch(model);
        for (int i = 2; i <= count; ++i)
            model.addPath(QStringLiteral("/m/%1.mp3").arg(i));
    }
};

}  // namespace

TEST_F(RefreshFixture, OneFileShowsUnderTheRootIndented)
{
    model.addPath(QStringLiteral("/m/song.mp3"));
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.texts(), QStringList({"Все клипы", " song.mp3"}));
    EXPECT_EQ(view.rows[0].timeText, "00:00:00");
    EXPECT_EQ(view.rows[1].timeText, "");
    EXPECT_EQ(view.rows[0].colour, kGroup);
    EXPECT_EQ(view.rows[1].colour, kFile);
    EXPECT_TRUE(view.rows[1].checked);
    EXPECT_EQ(view.scroll, ScrollElements{});
    EXPECT_EQ(view.thumbTop, 10);
}

TEST_F(RefreshFixture, ScrollElementsAtTheBoundaries)
{
    fill(12);
    model.setScrollOffset(2);
    model.refresh();
    ASSERT_EQ(view.rows.size(), 10u);
    EXPECT_EQ(view.rows.front().text, " 3.mp3");
    EXPECT_EQ(view.rows.back().text, " 12.mp3");
    EXPECT_EQ(view.scroll, (ScrollElements{.scroll = true, .scrollUp = true, .scrollDown = false}));
    EXPECT_EQ(view.thumbTop, 110);  // the bottom of the track: 10 + 110 - 10

    model.setScrollOffset(1);
    model.refresh();
    EXPECT_EQ(view.scroll, (ScrollElements{.scroll = true, .scrollUp = true, .scrollDown = true}));
    EXPECT_EQ(view.thumbTop, 60);

    // Rows = entries, one fewer, one more.
    for (const auto& [count, scroll] : {std::pair{10, ScrollElements{}}, std::pair{9, ScrollElements{}},
                                        std::pair{11, ScrollElements{true, false, true}}}) {
        PlaylistModel m;
        test::RecordingRowView v;
        m.setVisibleRows(10);
        m.setRowView(&v);
        for (int i = 2; i <= count; ++i)
            m.addPath(QStringLiteral("/m/%1.mp3").arg(i));
        EXPECT_EQ(v.scroll, scroll) << count;
        EXPECT_EQ(static_cast<int>(v.rows.size()), std::min(count, 10)) << count;
        EXPECT_EQ(v.rows.back().text, QStringLiteral(" %1.mp3").arg(std::min(count, 10))) << count;
        EXPECT_EQ(v.thumbTop, 10) << count;
    }
}

TEST_F(RefreshFixture, RemovalsNeverShowMissingEntries)
{
    fill(12);
    model.setScrollOffset(2);
    model.removeEntryWithSubtree(12);
    EXPECT_EQ(model.scrollOffset(), 1);
    EXPECT_EQ(view.rows.back().text, " 11.mp3");
    for (int i = 11; i >= 6; --i)
        model.removeEntryWithSubtree(i);
    EXPECT_EQ(view.rows.size(), 5u);
    EXPECT_EQ(view.texts().front(), "Все клипы");
    EXPECT_EQ(view.scroll, ScrollElements{});
    model.removeEntryWithSubtree(1);
    EXPECT_TRUE(view.rows.empty());
}

TEST_F(RefreshFixture, GroupsKeepTheirColourWhenItEqualsTheCurrentOne)
{
    model.setColours({kFile, kCurrent, kCurrent});
    model.appendGroup(QStringLiteral("G"), 2, true, 0);
    model.addPath(QStringLiteral("/m/a.mp3"), AddOptions::at(3));
    model.addPath(QStringLiteral("/m/b.mp3"), AddOptions::at(3));
    model.setCurrentIndex(3);
    model.markCurrentRow();
    model.setCurrentIndex(4);
    model.markCurrentRow();
    EXPECT_EQ(view.rows[0].colour, kCurrent);  // the root, a group
    EXPECT_EQ(view.rows[1].colour, kCurrent);  // G, a group
    EXPECT_EQ(view.rows[2].colour, kFile);     // a, no longer current
    EXPECT_EQ(view.rows[3].colour, kCurrent);  // b, current
}

TEST_F(RefreshFixture, MarkCurrentRowRecoloursOnlyTheTwoRowsConcerned)
{
    fill(8);
    model.setCurrentIndex(3);
    model.markCurrentRow();
    EXPECT_EQ(view.rows[2].colour, kCurrent);
    const int rowWrites = view.rowWrites;
    const int colourWrites = view.colourWrites;
    model.setCurrentIndex(5);
    model.markCurrentRow();
    EXPECT_EQ(view.rowWrites, rowWrites);
    EXPECT_EQ(view.colourWrites, colourWrites + 2);
    EXPECT_EQ(view.rows[2].colour, kFile);
    EXPECT_EQ(view.rows[4].colour, kCurrent);
    // Scrolled out of view: no row carries the mark.
    model.setCurrentIndex(-1);
    model.refresh();
    for (const PlaylistRow& r : view.rows)
        EXPECT_NE(r.colour, kCurrent);
}

TEST_F(RefreshFixture, ChangesOutsideTheShownRowsSendNoRows)
{
    fill(10);
    const int rowWrites = view.rowWrites;
    for (int i = 0; i < 1000; ++i)
        model.addPath(QStringLiteral("/m/more%1.mp3").arg(i));
    EXPECT_EQ(view.rowWrites, rowWrites);
    EXPECT_EQ(view.scroll, (ScrollElements{.scroll = true, .scrollUp = false, .scrollDown = true}));
    model.setText(5, QStringLiteral("renamed"));
    EXPECT_EQ(view.rowWrites, rowWrites + 1);
    EXPECT_EQ(view.rows[4].text, " renamed");
    model.setChecked(6, false);
    EXPECT_FALSE(view.rows[5].checked);
    // The view changed its rows itself (a label edit): rewritten when told.
    view.rows[4].text = QStringLiteral("typed");
    model.refresh();
    EXPECT_EQ(view.rows[4].text, "typed");
    model.invalidateView();
    model.refresh();
    EXPECT_EQ(view.rows[4].text, " renamed");
}

TEST_F(RefreshFixture, ScrollingRewritesTheShownRows)
{
    fill(30);
    model.setScrollOffset(20);
    model.refresh();
    EXPECT_EQ(view.rows.front().text, " 21.mp3");
    EXPECT_EQ(view.rows.back().text, " 30.mp3");
    EXPECT_EQ(view.scroll, (ScrollElements{.scroll = true, .scrollUp = true, .scrollDown = false}));
    model.setScrollOffset(0);
    model.refresh();
    EXPECT_EQ(view.rows.front().text, "Все клипы");
    EXPECT_EQ(view.thumbTop, 10);
}
