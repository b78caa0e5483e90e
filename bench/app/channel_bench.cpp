// Second starts as a user makes them: the real front program (build/velmora4)
// hands its command line to a running copy and returns. The running copy is
// the stand-in player of the tests (the real instance test and
// InstanceServer, with a handler that does nothing), started once.
//
// Figures: wall time from spawning the front program until it has exited,
// one start per repetition, 10 repetitions, min/median/max.

#include "app/channel/channel_sender.h"
#include "app/channel/runtime_folder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
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
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = spawn(program, arguments);
        const int status = pid > 0 ? waitFor(pid) : -1;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (status != 0) {
            state.SkipWithError("the front program failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
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
