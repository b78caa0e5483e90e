#pragma once
// The folder the add-files window's root node stands for: the user's
// desktop folder as the XDG user dirs name it (XDG_DESKTOP_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs), or the home folder when that folder
// does not exist. Reads the environment and the disk; cheap.

#include <QString>

namespace velmora {

QString desktopFolder();

}  // namespace velmora
