#pragma once
// File names are bytes on Linux, and not every name is valid UTF-8. Qt's own
// conversion turns such bytes into U+FFFD and cannot give them back, so a
// path that crosses into a QString goes through these two functions: valid
// UTF-8 decodes as usual, and each byte of an invalid sequence becomes the
// lone surrogate U+DC00 + byte, which fileNameBytes() turns back into that
// byte. The round trip is exact for every byte string.
//
// Use them wherever a path meets the system (open, stat, readdir, libmpv,
// libavformat) and displayFileName() where a path is shown. Pure functions.

#include <QByteArray>
#include <QString>

namespace velmora {

QString fileNameFromBytes(QByteArrayView bytes);
QByteArray fileNameBytes(const QString& name);
// True when the name holds bytes that are not UTF-8 (escaped as above), so
// that a UTF-8 text cannot carry it as it stands.
bool holdsEscapedBytes(QStringView name);
// For people: escaped bytes shown as U+FFFD.
QString displayFileName(QString name);

}  // namespace velmora
