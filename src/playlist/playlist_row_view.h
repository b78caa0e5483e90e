#pragma once
// PlaylistRowView: what the playlist model's Refresh projects onto, the list
// rows and scroll elements of the playlist window. The window implements it;
// tests use a recording fake.
//
// Rows are numbered from 1; row r shows entry scrollOffset + r. The model
// remembers what it last sent and only sends what changed, so a view must
// not change its rows behind the model's back without calling
// PlaylistModel::invalidateView(). UI thread only; the model never owns the
// view.

#include <QString>

#include <cstdint>

namespace velmora {

// One list row as shown.
struct PlaylistRow {
    bool checked = true;
    QString text;      // deep spaces (the indentation shows the tree), then the entry's text
    QString timeText;  // "HH:MM:SS", or empty for an unmeasured or unmeasurable entry
    std::uint32_t colour = 0;  // 0xRRGGBB
};

// Enabled states of the three scroll elements.
struct ScrollElements {
    bool scroll = false;      // the thumb `Scroll`
    bool scrollUp = false;    // `ScrollUp`
    bool scrollDown = false;  // `ScrollDown`
    friend bool operator==(const ScrollElements&, const ScrollElements&) = default;
};

// The thumb's track (the element `ScrollBack`) and the thumb's height, in
// the window's pixels.
struct ScrollGeometry {
    int trackTop = 0;
    int trackHeight = 0;
    int thumbHeight = 0;
};

class PlaylistRowView {
public:
    virtual ~PlaylistRowView() = default;

    // The list has exactly this many rows (new rows may be left empty: the
    // model fills every row after changing the count).
    virtual void setRowCount(int rows) = 0;
    // Writes every column and the colour of one row (1-based).
    virtual void setRow(int row, const PlaylistRow& content) = 0;
    // Changes only the row's text colour (marking the current row).
    virtual void setRowColour(int row, std::uint32_t rgb) = 0;

    virtual void setScrollElements(const ScrollElements& enabled) = 0;
    // Read at every Refresh to place the thumb.
    virtual ScrollGeometry scrollGeometry() const = 0;
    virtual void setThumbTop(int top) = 0;
};

}  // namespace velmora
