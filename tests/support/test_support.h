#pragma once
// Helpers shared by the tests.

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

namespace velmora::test {

// A fresh temporary folder that also serves as VELMORA_CONFIG_HOME,
// XDG_RUNTIME_DIR, XDG_DATA_HOME ("data") and XDG_CONFIG_HOME ("xdg-config")
// for the lifetime of the object.
class TempHome {
public:
    TempHome();
    ~TempHome();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    static void restore(const char* name, const QByteArray& value);

    QTemporaryDir dir_;
    QByteArray oldConfig_, oldRuntime_, oldData_, oldXdgConfig_;
};

// Lets events run until done() or the timeout; false on timeout (a test
// then fails instead of hanging).
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Writes bytes to a file, creating folders; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);

}  // namespace velmora::test
