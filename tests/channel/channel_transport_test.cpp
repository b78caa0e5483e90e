// Both ends of the channel in one process: the plain sender on worker
// threads, the Qt InstanceServer on the test's event loop.

#include "channel/channel_protocol.h"
#include "channel/channel_sender.h"
#include "channel/channel_socket.h"
#include "channel/instance_server.h"
#include "support/test_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>

using namespace velmora;
using namespace velmora::channel;
using namespace std::chrono_literals;

namespace {

// A sender on its own thread, as a second copy would be.
std::future<SendResult> sendAsync(const RuntimeFolder& folder, std::string name, std::string text,
                                  SendOptions options = {})
{
    return std::async(std::launch::async, [&folder, name = std::move(name), text = std::move(text), options] {
        return sendCommand(folder, name, text, options);
    });
}

bool finished(const std::future<SendResult>& f)
{
    return f.wait_for(0s) == std::future_status::ready;
}

// A raw client for malformed senders.
UniqueFd connectRaw(const RuntimeFolder& folder, const std::string& name)
{
    sockaddr_un address {};
    socklen_t length = 0;
    if (!channelAddress(folder, name, address, length))
        return {};
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0)
        return {};
    return fd;
}

class ChannelTransport : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = RuntimeFolder::open();
        ASSERT_TRUE(folder);
        lock = InstanceLock::tryAcquire(*folder);
        ASSERT_TRUE(lock);
    }

    // Makes the server with a handler that records, and listens.
    void startServer(InstanceServer::Handler handler = {}, InstanceServer::Options options = {})
    {
        if (!handler)
            handler = [this](const std::string& text) { received.push_back(text); };
        server = std::make_unique<InstanceServer>(std::move(handler), options);
        ASSERT_TRUE(server->listen(*lock, name));
    }

    SendResult deliver(const std::string& text)
    {
        auto f = sendAsync(*folder, name, text);
        EXPECT_TRUE(test::waitFor([&] { return finished(f); }, 15s));
        return f.get();
    }

    test::TempHome home;
    std::optional<RuntimeFolder> folder;
    std::optional<InstanceLock> lock;
    std::string name = "Velmora 4";
    std::unique_ptr<InstanceServer> server;
    std::vector<std::string> received;
};

}  // namespace

TEST_F(ChannelTransport, MessageArrivesWholeAndTheSocketIsPrivate)
{
    startServer();
    struct stat st {};
    ASSERT_EQ(::stat(server->socketPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    const std::string text = "\"/Музыка/夜に駆ける 🎵.mp3\" \"/a \"\"b\"\"\"";
    const SendResult result = deliver(text);
    EXPECT_EQ(result.status, SendResult::Status::Delivered) << result.error;
    ASSERT_TRUE(test::waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0], text);
}

TEST_F(ChannelTransport, OneMegabyteArrivesWhole)
{
    startServer();
    std::string text;
    for (int i = 0; text.size() < (1u << 20); ++i)
        text += "\"/music/folder number " + std::to_string(i) + "/Песня " + std::to_string(i) + ".mp3\" ";
    text.pop_back();
    EXPECT_EQ(deliver(text).status, SendResult::Status::Delivered);
    ASSERT_TRUE(test::waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0].size(), text.size());
    EXPECT_TRUE(received[0] == text);
}

TEST_F(ChannelTransport, ManySendersAtOnceAllArriveWhole)
{
    startServer();
    std::vector<std::future<SendResult>> senders;
    std::set<std::string> expected;
    for (int i = 0; i < 50; ++i) {
        // Lengths from a few bytes to 200 KB so that reads interleave.
        const std::string text = "\"/m/" + std::to_string(i) + "\" " + std::string(static_cast<size_t>(i) * 4000, 'x');
        expected.insert(text);
        senders.push_back(sendAsync(*folder, name, text));
    }
    ASSERT_TRUE(test::waitFor([&] {
        return std::all_of(senders.begin(), senders.end(), [](const auto& f) { return finished(f); });
    }, 30s));
    for (auto& f : senders)
        EXPECT_EQ(f.get().status, SendResult::Status::Delivered);
    ASSERT_TRUE(test::waitFor([&] { return received.size() == 50; }));
    EXPECT_EQ(std::set<std::string>(received.begin(), received.end()), expected);
}

TEST_F(ChannelTransport, AMessageArrivingDuringANestedWaitIsHandledAfterIt)
{
    int depth = 0;
    int deepest = 0;
    std::vector<std::string> order;
    std::future<SendResult> second;
    bool secondAcknowledgedInsideFirst = false;
    startServer([&](const std::string& text) {
        ++depth;
        deepest = std::max(deepest, depth);
        order.push_back("begin " + text);
        if (text == "first") {
            // The handling waits and lets events run; a second copy hands
            // over meanwhile. It is acknowledged at once, not handled inside.
            second = sendAsync(*folder, name, "second");
            EXPECT_TRUE(test::waitFor([&] { return finished(second); }, 10s));
            secondAcknowledgedInsideFirst = finished(second) && server->queuedCount() == 1;
            test::settle(50ms);  // more events; still not handled
        }
        order.push_back("end " + text);
        --depth;
    });
    EXPECT_EQ(deliver("first").status, SendResult::Status::Delivered);
    ASSERT_TRUE(test::waitFor([&] { return order.size() == 4; }));
    EXPECT_TRUE(secondAcknowledgedInsideFirst);
    EXPECT_EQ(second.get().status, SendResult::Status::Delivered);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"begin first", "end first", "begin second", "end second"}));
}

