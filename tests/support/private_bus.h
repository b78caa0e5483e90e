#pragma once
// PrivateBus: a D-Bus session bus of the test's own (a dbus-daemon it
// starts and ends), so that tests never meet the user's session bus or each
// other. connection() is for the code under test; client() is a second
// connection, as another program on the bus would have. Header-only: only
// tests that use it link Qt D-Bus.

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <chrono>

namespace velmora::test {

class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.setProgram(QStringLiteral("dbus-daemon"));
        daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                              QStringLiteral("--print-address=1")});
        daemon_.start();
        if (!daemon_.waitForStarted(5000))
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!daemon_.canReadLine() && std::chrono::steady_clock::now() < deadline)
            daemon_.waitForReadyRead(100);
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        if (address_.isEmpty())
            return;
        const QString tag = QString::number(reinterpret_cast<quintptr>(this), 16);
        serviceName_ = QStringLiteral("velmora-test-service-") + tag;
        clientName_ = QStringLiteral("velmora-test-client-") + tag;
        QDBusConnection::connectToBus(address_, serviceName_);
        QDBusConnection::connectToBus(address_, clientName_);
    }
    ~PrivateBus()
    {
        if (!serviceName_.isEmpty()) {
            QDBusConnection::disconnectFromBus(serviceName_);
            QDBusConnection::disconnectFromBus(clientName_);
        }
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(3000))
                daemon_.kill();
            daemon_.waitForFinished(3000);
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool ok() const { return connection().isConnected() && client().isConnected(); }
    const QString& address() const { return address_; }
    QDBusConnection connection() const { return QDBusConnection(serviceName_); }
    QDBusConnection client() const { return QDBusConnection(clientName_); }
    // The environment of a program that should talk on this bus (playerctl).
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        return env;
    }

private:
    QProcess daemon_;
    QString address_;
    QString serviceName_;
    QString clientName_;
};

}  // namespace velmora::test
