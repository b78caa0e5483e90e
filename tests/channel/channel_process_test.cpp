// The real front program against a stand-in player (channel_fake_player),
// both copied into a private program folder: first and second starts, many
// starts at once, a large command line, a killed first copy, no listener.

#include "channel/channel_protocol.h"
#include "channel/channel_socket.h"
#include "channel/command_tokens.h"
#include "channel/instance_lock.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace velmora;
using namespace velmora::channel;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::string str(const QString& s)
{
    return QFile::encodeName(s).toStdString();
}

struct Record {
    char kind;  // 'L' listening, 'O' own command line, 'R' received
    std::string text;
};

class ChannelProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        programFolder = str(home.file("program"));
        std::filesystem::create_directories(programFolder);
        install(VELMORA_BUILD_DIR "/velmora4", programFolder + "/velmora4");
        install(VELMORA_BUILD_DIR "/tests/channel_fake_player", programFolder + "/velmora4-player");
        logPath = str(home.file("player.log"));
        ::setenv("VELMORA_FAKE_PLAYER_LOG", logPath.c_str(), 1);
        workFolder = str(home.file("work"));
        std::filesystem::create_directories(workFolder);
    }

    void TearDown() override
    {
        for (const pid_t pid : running) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ::unsetenv("VELMORA_FAKE_PLAYER_LOG");
    }

    static void install(const std::string& from, const std::string& to)
    {
        // A hard link keeps the test fast; the kernel reports the link's own
        // path as the executable, so the front finds the stand-in beside it.
        if (::link(from.c_str(), to.c_str()) != 0)
            std::filesystem::copy_file(from, to);
    }

    // Starts the front program with the arguments in `cwd`; its standard
    // error goes to a file of its own.
    pid_t start(const std::vector<std::string>& arguments, const std::string& cwd = {})
    {
        const std::string program = programFolder + "/velmora4";
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const std::string errPath = str(home.file(QStringLiteral("stderr-%1").arg(++spawned)));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, (cwd.empty() ? workFolder : cwd).c_str());
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0);
        running.insert(pid);
        errorFiles[pid] = errPath;
        return pid;
    }

    // The exit status, or -1 when the process is still running at the timeout.
    int waitExit(pid_t pid, std::chrono::milliseconds timeout = 20s)
    {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            int status = 0;
            const pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid) {
                running.erase(pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (Clock::now() > deadline)
                return -1;
            std::this_thread::sleep_for(2ms);
        }
    }

    std::string errorText(pid_t pid)
    {
        std::ifstream in(errorFiles[pid]);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<Record> records() const
    {
        std::ifstream in(logPath, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<Record> out;
        std::size_t at = 0;
        while (at + kLengthBytes <= bytes.size()) {
            const std::uint32_t n = decodeLength(reinterpret_cast<const unsigned char*>(bytes.data() + at));
            if (n == 0 || at + kLengthBytes + n > bytes.size())
                break;
            out.push_back({bytes[at + kLengthBytes], bytes.substr(at + kLengthBytes + 1, n - 1)});
            at += kLengthBytes + n;
        }
        return out;
    }

    std::vector<std::string> textsOf(char kind) const
    {
        std::vector<std::string> out;
        for (const Record& r : records()) {
            if (r.kind == kind)
                out.push_back(r.text);
        }
        return out;
    }

    bool waitForRecords(char kind, std::size_t count, std::chrono::milliseconds timeout = 20s) const
    {
        const auto deadline = Clock::now() + timeout;
        while (textsOf(kind).size() < count) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    // A first start that becomes the running copy; returns its pid.
    pid_t startFirstCopy(const std::vector<std::string>& arguments = {})
    {
        const std::size_t before = textsOf('L').size();
        const pid_t pid = start(arguments);
        EXPECT_TRUE(waitForRecords('L', before + 1)) << errorText(pid);
        return pid;
    }

    test::TempHome home;
    std::string programFolder, workFolder, logPath;
    std::set<pid_t> running;
    std::map<pid_t, std::string> errorFiles;
    int spawned = 0;
};

}  // namespace

TEST_F(ChannelProcess, FirstStartRunsThePlayerSecondStartHandsOver)
{
    const pid_t first = startFirstCopy({"first.mp3"});
    EXPECT_EQ(textsOf('L'), std::vector<std::string>{"normal"});
    EXPECT_EQ(textsOf('O'), std::vector<std::string>{"\"" + workFolder + "/first.mp3\""});
    EXPECT_EQ(waitExit(first, 100ms), -1) << "the front replaced itself with the player, which runs on";

    // From another working folder, three awkward names.
    const std::string other = str(home.file("other place"));
    std::filesystem::create_directories(other);
    const pid_t second = start({"with blank.mp3", "Кино — Группа крови.mp3", "say \"hi\".ogg"}, other);
    EXPECT_EQ(waitExit(second), 0) << errorText(second);
    EXPECT_EQ(errorText(second), "");
    ASSERT_TRUE(waitForRecords('R', 1));
    EXPECT_EQ(tokenizeCommand(textsOf('R')[0]),
              (std::vector<std::string>{other + "/with blank.mp3", other + "/Кино — Группа крови.mp3",
                                        other + "/say \"hi\".ogg"}));

    // A transport word is passed as the word.
    EXPECT_EQ(waitExit(start({"PAUSE"})), 0);
    ASSERT_TRUE(waitForRecords('R', 2));
    EXPECT_EQ(textsOf('R')[1], "pause");
}

TEST_F(ChannelProcess, SecondStartWithoutArgumentsAsksAndVerbsEndAtOnce)
{
    startFirstCopy();
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"init"}, std::vector<std::string>{"UNINSTALL"}}) {
        const pid_t pid = start(arguments);
        EXPECT_EQ(waitExit(pid), 0);
    }
    // Only the empty start reached the running copy (asking for its
    // windows); the verbs sent nothing.
    EXPECT_EQ(waitExit(start({"/x"})), 0);
    ASSERT_TRUE(waitForRecords('R', 2));
    EXPECT_EQ(textsOf('R'), (std::vector<std::string>{"", "\"/x\""}));
    EXPECT_EQ(textsOf('L').size(), 1u) << "no other copy started";
}

