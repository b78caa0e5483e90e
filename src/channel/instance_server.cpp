#include "channel/instance_server.h"

#include <QLoggingCategory>
#include <QSocketNotifier>

#include <algorithm>

Q_LOGGING_CATEGORY(lcChannel, "velmora.channel", QtWarningMsg)

namespace velmora {

struct InstanceServer::Connection {
    channel::UniqueFd fd;
    channel::MessageReader reader;
    QSocketNotifier* notifier = nullptr;
    std::chrono::steady_clock::time_point accepted;
};

InstanceServer::InstanceServer(Handler handler, QObject* parent) : InstanceServer(std::move(handler), Options{}, parent)
{
}

InstanceServer::InstanceServer(Handler handler, Options options, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), options_(options)
{
    staleTimer_.setInterval(std::max<std::chrono::milliseconds>(std::chrono::milliseconds(10), options_.connectionLimit / 4));
    connect(&staleTimer_, &QTimer::timeout, this, &InstanceServer::dropStaleConnections);
}

InstanceServer::~InstanceServer()
{
    *alive_ = false;
    close();
}

bool InstanceServer::listen(const channel::InstanceLock& lock, const std::string& channelName)
{
    close();
    std::string error;
    listener_ = channel::ChannelListener::listen(lock, channelName, &error);
    if (!listener_) {
        qCDebug(lcChannel) << "no channel:" << error.c_str();
        return false;
    }
    acceptNotifier_ = new QSocketNotifier(listener_->fd(), QSocketNotifier::Read, this);
    connect(acceptNotifier_, &QSocketNotifier::activated, this, &InstanceServer::acceptConnections);
    qCDebug(lcChannel) << "listening on" << listener_->path().c_str();
    return true;
}

void InstanceServer::close()
{
    while (!connections_.empty())
        dropConnection(connections_.back().get());
    staleTimer_.stop();
    if (acceptNotifier_ != nullptr) {
        acceptNotifier_->setEnabled(false);
        acceptNotifier_->deleteLater();
        acceptNotifier_ = nullptr;
    }
    listener_.reset();
}

std::string InstanceServer::socketPath() const
{
    return listener_ ? listener_->path() : std::string();
}

void InstanceServer::post(std::string commandText)
{
    // An own empty command line asks for nothing; a sender's empty one asks
    // for the windows (channel_protocol.h).
    if (!commandText.empty())
        enqueue(std::move(commandText));
}

void InstanceServer::acceptConnections()
{
    // Take every waiting sender now; each then reads on its own notifier.
    while (listener_) {
        channel::UniqueFd fd = listener_->accept();
        if (!fd)
            break;
        auto connection = std::make_unique<Connection>();
        connection->fd = std::move(fd);
        connection->accepted = std::chrono::steady_clock::now();
        connection->notifier = new QSocketNotifier(connection->fd.get(), QSocketNotifier::Read, this);
        Connection* raw = connection.get();
        connect(connection->notifier, &QSocketNotifier::activated, this, [this, raw] { readConnection(raw); });
        connections_.push_back(std::move(connection));
        // The data is often there already: no need to wait for the notifier.
        readConnection(raw);
    }
    if (!connections_.empty() && !staleTimer_.isActive())
        staleTimer_.start();
}

void InstanceServer::readConnection(Connection* connection)
{
    using Status = channel::MessageReader::Status;
    const Status status = connection->reader.readFrom(connection->fd.get());
    if (status == Status::Incomplete)
        return;
    if (status == Status::Complete) {
        enqueue(connection->reader.takeText());
        if (!channel::sendAck(connection->fd.get()))
            qCDebug(lcChannel) << "sender left before the acknowledgement";
    } else {
        qCDebug(lcChannel) << "dropped a connection with an incomplete or oversized message";
    }
    dropConnection(connection);
}

void InstanceServer::dropConnection(Connection* connection)
{
    // Unregister before the descriptor closes; the notifier may be the one
    // whose signal is running, so it goes later.
    connection->notifier->setEnabled(false);
    connection->notifier->deleteLater();
    const auto it = std::find_if(connections_.begin(), connections_.end(),
                                 [connection](const auto& c) { return c.get() == connection; });
    if (it != connections_.end())
        connections_.erase(it);
    if (connections_.empty())
        staleTimer_.stop();
}

void InstanceServer::dropStaleConnections()
{
    const auto limit = std::chrono::steady_clock::now() - options_.connectionLimit;
    std::vector<Connection*> stale;
    for (const auto& c : connections_) {
        if (c->accepted < limit)
            stale.push_back(c.get());
    }
    for (Connection* c : stale) {
        qCDebug(lcChannel) << "dropped a connection that sent no whole message in time";
        dropConnection(c);
    }
}

void InstanceServer::enqueue(std::string commandText)
{
    queue_.push_back(std::move(commandText));
    scheduleDispatch();
}

void InstanceServer::scheduleDispatch()
{
    // A running handling takes the queue on when it returns.
    if (dispatchScheduled_ || handling_)
        return;
    dispatchScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            dispatchScheduled_ = false;
            dispatch();
        },
        Qt::QueuedConnection);
}

void InstanceServer::dispatch()
{
    if (handling_)
        return;
    const std::shared_ptr<bool> alive = alive_;
    handling_ = true;
    while (!queue_.empty()) {
        const std::string text = std::move(queue_.front());
        queue_.pop_front();
        handler_(text);
        if (!*alive)
            return;
    }
    handling_ = false;
}

}  // namespace velmora
