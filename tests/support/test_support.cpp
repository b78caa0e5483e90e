#include "support/test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace velmora::test {

namespace {

// The MIME database is a dependency of the program, not a choice of the
// machine: the first one the system has is linked into the test's own folder.
QString sharedMimeDatabase()
{
    QStringList dirs = qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    dirs << QStringLiteral("/usr/local/share") << QStringLiteral("/usr/share");
    for (const QString& dir : dirs) {
        if (QFileInfo::exists(dir + QStringLiteral("/mime/mime.cache")))
            return dir + QStringLiteral("/mime");
    }
    return {};
}

}  // namespace

void isolateDesktop()
{
    // Lives as long as the process; removed at exit.
    static QTemporaryDir root(QDir::tempPath() + QStringLiteral("/velmora-test-desktop-XXXXXX"));
    const QString base = root.path();
    const QString system = base + QStringLiteral("/system-data");
    writeFile(system + QStringLiteral("/applications/") + QLatin1String(kSystemPlayer),
              "[Desktop Entry]\nType=Application\nName=System Player\nExec=/bin/true %F\n"
              "MimeType=audio/mpeg;video/mpeg;audio/midi;\n");
    writeFile(system + QStringLiteral("/applications/mimeinfo.cache"),
              QByteArray("[MIME Cache]\naudio/midi=") + kSystemPlayer + ";\naudio/mpeg=" + kSystemPlayer
                  + ";\nvideo/mpeg=" + kSystemPlayer + ";\n");
    if (const QString mime = sharedMimeDatabase(); !mime.isEmpty())
        QFile::link(mime, system + QStringLiteral("/mime"));
    QDir().mkpath(base + QStringLiteral("/system-config"));
    const QString home = base + QStringLiteral("/home");
    const QString runtime = base + QStringLiteral("/runtime");
    for (const QString& dir : {home + QStringLiteral("/.local/share"), home + QStringLiteral("/.config"),
                               home + QStringLiteral("/.cache"), home + QStringLiteral("/.local/state"), runtime})
        QDir().mkpath(dir);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto set = [](const char* name, const QString& value) { qputenv(name, QFile::encodeName(value)); };
    set("HOME", home);
    set("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    set("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    set("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    set("XDG_STATE_HOME", home + QStringLiteral("/.local/state"));
    set("XDG_DATA_DIRS", system);
    set("XDG_CONFIG_DIRS", base + QStringLiteral("/system-config"));
    set("XDG_RUNTIME_DIR", runtime);
    set("VELMORA_CONFIG_HOME", home + QStringLiteral("/.config/Velmora 4"));
    for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                             "GNOME_DESKTOP_SESSION_ID", "SESSION_MANAGER", "XDG_SESSION_ID"})
        qunsetenv(name);
}

TempHome::TempHome()
    : oldConfig_(qgetenv("VELMORA_CONFIG_HOME")), oldRuntime_(qgetenv("XDG_RUNTIME_DIR")),
      oldData_(qgetenv("XDG_DATA_HOME")), oldXdgConfig_(qgetenv("XDG_CONFIG_HOME"))
{
    // File classes, icons and defaults go to the test's own desktop folders.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("xdg-config"))));
    qputenv("VELMORA_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config"))));
    QDir().mkpath(dir_.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(dir_.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.filePath(QStringLiteral("runtime"))));
}

TempHome::~TempHome()
{
    qputenv("VELMORA_CONFIG_HOME", oldConfig_);
    qputenv("XDG_RUNTIME_DIR", oldRuntime_);
    restore("XDG_DATA_HOME", oldData_);
    restore("XDG_CONFIG_HOME", oldXdgConfig_);
}

void TempHome::restore(const char* name, const QByteArray& value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void settle(std::chrono::milliseconds interval)
{
    waitFor([] { return false; }, interval);
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

}  // namespace velmora::test
