// Second starts as a user makes them: the real front program (build/velmora4)
// hands its command line to a running copy and returns. The running copy is
// the stand-in player of the tests (the real instance test and
// InstanceServer, with a handler that does nothing), started once.
//
// Figures: wall time from spawning the front program until it has exited,
// one start per repetition, 10 repetitions, min/median/max; cpu_ms is the
// started program's own CPU time. The reference start of /bin/true shows the
// floor of the machine at that moment.

#include "channel/channel_sender.h"
#include "channel/instance_server.h"
#include "channel/runtime_folder.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace velmora::channel;

pid_t spawn(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double childrenCpuMs()
{
    rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return (static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3)
        + (static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
}

// A private runtime and settings folder with a running stand-in player.
class RunningCopy {
public:
    RunningCopy()
    {
        char pattern[] = "/tmp/velmora-channel-bench-XXXXXX";
        home_ = ::mkdtemp(pattern);
        std::filesystem::create_directories(home_ + "/runtime");
        std::filesystem::permissions(home_ + "/runtime", std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (home_ + "/runtime").c_str(), 1);
        ::setenv("VELMORA_CONFIG_HOME", (home_ + "/config").c_str(), 1);
        ::unsetenv("VELMORA_FAKE_PLAYER_LOG");
        player_ = spawn(VELMORA_BUILD_DIR "/tests/channel_fake_player", {});
        // Ready once a hand-over is acknowledged.
        auto folder = RuntimeFolder::open();
        SendOptions options;
        options.becomeFirstWhenFree = false;
        ready_ = folder && sendCommand(*folder, "Velmora 4", "\"/warm-up\"", options).status
            == SendResult::Status::Delivered;
    }
    ~RunningCopy()
    {
        if (player_ > 0) {
            ::kill(player_, SIGTERM);
            waitFor(player_);
        }
        std::filesystem::remove_all(home_);
    }
    bool ready() const { return ready_; }

private:
    std::string home_;
    pid_t player_ = -1;
    bool ready_ = false;
};

void measureStarts(benchmark::State& state, const std::vector<std::string>& arguments,
                   const std::string& program = VELMORA_BUILD_DIR "/velmora4")
{
    static RunningCopy copy;
    if (!copy.ready()) {
        state.SkipWithError("the stand-in player did not start");
        return;
    }
    double cpuMs = 0;
    for (auto _ : state) {
        const double cpuBefore = childrenCpuMs();
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = spawn(program, arguments);
        const int status = pid > 0 ? waitFor(pid) : -1;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        cpuMs += childrenCpuMs() - cpuBefore;
        if (status != 0) {
            state.SkipWithError("the front program failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
    // CPU time of the started program itself: what the start costs when the
    // machine is busy with other work and the wall time is mostly waiting.
    state.counters["cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
}

// The floor on this machine at this moment: starting a program that does
// nothing, measured the same way.
void BM_ReferenceStartOfTrue(benchmark::State& state)
{
    measureStarts(state, {}, "/bin/true");
}

void BM_SecondStartOneFile(benchmark::State& state)
{
    measureStarts(state, {"/home/user/Музыка/Кино — Группа крови.mp3"});
}

void BM_SecondStartOneMegabyte(benchmark::State& state)
{
    std::vector<std::string> arguments;
    std::size_t total = 0;
    for (int i = 0; total < (1u << 20); ++i) {
        arguments.push_back("/home/user/Музыка/Исполнитель " + std::to_string(i % 100) + "/Альбом/" + std::to_string(i)
                            + " — песня.flac");
        total += arguments.back().size() + 3;
    }
    state.counters["bytes"] = static_cast<double>(total);
    state.counters["files"] = static_cast<double>(arguments.size());
    measureStarts(state, arguments);
}

// The channel alone, both ends in this process: a sender thread hands 1 MB
// to an InstanceServer on this thread's event loop, until the handler has it.
void BM_ChannelOneMegabyteInProcess(benchmark::State& state)
{
    char pattern[] = "/tmp/velmora-channel-bench-XXXXXX";
    const std::string home = ::mkdtemp(pattern);
    auto folder = RuntimeFolder::openAt(home + "/runtime");
    auto lock = folder ? InstanceLock::tryAcquire(*folder) : std::nullopt;
    std::size_t received = 0;
    velmora::InstanceServer server([&](const std::string& text) { received = text.size(); });
    if (!lock || !server.listen(*lock, "bench")) {
        state.SkipWithError("no channel");
        return;
    }
    std::string text;
    for (int i = 0; text.size() < (1u << 20); ++i)
        text += "\"/home/user/Музыка/Исполнитель " + std::to_string(i % 100) + "/" + std::to_string(i) + ".flac\" ";
    for (auto _ : state) {
        received = 0;
        const auto start = std::chrono::steady_clock::now();
        auto sent = std::async(std::launch::async, [&] { return sendCommand(*folder, "bench", text); });
        while (received == 0 || sent.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (sent.get().status != SendResult::Status::Delivered || received != text.size()) {
            state.SkipWithError("not delivered whole");
            break;
        }
    }
    server.close();
    std::filesystem::remove_all(home);
}

double minimum(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

double maximum(const std::vector<double>& v)
{
    return *std::max_element(v.begin(), v.end());
}

}  // namespace

BENCHMARK(BM_ReferenceStartOfTrue)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ComputeStatistics("min", minimum)
    ->ComputeStatistics("max", maximum)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondStartOneFile)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ComputeStatistics("min", minimum)
    ->ComputeStatistics("max", maximum)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondStartOneMegabyte)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ComputeStatistics("min", minimum)
    ->ComputeStatistics("max", maximum)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelOneMegabyteInProcess)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ComputeStatistics("min", minimum)
    ->ComputeStatistics("max", maximum)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
