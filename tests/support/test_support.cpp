#include "support/test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace velmora::test {

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

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

}  // namespace velmora::test
