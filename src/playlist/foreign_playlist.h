#pragma once
// Playlists of other players (".m3u", ".m3u8", ".pls", ".xspf") read into
// plain data: each entry's location as the file gives it and its title.
// Nothing here touches the disk or the model; list_files.h resolves the
// locations and appends the entries. Pure functions, any thread.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

enum class ForeignFormat { M3u, M3u8, Pls, Xspf };

// The format the path's extension names, in any letter case.
std::optional<ForeignFormat> foreignFormatOf(const QString& path);

struct ForeignReading {
    QString location;
    QString title;
    bool operator==(const ForeignReading&) const = default;
};

struct ForeignEntry {
    QString location;  // a path (absolute or relative) or a URL
    QString title;     // empty: none given
    // Where else the entry may be, in order of preference: a line of an
    // ".m3u" or ".pls" that is not UTF-8 read in the other legacy encodings
    // and as a name's own bytes; XSPF's further <location>s. The loader
    // takes the first that names an existing file.
    std::vector<ForeignReading> alternatives;
    bool operator==(const ForeignEntry&) const = default;
};

// Lines end in LF, CR LF or a lone CR (old exports) in M3U and PLS.
//
// M3U: one location per line; "#EXTINF:<seconds>[ attributes],<title>"
// titles the next location; other "#" lines and blank lines are skipped.
// utf8Only (".m3u8"): the bytes are UTF-8 (other bytes kept as file name
// bytes, base/file_name.h). Otherwise each line that is not valid UTF-8 is
// read in the legacy encodings (base/text_codec.h legacyEncodings()), the
// first as location and title, the others and the raw bytes as
// alternatives.
std::vector<ForeignEntry> parseM3u(const QByteArray& bytes, bool utf8Only);

// PLS: "[playlist]" with FileN and TitleN, in the order of N (1, 2, ...);
// lines that are not UTF-8 read as in an ".m3u".
std::vector<ForeignEntry> parsePls(const QByteArray& bytes);

// XSPF: every <track> of <trackList> with its <location>s (URIs, resolved
// against the xml:base in effect; still relative when none is) and
// <title>, decoded as the XML declaration says. A file that is not
// well-formed gives the tracks read before the fault.
std::vector<ForeignEntry> parseXspf(const QByteArray& bytes);

}  // namespace velmora
