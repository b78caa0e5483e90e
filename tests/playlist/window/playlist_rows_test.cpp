// The playlist model projected onto the skinned playlist window.

#include "playlist/playlist_model.h"
#include "playlist/window/playlist_form_rows.h"
#include "skin_fixture.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(PlaylistFormRows, TheModelFillsTheSkinnedListAndScrollElements)
{
    test::WindowsHarness h;
    test::TempSkin skin;
    test::writeSmallSkin(skin);
    PlaylistForm& form = h.windows->playlistForm();
    PlaylistModel model;
    PlaylistFormRows rows(form);
    model.setRowView(&rows);
    for (int i = 1; i <= 30; ++i)
        model.addPath(QStringLiteral("/music/song %1.mp3").arg(i));
    h.windows->setRefreshHandler([&] {
        model.setColours(form.colours());
        model.setVisibleRows(h.windows->skin().visibleRows);
        model.refresh();
    });
    h.windows->loadSkin(skin.folder());

    const int n = h.windows->skin().visibleRows;
    ASSERT_GT(n, 2);
    ASSERT_LT(n, 31);
    SkinListView& list = form.list();
    EXPECT_EQ(list.rowCount(), n);
    EXPECT_EQ(list.row(1).text, QStringLiteral("Все клипы"));
    EXPECT_EQ(list.rowColour(1), 0xFFA000u);  // group colour
    EXPECT_EQ(list.row(2).text, QStringLiteral(" song 1.mp3"));
    EXPECT_EQ(list.rowColour(2), 0xC0C0C0u);
    EXPECT_TRUE(form.element("Scroll")->isEnabled());
    EXPECT_TRUE(form.element("ScrollDown")->isEnabled());
    EXPECT_FALSE(form.element("ScrollUp")->isEnabled());
    EXPECT_DOUBLE_EQ(form.element("Scroll")->top(), 40);  // the track's top

    model.setScrollOffset(31 - n);  // the last page
    model.refresh();
    EXPECT_EQ(list.row(n).text, QStringLiteral(" song 30.mp3"));
    EXPECT_DOUBLE_EQ(form.element("Scroll")->top(), 40 + 100 - 20);  // the track's bottom end
    EXPECT_FALSE(form.element("ScrollDown")->isEnabled());
}
