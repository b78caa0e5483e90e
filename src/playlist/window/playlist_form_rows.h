#pragma once
// PlaylistFormRows: the playlist model's row view on the playlist window:
// rows go to the list area, the scroll elements' enabled states and the
// thumb's place to ScrollUp, ScrollDown, Scroll and ScrollBack. The
// playlist window's behaviour hands this to the model. UI thread only; the
// form must outlive it.

#include "playlist/playlist_row_view.h"

namespace velmora {

class PlaylistForm;

class PlaylistFormRows : public PlaylistRowView {
public:
    explicit PlaylistFormRows(PlaylistForm& form) : form_(form) {}

    void setRowCount(int rows) override;
    void setRow(int row, const PlaylistRow& content) override;
    void setRowColour(int row, std::uint32_t rgb) override;
    void setScrollElements(const ScrollElements& enabled) override;
    ScrollGeometry scrollGeometry() const override;
    void setThumbTop(int top) override;

private:
    PlaylistForm& form_;
};

}  // namespace velmora
