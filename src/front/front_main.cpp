// velmora4: the command users run. It has no Qt so that a second start costs
// a few milliseconds: it turns the arguments into the command line, makes the
// instance test, and either hands the command line to the running copy and
// ends, or replaces itself with the player program beside it.

#include "channel/channel_name.h"
#include "channel/channel_sender.h"
#include "channel/instance_start.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kPlayerName = "velmora4-player";

#ifndef VELMORA_PLAYER_FROM_FRONT
#define VELMORA_PLAYER_FROM_FRONT "../lib/velmora4"
#endif

// The player sits beside this executable in the build tree and in the
// installed player folder relative to it otherwise (symbolic links to the
// front program resolved, as the kernel reports it).
std::string playerPath(const char* argv0)
{
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
    if (n > 0 && static_cast<size_t>(n) < self.size()) {
        self.resize(static_cast<size_t>(n));
    } else {
        self = argv0 != nullptr ? argv0 : "";
    }
    const size_t slash = self.rfind('/');
    if (slash == std::string::npos)
        return kPlayerName;  // found through PATH below
    const std::string folder = self.substr(0, slash + 1);
    const std::string beside = folder + kPlayerName;
    if (::access(beside.c_str(), X_OK) == 0)
        return beside;
    const std::string installed = folder + VELMORA_PLAYER_FROM_FRONT + "/" + kPlayerName;
    return ::access(installed.c_str(), X_OK) == 0 ? installed : beside;
}

[[noreturn]] void runPlayer(int argc, char** argv)
{
    const std::string path = playerPath(argv[0]);
    std::vector<char*> arguments;
    arguments.reserve(static_cast<size_t>(argc) + 1);
    arguments.push_back(const_cast<char*>(path.c_str()));
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    if (path.find('/') != std::string::npos)
        ::execv(path.c_str(), arguments.data());
    else
        ::execvp(path.c_str(), arguments.data());
    std::fprintf(stderr, "velmora4: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
    std::_Exit(127);
}

}  // namespace

int main(int argc, char** argv)
{
    using velmora::channel::SendResult;
    using velmora::channel::StartKind;

    velmora::channel::StartDecision decision
        = velmora::channel::decideStart({argv + 1, static_cast<std::size_t>(argc - 1)});
    switch (decision.kind) {
    case StartKind::EndAtOnce:
        return 0;
    case StartKind::HandOver: {
        SendResult sent = velmora::channel::sendCommand(*decision.folder, velmora::channel::configuredChannelName(),
                                                        decision.commandText);
        if (sent.status == SendResult::Status::Delivered)
            return 0;
        if (sent.status == SendResult::Status::BecameFirst) {
            sent.lock.reset();  // the player takes it itself
            runPlayer(argc, argv);
        }
        std::fprintf(stderr, "velmora4: %s\n", sent.error.c_str());
        return 1;
    }
    case StartKind::Normal:
    case StartKind::Init:
    case StartKind::Uninstall:
        // The player makes the test again and takes the lock itself.
        decision.lock.reset();
        runPlayer(argc, argv);
    }
    return 0;
}
