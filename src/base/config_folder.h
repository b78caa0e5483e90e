#pragma once
// The program's name and its per-user folder, without Qt: the front program
// (which links no Qt) and the player must agree on both.
//
// Per-user folder: $VELMORA_CONFIG_HOME when set, else
// $XDG_CONFIG_HOME/Velmora 4, else $HOME/.config/Velmora 4 ("/" when HOME is
// unset). base/config_paths.h gives the same as a QString.

#include <cstdlib>
#include <string>

namespace velmora {

inline constexpr char kApplicationName[] = "Velmora 4";

inline std::string userConfigFolderPath()
{
    auto environment = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::string(value) : std::string();
    };
    std::string folder = environment("VELMORA_CONFIG_HOME");
    if (!folder.empty())
        return folder;
    folder = environment("XDG_CONFIG_HOME");
    if (folder.empty()) {
        folder = environment("HOME");
        if (folder.empty())
            folder.push_back('/');
        folder.append("/.config");
    }
    folder.append("/");
    folder.append(kApplicationName);
    return folder;
}

}  // namespace velmora
