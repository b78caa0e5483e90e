#pragma once
// The text of a new file type goes into file names (its icons), key names
// (its class) and MIME package names, so it is checked before any of them is
// made from it.

#include <QString>

#include <optional>

namespace velmora {

inline constexpr int kMaxFileTypeNameLength = 32;

// The extension as it is to be stored: the text without one leading ".".
// Nothing for text that is empty, begins or ends with a blank, holds "/",
// "\", "..", a second leading ".", a control character, "=", ";" (it would
// split the media pattern), a glob character "*", "?", "[" or "]" ("*"
// would make every file a clip), is "default" (the template icon's name)
// or is longer than 32 characters. Otherwise the text is kept as typed (no
// case folding).
std::optional<QString> acceptableFileTypeName(const QString& text);

}  // namespace velmora
