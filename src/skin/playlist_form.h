#pragma once
// PlaylistForm: the playlist window's skinned frame: its elements (Plus,
// Minus, Up, Down, ScrollUp, ScrollDown, the thumb Scroll on its track
// ScrollBack, Save, Untree), the list area `Playlist` and the measuring
// label `Label1` (above the window's top edge, never seen).
//
// The skin loader places the list, cuts its background out of the window
// picture, sets its font and colours, sizes its two columns and counts its
// visible rows. What the list shows and what the buttons do belongs to the
// playlist window's behaviour, wired on top of this. UI thread only.

#include "base/playlist_colours.h"
#include "skin/skin_list_view.h"
#include "skin/skinned_form.h"

#include <QLabel>

#include <cstdint>
#include <optional>

namespace velmora {

class PlaylistForm : public SkinnedForm {
    Q_OBJECT
public:
    PlaylistForm();

    SkinListView& list() { return *list_; }
    const SkinListView& list() const { return *list_; }
    QLabel& measuringLabel() { return *timeWidthProbe_; }

    // List place and size in the window's pixels, fractions kept.
    void setListLeft(double v);
    void setListTop(double v);
    void setListWidth(double v);
    void setListHeight(double v);

    const PlaylistColours& colours() const { return colours_; }
    void setFileColour(std::uint32_t rgb) { colours_.file = rgb; }
    void setGroupColour(std::uint32_t rgb) { colours_.group = rgb; }
    void setCurrentColour(std::uint32_t rgb) { colours_.current = rgb; }

    // Cuts the list's background out of the window picture (list place and
    // size); false when there is nothing to cut.
    bool cutListBackground();
    // Font size of the list and of the measuring label, then the column
    // widths: time column = width of "00:00:00" + 15, text column = list
    // width - that width - 30.
    void setListPointSize(double points);
    void sizeColumns();
    // Counts the whole rows that fit: fills 100 empty rows, finds the row
    // under the list's bottom pixel row and takes the one before it; the
    // rows are removed again. nullopt when no row lies there.
    std::optional<int> measureVisibleRows();

private:
    void applyListGeometry();

    SkinListView* list_;
    QLabel* timeWidthProbe_;
    double listLeft_ = 0, listTop_ = 0, listWidth_ = 0, listHeight_ = 0;
    PlaylistColours colours_;
};

}  // namespace velmora
