#include "playlist/window/playlist_form_rows.h"

#include "base/rounding.h"
#include "skin/playlist_form.h"

namespace velmora {

void PlaylistFormRows::setRowCount(int rows) { form_.list().setRowCount(rows); }

void PlaylistFormRows::setRow(int row, const PlaylistRow& content)
{
    form_.list().setRow(row, {content.checked, content.text, content.timeText, content.colour});
}

void PlaylistFormRows::setRowColour(int row, std::uint32_t rgb) { form_.list().setRowColour(row, rgb); }

void PlaylistFormRows::setScrollElements(const ScrollElements& enabled)
{
    form_.element("Scroll")->setEnabled(enabled.scroll);
    form_.element("ScrollUp")->setEnabled(enabled.scrollUp);
    form_.element("ScrollDown")->setEnabled(enabled.scrollDown);
}

ScrollGeometry PlaylistFormRows::scrollGeometry() const
{
    const TransImg* track = form_.element("ScrollBack");
    return {roundHalfEven(track->top()), track->pictureHeight(), form_.element("Scroll")->pictureHeight()};
}

void PlaylistFormRows::setThumbTop(int top) { form_.element("Scroll")->setTop(top); }

}  // namespace velmora