TEST_F(ChannelProcess, MaintenanceStartsRunThePlayer)
{
    const pid_t pid = start({"Init"});
    ASSERT_TRUE(waitForRecords('L', 1)) << errorText(pid);
    EXPECT_EQ(textsOf('L'), std::vector<std::string>{"init"});
    EXPECT_EQ(textsOf('O'), std::vector<std::string>{"init"});
}

TEST_F(ChannelProcess, FiftySecondStartsAtOnceAllArriveWhole)
{
    startFirstCopy();
    std::set<std::string> expected;
    std::vector<pid_t> pids;
    for (int i = 0; i < 50; ++i) {
        const std::vector<std::string> arguments = {"clip " + std::to_string(i) + ".mp3",
                                                    "/abs/Песня " + std::string(static_cast<size_t>(i) * 100, 'x')};
        expected.insert("\"" + workFolder + "/" + arguments[0] + "\" \"" + arguments[1] + "\"");
        pids.push_back(start(arguments));
    }
    for (const pid_t pid : pids)
        EXPECT_EQ(waitExit(pid, 30s), 0) << errorText(pid);
    ASSERT_TRUE(waitForRecords('R', 50));
    const std::vector<std::string> received = textsOf('R');
    EXPECT_EQ(received.size(), 50u);
    EXPECT_EQ(std::set<std::string>(received.begin(), received.end()), expected);
}

