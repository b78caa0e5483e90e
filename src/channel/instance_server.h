#pragma once
// InstanceServer: the running copy's end of the channel (channel_protocol.h),
// for the player's Qt event loop.
//
// It accepts senders and reads their messages from socket notifications, so
// the user-interface thread never waits for a sender. Each message is read
// whole, queued, acknowledged, and later handed to the handler on the same
// thread: in arrival order, one at a time, never re-entrantly. A message that
// arrives while the handler is suspended in a nested event loop is
// acknowledged and queued, and handled after the running handling returns.
// The program's own start-up command line goes through the same queue
// (post()), so a hand-over never overtakes it.
//
// Lifetime: owned by the application object; destroy it before the
// InstanceLock it listens under. It may be closed or destroyed inside its own
// handler. Thread: the thread that made it (the UI thread).

#include "channel/channel_socket.h"
#include "channel/instance_lock.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

namespace velmora {

class InstanceServer : public QObject {
    Q_OBJECT
public:
    // Receives one whole command text (UTF-8); must not throw.
    using Handler = std::function<void(const std::string& commandText)>;

    struct Options {
        // A connection that has not delivered its whole message by then is
        // dropped, so a stuck sender holds nothing for long.
        std::chrono::milliseconds connectionLimit{10000};
    };

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);
    InstanceServer(Handler handler, Options options, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Starts listening on socket `channelName` (see channelFileName()) in the
    // lock's folder; a socket left there by a dead copy is replaced. Returns
    // false (logged at debug level) when the socket cannot be made; the
    // program then goes on without a channel. Never blocks.
    bool listen(const channel::InstanceLock& lock, const std::string& channelName);
    // Stops listening, removes the socket file and drops connections whose
    // message is not whole yet (their senders see a failure). Messages
    // already acknowledged stay queued and are still handled.
    void close();
    // The socket's path, empty when not listening.
    std::string socketPath() const;

    // Queues a command text of this copy behind those already queued (an
    // empty one asks for nothing). A sender's empty message is handed on.
    void post(std::string commandText);

    // Messages queued and not yet handed to the handler.
    std::size_t queuedCount() const { return queue_.size(); }
    // Connections accepted whose message is not whole yet.
    std::size_t openConnectionCount() const { return connections_.size(); }

private:
    struct Connection;

    void acceptConnections();
    void readConnection(Connection* connection);
    void dropConnection(Connection* connection);
    void dropStaleConnections();
    void enqueue(std::string commandText);
    void scheduleDispatch();
    void dispatch();

    Handler handler_;
    Options options_;
    std::optional<channel::ChannelListener> listener_;
    QSocketNotifier* acceptNotifier_ = nullptr;
    std::vector<std::unique_ptr<Connection>> connections_;
    QTimer staleTimer_;
    std::deque<std::string> queue_;
    bool handling_ = false;
    bool dispatchScheduled_ = false;
    // Cleared by the destructor, so a handling that destroyed the server
    // returns without touching it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velmora
