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

// Whether skin pictures are drawn smoothed at this device pixel ratio: at
// whole-number ratios each picture pixel becomes a square of whole screen
// pixels (crisp, no blur); at fractional ones plain copying would make the
// pixels uneven, so they are filtered.
bool smoothSkinPictures(double devicePixelRatio);

}  // namespace velmora
