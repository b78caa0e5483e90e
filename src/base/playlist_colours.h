#pragma once
// The list's text colours, 0xRRGGBB, as the skin gives them: read by the
// skin's playlist window, drawn by the playlist model. Plain data.

#include <cstdint>

namespace velmora {

struct PlaylistColours {
    std::uint32_t file = 0;     // "playlistlistcolor"
    std::uint32_t group = 0;    // "playlistlistcolor2"
    std::uint32_t current = 0;  // "playlistlistcolor3"
    friend bool operator==(const PlaylistColours&, const PlaylistColours&) = default;
};

}  // namespace velmora
