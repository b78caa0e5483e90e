#include "channel/working_folder.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace velmora::channel {

std::string currentWorkingFolder()
{
    std::string buffer(4096, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(buffer.find('\0'));
            return buffer;
        }
        if (errno != ERANGE)
            break;
        buffer.resize(buffer.size() * 2);
    }
    const char* pwd = std::getenv("PWD");
    if (pwd != nullptr && pwd[0] == '/')
        return pwd;
    return "/";
}

}  // namespace velmora::channel
