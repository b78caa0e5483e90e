// Refresh and Mark current row: the projection of the table onto the
// playlist window's rows. Row r shows entry scrollOffset + r. The model
// remembers each row's entry stamp and colour, so a refresh after a change
// outside the shown rows sends nothing but the scroll state.

#include "playlist/playlist_model.h"

#include "base/format_time.h"
#include "base/rounding.h"

namespace velmora {

std::uint32_t PlaylistModel::rowColour(int index) const
{
    // By kind first, then the current entry's mark; never by comparing colours,
    // which would take a group's colour away when it equals the current one.
    if (index == currentIndex_)
        return colours_.current;
    return entry(index).isGroup() ? colours_.group : colours_.file;
}

PlaylistRow PlaylistModel::rowContent(int index) const
{
    const PlaylistEntry& e = entry(index);
    PlaylistRow row;
    row.checked = e.checked;
    row.text = QString(std::max<int>(0, e.deep), QLatin1Char(' ')) + e.text;
    if (e.time >= 0)
        row.timeText = formatTime(e.time);
    row.colour = rowColour(index);
    return row;
}

void PlaylistModel::refresh()
{
    if (!view_)
        return;
    const int count = playlistCount();
    const int n = visibleRows_;
    // 1-3. More entries than rows: the scroll elements follow the offset.
    ScrollElements scroll;
    int rows = count;
    if (count > n) {
        scroll = {.scroll = true, .scrollUp = scrollOffset_ != 0, .scrollDown = scrollOffset_ + n != count};
        rows = n;
    }
    // 4. As many rows as are to be filled; a new row count rewrites them all.
    if (shown_.rowCount != rows) {
        view_->setRowCount(rows);
        shown_.rowCount = rows;
        shown_.stamps.assign(static_cast<size_t>(rows) + 1, 0);
        shown_.colours.assign(static_cast<size_t>(rows) + 1, 0);
    }
    // 5, 7, 8. Each row: its entry's check, indented text, time and colour.
    for (int r = 1; r <= rows; ++r) {
        const int index = scrollOffset_ + r;
        const Slot& s = slots_[static_cast<size_t>(index)];
        const std::uint32_t colour = rowColour(index);
        if (shown_.stamps[static_cast<size_t>(r)] != s.stamp) {
            view_->setRow(r, rowContent(index));
            shown_.stamps[static_cast<size_t>(r)] = s.stamp;
            shown_.colours[static_cast<size_t>(r)] = colour;
        } else if (shown_.colours[static_cast<size_t>(r)] != colour) {
            view_->setRowColour(r, colour);
            shown_.colours[static_cast<size_t>(r)] = colour;
        }
    }
    if (!shown_.scroll || *shown_.scroll != scroll) {
        view_->setScrollElements(scroll);
        shown_.scroll = scroll;
    }
    // 6. The thumb, in single precision as the skin's geometry is.
    const ScrollGeometry g = view_->scrollGeometry();
    int top = g.trackTop;
    if (count - n > 0) {
        const float span = static_cast<float>(g.trackHeight - g.thumbHeight);
        top = roundHalfEven(static_cast<double>(static_cast<float>(g.trackTop)
                                                + span * static_cast<float>(scrollOffset_)
                                                      / static_cast<float>(count - n)));
    }
    if (shown_.thumbTop != top) {
        view_->setThumbTop(top);
        shown_.thumbTop = top;
    }
}

void PlaylistModel::markCurrentRow()
{
    if (!view_ || shown_.rowCount < 0)
        return;
    for (int r = 1; r <= shown_.rowCount; ++r) {
        const int index = scrollOffset_ + r;
        if (index > playlistCount())
            break;
        const std::uint32_t colour = rowColour(index);
        if (shown_.colours[static_cast<size_t>(r)] != colour) {
            view_->setRowColour(r, colour);
            shown_.colours[static_cast<size_t>(r)] = colour;
        }
    }
}

void PlaylistModel::invalidateView() { shown_ = Shown{}; }

}  // namespace velmora
