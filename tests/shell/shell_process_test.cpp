// The real player on a real X server, with the desktop's own tools asking
// what opens a file (a user who gave the player nothing keeps the system's
// player from the first start to the uninstall, and gets it back after
// marking and unmarking every type), and with a StatusNotifier
// panel of the test's own (hidden windows come back on its left click).

#include "support/private_bus.h"
#include "support/test_support.h"
#include "support/x_driver.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>

#include <iostream>

using namespace velmora;
using namespace velmora::test;
using namespace std::chrono_literals;

namespace {

// The panel's side of StatusNotifier: the watcher that items register
// with, telling them that a host shows them.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registered)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList registered() const { return items; }
    QStringList items;

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message)
    {
        // An item names its service, or only its object path.
        items << (service.startsWith(QLatin1Char('/')) ? message.service() : service);
    }
    void RegisterStatusNotifierHost(const QString&) {}
};

class ShellProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs an X server and xdotool";
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("VELMORA_CONFIG_HOME"), config());
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.file(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        for (const char* name : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "DESKTOP_SESSION"})
            env_.remove(QString::fromLatin1(name));
    }
    void TearDown() override
    {
        for (QProcess* p : running_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QString config() const { return home_.file(QStringLiteral("config")); }
    QString data(const QString& rel) const { return home_.file(QStringLiteral("data/") + rel); }
    QProcess* launch(const QStringList& args)
    {
        auto* p = new QProcess;
        p->setProcessEnvironment(env_);
        p->start(QStringLiteral(VELMORA_BUILD_DIR "/velmora4"), args);
        running_.push_back(p);
        return p;
    }
    int run(const QStringList& args)
    {
        QProcess* p = launch(args);
        return p->waitForFinished(60000) ? p->exitCode() : -1000;
    }
    QString tool(const QString& program, const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // The main window (not the tray's menu) is shown.
    static bool mainWindowShown(const QProcess& p) { return test::visibleWindows(p, QStringLiteral("^Velmora 4$")) > 0; }
    // What xdg-mime and gio name for the three types the system player has.
    std::string answers() const
    {
        QStringList out;
        for (const char* type : {"audio/mpeg", "video/mpeg", "audio/midi"}) {
            const QString name = QString::fromLatin1(type);
            out << tool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), name});
            out << tool(QStringLiteral("gio"), {QStringLiteral("mime"), name}).section(QLatin1Char('\n'), 0, 0).section(
                QStringLiteral(": "), 1);
        }
        return out.join(QLatin1Char(' ')).toStdString();
    }
    static std::string systemAnswers()
    {
        return QStringList(6, QString::fromLatin1(test::kSystemPlayer)).join(QLatin1Char(' ')).toStdString();
    }
    void writeSettings(const QByteArray& text) { test::writeFile(config() + QStringLiteral("/settings.ini"), text); }

    test::TempHome home_;
    QProcessEnvironment env_;
    std::vector<QProcess*> running_;
};

}  // namespace

