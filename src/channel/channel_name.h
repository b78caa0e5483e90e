#pragma once
// The channel's name: which socket file in the runtime folder a copy uses.
//
// The player reads "MailslotName" through its settings; the front program,
// which starts in a few milliseconds because it has no Qt, reads that one key
// straight from settings.ini with a minimal reader of its own that keeps the
// settings store's rules (sections and keys in any letter case, "%XX"
// escapes, first occurrence counts). Both then pass the value through channelFileName(), so they agree
// on the socket also when the key is unset.

#include "base/config_folder.h"

#include <string>
#include <string_view>

namespace velmora::channel {

// The socket's file name for a "MailslotName" value: "Velmora 4" when empty;
// "/" and NUL become "_" (the name stays inside the runtime folder); ".",
// ".." and the lock file's name get a "_" appended.
std::string channelFileName(std::string_view mailslotName);

// The stored "MailslotName" of section "settings" in the given settings file;
// empty when the file or the key is missing. Reads the whole file once.
std::string readMailslotName(const std::string& settingsFile);

// channelFileName(readMailslotName(velmora::userConfigFolderPath() + "/settings.ini")).
std::string configuredChannelName();

}  // namespace velmora::channel
