// A stand-in for the player in the process tests and the benchmarks: the
// real player's instance test and InstanceServer, with a handler that only
// records what it receives.
//
// Each record is appended to $VELMORA_FAKE_PLAYER_LOG with one write: four
// bytes of length (little-endian), then one byte of kind and the text.
// Kinds: 'O' the own command line, then 'L' listening (text: the start
// kind), then 'R' for each received one. Runs until killed.

#include "channel/channel_name.h"
#include "channel/channel_protocol.h"
#include "channel/instance_server.h"
#include "channel/instance_start.h"

#include <QCoreApplication>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

void record(char kind, const std::string& text)
{
    const char* path = std::getenv("VELMORA_FAKE_PLAYER_LOG");
    if (path == nullptr)
        return;
    std::string bytes = velmora::channel::encodeLength(static_cast<std::uint32_t>(text.size() + 1));
    bytes += kind;
    bytes += text;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    ::close(fd);
}

const char* kindName(velmora::channel::StartKind kind)
{
    using velmora::channel::StartKind;
    switch (kind) {
    case StartKind::Normal: return "normal";
    case StartKind::Init: return "init";
    case StartKind::Uninstall: return "uninstall";
    case StartKind::HandOver: return "hand-over";
    case StartKind::EndAtOnce: return "end";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv)
{
    velmora::channel::PlayerStart start = velmora::channel::startAsPlayer({argv + 1, static_cast<std::size_t>(argc - 1)});
    if (start.endNow)
        return start.exitStatus;
    QCoreApplication app(argc, argv);
    velmora::InstanceServer server([](const std::string& text) { record('R', text); });
    const bool listening = start.lock && server.listen(*start.lock, velmora::channel::configuredChannelName());
    if (!start.commandText.empty())
        record('O', start.commandText);
    // Last, so that a test that saw it sees the own command line as well.
    record('L', listening ? kindName(start.kind) : std::string("no channel: ") + start.problem);
    return app.exec();
}
