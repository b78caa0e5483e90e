#pragma once
// Reading a skin picture from its file.

#include <QImage>
#include <QString>

namespace velmora {

// The picture in the file, or a null image. The format is taken from the
// file name's extension first: probing the content asks every image plugin
// (and loads them, libjpeg among them), which costs the start of the
// program several milliseconds for the twenty-odd BMP files of a skin. A
// file whose content does not match its name is still read by probing.
QImage readSkinPicture(const QString& path);

}  // namespace velmora
