#include "channel/instance_start.h"

#include "channel/channel_name.h"
#include "channel/channel_sender.h"
#include "channel/working_folder.h"

#include <cstdio>

namespace velmora::channel {

StartDecision decideStart(std::span<char* const> arguments)
{
    StartDecision decision;
    decision.commandText = buildCommandLine(arguments, currentWorkingFolder());
    decision.folder = RuntimeFolder::open(&decision.problem);
    bool anotherRuns = false;
    if (decision.folder) {
        InstanceLock::Outcome outcome = InstanceLock::Outcome::Failed;
        decision.lock = InstanceLock::tryAcquire(*decision.folder, &outcome);
        anotherRuns = outcome == InstanceLock::Outcome::HeldByAnother;
        if (outcome == InstanceLock::Outcome::Failed)
            decision.problem = "cannot lock " + decision.folder->path() + "/instance.lock";
    }
    decision.kind = classifyStart(anotherRuns, decision.commandText);
    return decision;
}

PlayerStart startAsPlayer(std::span<char* const> arguments)
{
    StartDecision decision = decideStart(arguments);
    PlayerStart start;
    start.commandText = std::move(decision.commandText);
    start.problem = std::move(decision.problem);
    start.kind = decision.kind;
    switch (decision.kind) {
    case StartKind::EndAtOnce:
        start.endNow = true;
        return start;
    case StartKind::HandOver: {
        SendResult sent = sendCommand(*decision.folder, configuredChannelName(), start.commandText);
        if (sent.status == SendResult::Status::BecameFirst) {
            start.kind = classifyStart(false, start.commandText);
            start.lock = std::move(sent.lock);
            return start;
        }
        start.endNow = true;
        if (sent.status != SendResult::Status::Delivered) {
            std::fprintf(stderr, "velmora4: %s\n", sent.error.c_str());
            start.exitStatus = 1;
        }
        return start;
    }
    case StartKind::Normal:
    case StartKind::Init:
    case StartKind::Uninstall:
        start.lock = std::move(decision.lock);
        return start;
    }
    return start;
}

}  // namespace velmora::channel
