#pragma once
// The start of a copy: its command text, the previous-instance test and the
// kind of start that follows, shared by the front program and the player.
//
// The front program decides and then either ends or replaces itself with the
// player; the player decides again (another start may have won the race in
// between) and hands its command line over itself when it lost. Blocking;
// call at the very start of main(), before any event loop.

#include "channel/command_line.h"
#include "channel/instance_lock.h"
#include "channel/runtime_folder.h"

#include <optional>
#include <string>
#include <span>

namespace velmora::channel {

struct StartDecision {
    StartKind kind = StartKind::Normal;
    std::string commandText;              // buildCommandLine() of the arguments
    std::optional<RuntimeFolder> folder;  // unset when the runtime folder is unusable
    // Held when this copy is the first one (Normal, Init, Uninstall). Unset
    // there only when the test itself could not be made; such a copy starts
    // without a channel.
    std::optional<InstanceLock> lock;
    std::string problem;  // why the test could not be made, else empty
};

// Builds the text from the arguments (argv without the program name) against
// the working folder and makes the instance test.
StartDecision decideStart(std::span<char* const> arguments);

// What the player does at its start.
struct PlayerStart {
    bool endNow = false;  // hand-over done (or failed) or nothing to do: return exitStatus
    int exitStatus = 0;
    StartKind kind = StartKind::Normal;  // Normal, Init or Uninstall when !endNow
    std::string commandText;
    std::optional<InstanceLock> lock;  // keep alive until the program ends
    std::string problem;               // non-empty: the channel cannot be offered
};

// decideStart(); on HandOver sends the text to the running copy (one line on
// standard error and exitStatus 1 when that fails); a copy that finds the
// lock free while retrying continues as the first copy.
PlayerStart startAsPlayer(std::span<char* const> arguments);

}  // namespace velmora::channel
