#pragma once
// The file types the program handles out of the box, in table order: the
// program's own playlist first, then the classic clip types, then the types
// people play today. Shared by the file type table (its first-run defaults)
// and the icon generator (one factory icon each). Plain data.

#include <array>
#include <string_view>

namespace velmora {

enum class ClipKind { Playlist, Audio, Video };

struct DefaultFileType {
    std::string_view name;
    ClipKind kind;
};

inline constexpr std::array<DefaultFileType, 33> kDefaultFileTypes{{
    {"pml", ClipKind::Playlist}, {"mp3", ClipKind::Audio},  {"wav", ClipKind::Audio},
    {"mid", ClipKind::Audio},    {"mpg", ClipKind::Video},  {"mpeg", ClipKind::Video},
    {"mp2", ClipKind::Audio},    {"avi", ClipKind::Video},  {"asf", ClipKind::Video},
    {"m1v", ClipKind::Video},    {"mpa", ClipKind::Audio},  {"mpe", ClipKind::Video},
    {"mpv2", ClipKind::Video},   {"mov", ClipKind::Video},  {"au", ClipKind::Audio},
    {"aif", ClipKind::Audio},    {"aifc", ClipKind::Audio}, {"aiff", ClipKind::Audio},
    {"wmv", ClipKind::Video},    {"midi", ClipKind::Audio},
    // Added to the classic twenty: a folder of these must not come up empty.
    // Not "ts": on this desktop it is also TypeScript and Qt Linguist text.
    {"ogg", ClipKind::Audio},    {"oga", ClipKind::Audio},  {"opus", ClipKind::Audio},
    {"flac", ClipKind::Audio},   {"m4a", ClipKind::Audio},  {"aac", ClipKind::Audio},
    {"wma", ClipKind::Audio},    {"mp4", ClipKind::Video},  {"m4v", ClipKind::Video},
    {"mkv", ClipKind::Video},    {"webm", ClipKind::Video}, {"3gp", ClipKind::Video},
    {"flv", ClipKind::Video},
}};

// Icon files: the 256-pixel picture is "<name>.png"; smaller pictures drawn
// for their size sit in "<size>x<size>/<name>.png" beside it, so that panels
// and file lists show them crisp. "default" is the template of a new type.
inline constexpr std::string_view kTemplateIconName = "default";
inline constexpr std::array<int, 3> kSmallIconSizes{16, 32, 48};
inline constexpr int kLargeIconSize = 256;

}  // namespace velmora
