#pragma once
// Decoding of text files we read from outside (skins, playlists): UTF-8 when
// the bytes are valid UTF-8, otherwise Windows-1251, the code page the older
// platform wrote them in.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

bool isValidUtf8(const QByteArray& bytes);

// UTF-8 when valid, else CP1251 (through iconv).
QString decodeUtf8OrCp1251(const QByteArray& bytes);

// The bytes read in the named encoding (an iconv name such as "CP1252");
// nullopt when the encoding is unknown or a byte has no character in it.
std::optional<QString> decodeAs(const QByteArray& bytes, const char* encoding);

// The encodings a text that is not UTF-8 is tried in, most likely first:
// the locale's own when it is a legacy one (not UTF-8 or ASCII), then
// CP1252 and CP1251. Reads the process locale (LC_CTYPE).
std::vector<QByteArray> legacyEncodings();

}  // namespace velmora
