#pragma once
// The process's working folder, against which relative arguments count.

#include <string>

namespace velmora::channel {

// getcwd(); when the folder was removed, $PWD if it is absolute, else "/".
std::string currentWorkingFolder();

}  // namespace velmora::channel
