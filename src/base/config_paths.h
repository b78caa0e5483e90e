#pragma once
// Where per-user and runtime files live.
//
// Per-user folder: $VELMORA_CONFIG_HOME when set, else
// $XDG_CONFIG_HOME/Velmora 4, else ~/.config/Velmora 4.

#include <QString>

namespace velmora {

inline constexpr const char* kApplicationName = "Velmora 4";

QString userConfigFolder();

}  // namespace velmora
