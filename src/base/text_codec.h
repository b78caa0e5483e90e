#pragma once
// Decoding of text files we read from outside (skins, playlists): UTF-8 when
// the bytes are valid UTF-8, otherwise Windows-1251, the code page the older
// platform wrote them in.

#include <QByteArray>
#include <QString>

namespace velmora {

bool isValidUtf8(const QByteArray& bytes);

// UTF-8 when valid, else CP1251 (through iconv).
QString decodeUtf8OrCp1251(const QByteArray& bytes);

}  // namespace velmora
