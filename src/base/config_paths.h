#pragma once
// Where per-user files live, as a QString (rules in base/config_folder.h).

#include "base/config_folder.h"

#include <QString>

namespace velmora {

QString userConfigFolder();

}  // namespace velmora