TEST_F(ChannelTransport, OwnCommandLineAndHandOversShareOneQueue)
{
    startServer();
    server->post("own");
    server->post("");  // the own empty command line asks for nothing
    EXPECT_EQ(deliver("handed over").status, SendResult::Status::Delivered);
    EXPECT_EQ(deliver("").status, SendResult::Status::Delivered);  // a second start without arguments
    ASSERT_TRUE(test::waitFor([&] { return received.size() == 3; }));
    EXPECT_EQ(received, (std::vector<std::string>{"own", "handed over", ""}));
}

TEST_F(ChannelTransport, BrokenSendersAreDroppedWithoutHarm)
{
    startServer({}, InstanceServer::Options{.connectionLimit = 200ms});
    // A length above the limit: closed without the acknowledgement.
    {
        UniqueFd fd = connectRaw(*folder, name);
        ASSERT_TRUE(fd);
        const std::string header = encodeLength(kMaxMessageBytes + 1);
        ASSERT_EQ(::send(fd.get(), header.data(), header.size(), MSG_NOSIGNAL), 4);
        char answer = 0;
        ssize_t n = -1;
        ASSERT_TRUE(test::waitFor([&] {
            n = ::recv(fd.get(), &answer, 1, MSG_DONTWAIT);
            return n >= 0;
        }));
        EXPECT_EQ(n, 0) << "closed, no acknowledgement";
    }
    // A sender that ends in the middle of its message.
    {
        UniqueFd fd = connectRaw(*folder, name);
        const std::string partial = encodeLength(100) + "only part";
        ASSERT_EQ(::send(fd.get(), partial.data(), partial.size(), MSG_NOSIGNAL), static_cast<ssize_t>(partial.size()));
    }
    // A sender that connects and says nothing does not hold up others and is dropped in time.
    UniqueFd silent = connectRaw(*folder, name);
    ASSERT_TRUE(silent);
    EXPECT_EQ(deliver("after them").status, SendResult::Status::Delivered);
    ASSERT_TRUE(test::waitFor([&] { return received.size() == 1 && server->openConnectionCount() == 0; }, 5s));
    EXPECT_EQ(received, std::vector<std::string>{"after them"});
}

TEST_F(ChannelTransport, StaleSocketOfADeadCopyIsReplaced)
{
    // A socket file nobody listens on, as a killed copy leaves it.
    {
        sockaddr_un address {};
        socklen_t length = 0;
        ASSERT_TRUE(channelAddress(*folder, name, address, length));
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
        ASSERT_EQ(::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length), 0);
    }
    startServer();
    EXPECT_EQ(deliver("x").status, SendResult::Status::Delivered);
    const std::string path = server->socketPath();
    server->close();
    struct stat st {};
    EXPECT_NE(::stat(path.c_str(), &st), 0) << "closing removes the socket file";
}

TEST_F(ChannelTransport, SenderGivesUpOrBecomesFirst)
{
    // The lock is held (by this test) and nobody listens: retry, then give up.
    const auto start = std::chrono::steady_clock::now();
    SendResult result = sendCommand(*folder, name, "x", SendOptions{.retryLimit = 300ms});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result.status, SendResult::Status::NoListener);
    EXPECT_FALSE(result.error.empty());
    EXPECT_GE(elapsed, 300ms);
    EXPECT_LT(elapsed, 3s);

    // The holder ends while the sender retries: the sender may become the first copy.
    auto f = sendAsync(*folder, name, "x", SendOptions{.retryLimit = 5s});
    test::settle(50ms);
    EXPECT_FALSE(finished(f));
    lock.reset();
    ASSERT_EQ(f.wait_for(3s), std::future_status::ready);
    result = f.get();
    EXPECT_EQ(result.status, SendResult::Status::BecameFirst);
    ASSERT_TRUE(result.lock);
    EXPECT_FALSE(InstanceLock::tryAcquire(*folder)) << "the sender holds the lock now";
}

TEST_F(ChannelTransport, ServerMayBeDestroyedInsideItsHandler)
{
    startServer([this](const std::string& text) {
        received.push_back(text);
        server.reset();
    });
    server->post("one");
    server->post("two");
    ASSERT_TRUE(test::waitFor([&] { return !server; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received, std::vector<std::string>{"one"});
}

TEST_F(ChannelTransport, LongFolderPathsStillWork)
{
    std::string deep = folder->path();
    while (deep.size() < 150) {
        deep += "/a-rather-long-folder-name";
        ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0);
    }
    auto longFolder = RuntimeFolder::openAt(deep);
    ASSERT_TRUE(longFolder);
    auto longLock = InstanceLock::tryAcquire(*longFolder);
    ASSERT_TRUE(longLock);
    InstanceServer longServer([this](const std::string& text) { received.push_back(text); });
    ASSERT_TRUE(longServer.listen(*longLock, name));
    auto f = sendAsync(*longFolder, name, "deep");
    ASSERT_TRUE(test::waitFor([&] { return finished(f) && received.size() == 1; }));
    EXPECT_EQ(f.get().status, SendResult::Status::Delivered);
    EXPECT_EQ(received, std::vector<std::string>{"deep"});
}
