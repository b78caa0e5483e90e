#pragma once
// Where the program's own files are, in the build tree and installed.
//
// The build puts everything beside the player: the executables, the media
// module, skin/ and "default icons/". An installed tree splits them:
//   bin/velmora4                      the front program
//   lib/velmora4/velmora4-player      the player and libvelmora-media.so
//   share/velmora4/                   skin/, "default icons/"
// The paths between these folders are relative, so a tree works wherever it
// is unpacked.

#include <QString>

namespace velmora {

// The folder of data files (skin/, "default icons/"), with a trailing "/":
// playerFolder itself when it holds the skin, else the installed data folder
// relative to it.
QString programDataFolder(const QString& playerFolder);

// The front program the desktop should start (it hands files to a running
// copy): beside the player when it is there, else the installed bin/ one.
QString frontProgramPath(const QString& playerFolder);

// folder with one "/" at its end; no folder (empty) stays empty rather than
// turning into the file system's root.
QString withSlash(QString folder);

}  // namespace velmora