TEST_F(ShellProcessTest, TheSystemPlayerKeepsItsTypesFromTheFirstStartToTheUninstall)
{
    auto stage = [this](const char* name) {
        const std::string now = answers();
        std::cout << name << ": " << now << std::endl;
        return now;
    };
    ASSERT_EQ(stage("before the player"), systemAnswers());
    writeSettings("[Settings]\nAutoPlay=0\n[Position]\nLeft=100\nTop=100\n");  // a first start: no file types yet
    QProcess* player = launch({});
    ASSERT_TRUE(waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
    const QString mp3Entry = data(QStringLiteral("applications/vlmr4_mp3file.desktop"));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(mp3Entry); }, 30s)) << "the classes are written";
    EXPECT_EQ(stage("after a first start"), systemAnswers());

    // The types page: "Выбрать все", then "Снять все".
    click(kMainMenu);
    ASSERT_TRUE(waitFor([&] { return visibleWindows(*player) == 2; }, 20s)) << "the menu";
    xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});
    ASSERT_TRUE(waitFor([&] { return optionsShown(); }, 20s));
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Tab"), QStringLiteral("ctrl+Tab")});
    // xdotool lends a Cyrillic key a keycode only for a moment, and a busy
    // player may read the key after the loan ended: both buttons may be
    // pressed again, so a press is repeated until it has acted.
    auto pressUntil = [](const QString& key, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 6; ++attempt) {
            xdotool({QStringLiteral("key"), key});
            if (waitFor(done, 10s))
                return true;
        }
        return false;
    };
    auto settings = [this] {
        QFile f(config() + QStringLiteral("/settings.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_TRUE(pressUntil(QStringLiteral("alt+Cyrillic_ie"), [&] { return settings().contains("33 checked=1"); }));
    EXPECT_TRUE(answers().starts_with("vlmr4_mp3file.desktop vlmr4_mp3file.desktop"));
    EXPECT_EQ(stage("after Выбрать все").find(test::kSystemPlayer), std::string::npos);
    EXPECT_TRUE(pressUntil(QStringLiteral("alt+Cyrillic_ES"), [&] { return answers() == systemAnswers(); }));
    EXPECT_EQ(stage("after Снять все"), systemAnswers());
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    ASSERT_TRUE(waitFor([&] { return !optionsShown(); }, 20s));
    click(kMainClose);
    ASSERT_TRUE(player->waitForFinished(30000));
    EXPECT_EQ(answers(), systemAnswers());
    QFile entry(mp3Entry);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_FALSE(entry.readAll().contains("MimeType=")) << "a class declares no type it does not hold";

    EXPECT_EQ(run({QStringLiteral("init")}), 0);
    EXPECT_EQ(stage("after init"), systemAnswers());
    EXPECT_EQ(run({QStringLiteral("uninstall")}), 0);
    EXPECT_EQ(stage("after uninstall"), systemAnswers());
    EXPECT_FALSE(QFileInfo::exists(config())) << "no empty settings folder is left";
    QStringList left;
    QDirIterator it(home_.file(QStringLiteral("data")), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << it.next();
    EXPECT_EQ(left, QStringList()) << "nothing of the player is left on the desktop";
}

TEST_F(ShellProcessTest, OnAStatusNotifierPanelALeftClickOrASecondStartBringsHiddenWindowsBack)
{
    test::PrivateBus bus;
    ASSERT_TRUE(bus.ok());
    Watcher watcher;
    QDBusConnection panel = bus.connection();
    ASSERT_TRUE(panel.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                     QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(panel.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    writeSettings("[Settings]\nAutoPlay=0\nNotClose=1\nTray=1\n[Position]\nLeft=100\nTop=100\n");
    QProcess* player = launch({});
    ASSERT_TRUE(waitFor([&] { return visibleWindows(*player) == 1; }, 60s)) << "the main window";
    ASSERT_TRUE(waitFor([&] { return !watcher.items.isEmpty(); }, 20s)) << "the icon is on the panel";

    click(kMainClose);
    ASSERT_TRUE(waitFor([&] { return visibleWindows(*player) == 0; }, 20s)) << "Close only hides";
    // The panel's left click: the item's primary activation.
    QDBusMessage activate = QDBusMessage::createMethodCall(watcher.items.first(), QStringLiteral("/StatusNotifierItem"),
                                                           QStringLiteral("org.kde.StatusNotifierItem"),
                                                           QStringLiteral("Activate"));
    activate << 10 << 10;
    bus.client().call(activate, QDBus::NoBlock);
    EXPECT_TRUE(waitFor([&] { return mainWindowShown(*player); }, 20s)) << "a left click restores";
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});  // a menu, had one opened
    ASSERT_TRUE(waitFor([&] { return visibleWindows(*player) == 1; }, 20s));

    click(kMainClose);
    ASSERT_TRUE(waitFor([&] { return visibleWindows(*player) == 0; }, 20s));
    EXPECT_EQ(run({}), 0);
    EXPECT_TRUE(waitFor([&] { return mainWindowShown(*player); }, 20s)) << "an empty second start restores";
    EXPECT_EQ(player->state(), QProcess::Running);
}

#include "shell_process_test.moc"
