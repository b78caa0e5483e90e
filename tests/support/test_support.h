#pragma once
// Helpers shared by the tests.

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

namespace velmora::test {

// Gives the whole test process a desktop of its own before Qt starts: HOME,
// every XDG folder (a "system" data folder holding one system player that
// handles audio/mpeg, video/mpeg and audio/midi, with its mimeinfo.cache, and
// the shared MIME database linked in), a runtime folder, no session manager
// and no desktop name. Child processes inherit it. Called by the test main.
void isolateDesktop();

// The system player's desktop entry id in that "system" folder.
inline constexpr const char* kSystemPlayer = "system-player.desktop";

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

// Lets events run for the whole interval: for a test that checks that
// something does not happen (or gives a program time it cannot be asked
// about), never to wait for something that can be waited for.
void settle(std::chrono::milliseconds interval);

// Writes bytes to a file, creating folders; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);

}  // namespace velmora::test
