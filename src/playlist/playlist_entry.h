#pragma once
// PlaylistEntry: one row of the playlist table, and the constants that give
// its fields their meaning. Plain data.

#include <QString>
#include "base/file_name.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

// The identity of an entry for as long as it lives: unlike its index, it
// survives moves, removals and insertions around it, and is never reused by
// the same model. 0 is no entry.
using EntryId = std::uint64_t;

// `time` values besides whole seconds.
inline constexpr std::int32_t kTimeUnmeasured = -1;    // a file not measured yet
inline constexpr std::int32_t kTimeUnmeasurable = -2;  // a file that cannot be measured; a folder group before its first measured file

// Nesting values: a group at tree level L has deep 2L, a file inside it 2L + 1.
inline constexpr std::int16_t kMaxFileDeep = 32767;
inline constexpr std::int16_t kMaxGroupDeep = 32766;

// The root group's text.
inline QString rootGroupText() { return QStringLiteral("Все клипы"); }

// Add path's default text: the path after its last "/", or after its last
// "\" when it has no "/" (the older platform's "C:\x\y.mp3"; in our paths
// "\" is a character of a name); empty when it holds neither.
inline QString entryTextForPath(const QString& path)
{
    qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    if (cut < 0)
        cut = path.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : displayFileName(path.mid(cut + 1));
}

struct PlaylistEntry {
    QString text;         // shown in the list; a file's name or a group's name
    QString path;         // the clip's full path; empty for a group
    std::int32_t time = kTimeUnmeasured;  // seconds; for a group the sum of its measured files
    bool checked = true;  // unchecked entries (and everything below an unchecked group) are skipped
    std::int16_t deep = 1;  // odd: a file; even: a group

    bool isGroup() const { return deep % 2 == 0; }
    bool isFile() const { return !isGroup(); }
};

}  // namespace velmora
