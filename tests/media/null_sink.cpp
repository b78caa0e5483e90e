#include "media/null_sink.h"

#include "media/wav_levels.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace velmora::test {

namespace {

constexpr char kSink[] = "velmora_test";

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

}  // namespace

NullSink::NullSink()
{
    const QString dir = folder_.path();
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    socket_ = dir + QStringLiteral("/native");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    env.insert(QStringLiteral("HOME"), dir);
    env.remove(QStringLiteral("PULSE_SERVER"));
    daemon_.setProcessEnvironment(env);
    daemon_.setStandardOutputFile(QProcess::nullDevice());
    daemon_.setStandardErrorFile(dir + QStringLiteral("/daemon.log"));
    // The null sink renders up to 2 s ahead while nothing plays; without
    // rewinds a stream that joins is recorded whole (with rewinds the
    // monitor loses what the sink renders again).
    daemon_.start(QStringLiteral("pulseaudio"),
                  {QStringLiteral("--daemonize=no"), QStringLiteral("--use-pid-file=no"),
                   QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-n"), QStringLiteral("--disable-shm=yes"),
                   QStringLiteral("-L"),
                   QStringLiteral("module-null-sink sink_name=%1 rate=48000 channels=2 norewinds=1")
                       .arg(QLatin1String(kSink)),
                   QStringLiteral("-L"),
                   QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket_});
    if (!daemon_.waitForStarted(3000))
        return;
    waitUntil([&] { return QFile::exists(socket_); }, 5000);
    qputenv("PULSE_SERVER", ("unix:" + socket_).toUtf8());
}

NullSink::~NullSink()
{
    if (recorder_.state() != QProcess::NotRunning) {
        recorder_.kill();
        recorder_.waitForFinished(3000);
    }
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(3000))
            daemon_.kill();
        daemon_.waitForFinished(1000);
    }
    qunsetenv("PULSE_SERVER");
}

bool NullSink::running() const
{
    return daemon_.state() == QProcess::Running && QFile::exists(socket_);
}

QString NullSink::daemonLog() const
{
    QFile log(folder_.path() + QStringLiteral("/daemon.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
}

QString NullSink::recordingFile() const
{
    return folder_.path() + QStringLiteral("/recording.wav");
}

bool NullSink::startRecording()
{
    QFile::remove(recordingFile());
    recorder_.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=%1.monitor").arg(QLatin1String(kSink)), QStringLiteral("--rate=48000"),
                     QStringLiteral("--channels=2"), QStringLiteral("--format=float32le"),
                     QStringLiteral("--file-format=wav"), recordingFile()});
    if (!recorder_.waitForStarted(3000))
        return false;
    // Samples arrive: the stream is connected.
    return waitUntil([&] { return QFileInfo(recordingFile()).size() > 48000; }, 5000);
}

std::vector<float> NullSink::stopRecording()
{
    recorder_.terminate();  // parec completes the WAV header
    recorder_.waitForFinished(3000);
    auto left = readWavChannel(recordingFile(), 0);
    return left ? left->samples : std::vector<float>{};
}

}  // namespace velmora::test