TEST_F(ChannelProcess, FiftyFirstStartsRacingLeaveOneCopyAndLoseNothing)
{
    std::set<std::string> expected;
    std::vector<pid_t> pids;
    for (int i = 0; i < 50; ++i) {
        expected.insert("\"/race/" + std::to_string(i) + "\"");
        pids.push_back(start({"/race/" + std::to_string(i)}));
    }
    // Every command line arrives once: the winner's as its own, the others' handed over.
    const auto deadline = Clock::now() + 30s;
    while (textsOf('O').size() + textsOf('R').size() < 50 && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    std::vector<std::string> all = textsOf('O');
    const std::vector<std::string> received = textsOf('R');
    all.insert(all.end(), received.begin(), received.end());
    EXPECT_EQ(all.size(), 50u);
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), expected);
    EXPECT_EQ(textsOf('L'), std::vector<std::string>{"normal"}) << "exactly one copy listens";
    // The losers end once their hand-over is acknowledged; the winner runs on.
    std::set<pid_t> stillRunning(pids.begin(), pids.end());
    const auto exitDeadline = Clock::now() + 20s;
    while (stillRunning.size() > 1 && Clock::now() < exitDeadline) {
        for (auto it = stillRunning.begin(); it != stillRunning.end();) {
            const int status = waitExit(*it, 0ms);
            if (status == -1) {
                ++it;
                continue;
            }
            EXPECT_EQ(status, 0) << errorText(*it);
            it = stillRunning.erase(it);
        }
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(stillRunning.size(), 1u);
}

TEST_F(ChannelProcess, OneMegabyteCommandLineArrivesWhole)
{
    startFirstCopy();
    std::vector<std::string> arguments;
    std::string expected;
    std::size_t total = 0;
    for (int i = 0; total < (1u << 20); ++i) {
        arguments.push_back("/media/music/Исполнитель " + std::to_string(i % 97) + "/Альбом/" + std::to_string(i)
                            + " — песня номер " + std::to_string(i) + ".flac");
        total += arguments.back().size() + 3;
        if (!expected.empty())
            expected += ' ';
        expected += "\"" + arguments.back() + "\"";
    }
    const pid_t pid = start(arguments);
    EXPECT_EQ(waitExit(pid), 0) << errorText(pid);
    ASSERT_TRUE(waitForRecords('R', 1));
    const std::string received = textsOf('R')[0];
    EXPECT_GE(received.size(), 1u << 20);
    EXPECT_TRUE(received == expected);
    EXPECT_EQ(tokenizeCommand(received), arguments);
}

TEST_F(ChannelProcess, KilledFirstCopyLeavesNothingThatBlocksTheNextStart)
{
    const pid_t first = startFirstCopy();
    ::kill(first, SIGKILL);
    EXPECT_EQ(waitExit(first), 128 + SIGKILL);
    // Its socket file is still there; nobody listens on it.
    EXPECT_TRUE(std::filesystem::exists(str(home.file("runtime/Velmora 4/Velmora 4"))));

    const auto before = Clock::now();
    const pid_t next = start({"/after/crash.mp3"});
    ASSERT_TRUE(waitForRecords('L', 2)) << errorText(next);
    EXPECT_LT(Clock::now() - before, 5s) << "the next start became the running copy without waiting";
    EXPECT_EQ(textsOf('O').back(), "\"/after/crash.mp3\"");
    EXPECT_EQ(waitExit(start({"/handed/over.mp3"})), 0);
    ASSERT_TRUE(waitForRecords('R', 1));
    EXPECT_EQ(textsOf('R'), std::vector<std::string>{"\"/handed/over.mp3\""});
}

TEST_F(ChannelProcess, WithNobodyListeningTheSenderGivesUpAfterTenSeconds)
{
    // A copy that holds the lock but never listens (hung while starting),
    // with a socket file left from before.
    auto folder = RuntimeFolder::open();
    ASSERT_TRUE(folder);
    auto lock = InstanceLock::tryAcquire(*folder);
    ASSERT_TRUE(lock);
    {
        sockaddr_un address {};
        socklen_t length = 0;
        ASSERT_TRUE(channelAddress(*folder, "Velmora 4", address, length));
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
        ASSERT_EQ(::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length), 0);
    }
    const auto before = Clock::now();
    const pid_t pid = start({"lost.mp3"});
    const int status = waitExit(pid, 20s);
    const auto elapsed = Clock::now() - before;
    EXPECT_NE(status, 0);
    EXPECT_NE(status, -1);
    EXPECT_GE(elapsed, 9900ms);
    EXPECT_LT(elapsed, 13s);
    const std::string error = errorText(pid);
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_NE(error.find("velmora4:"), std::string::npos) << error;
    EXPECT_TRUE(records().empty());
}
