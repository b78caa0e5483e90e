#pragma once
// Text of the files the freedesktop desktop reads: desktop entries, file
// manager actions, shell scripts, MIME packages. Pure functions.

#include <QString>
#include <QStringList>

namespace velmora {

// One argument of a desktop entry's Exec line: as it is when it holds no
// reserved character, else in double quotes with '"', '`', '$' and '\'
// escaped by '\' and '%' doubled.
QString quoteExecArgument(const QString& argument);
// A string value of a desktop entry: '\' doubled, line breaks and tabs as
// their escapes.
QString escapeDesktopValue(const QString& value);
// One word for /bin/sh, in single quotes.
QString quoteShellWord(const QString& word);
QString escapeXml(const QString& text);

// The MIME types of files named "*.<ext>" as the shared MIME database knows
// them (the most likely first); when it knows none, the program's own type
// application/x-velmora4-<ext> (ownMimeType()).
QStringList mimeTypesForExtension(const QString& ext);
QString ownMimeType(const QString& ext);
bool isOwnMimeType(const QString& mimeType);

}  // namespace velmora
