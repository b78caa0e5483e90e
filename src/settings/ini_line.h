#pragma once
// The line grammar of every sections-and-keys file the player reads: the
// settings store's "settings.ini", a skin's "skin.ini" and a ".pml" playlist.
// One reader, so the files cannot drift apart in what a line means.
//
// A line is trimmed of blanks (a trailing "\r" included) and then is
//  - a section header when it starts with "[": its name is the text up to
//    the first "]" (or the end), trimmed;
//  - a comment when it starts with ";";
//  - a key when it holds "=": the name before the first "=" and the value
//    after it, both trimmed;
//  - otherwise nothing (blank or stray text).
// What a value means (escapes, quotes, an empty value) is the caller's.
// (The front program reads one key with a minimal reader of its own, see
// channel/channel_name.h, because it links no Qt.) Plain functions.

#include <QStringView>

namespace velmora {

struct IniLine {
    enum class Kind { Other, Comment, Section, Key };
    Kind kind = Kind::Other;
    QStringView name;   // section or key name, trimmed; views into the line
    QStringView value;  // a key's value, trimmed
    qsizetype eq = -1;  // a key's "=" as an offset into the line as given
};

IniLine readIniLine(QStringView line);
// Whether the line is a section header; cheaper than readIniLine().
inline bool isIniSectionLine(QStringView line) { return line.trimmed().startsWith(QLatin1Char('[')); }

}  // namespace velmora
