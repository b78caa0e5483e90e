#include "support/test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace velmora::test {

TempHome::TempHome()
    : oldConfig_(qgetenv("VELMORA_CONFIG_HOME")), oldRuntime_(qgetenv("XDG_RUNTIME_DIR"))
{
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
