#pragma once
// NullSink: a private PulseAudio daemon with one null sink, for tests and
// benchmarks that listen to what the player plays. The daemon runs in its
// own runtime folder and is ended (by its process) with the object; while it
// runs, PULSE_SERVER points this process at it. The sink's monitor is
// recorded with parec into a WAV file.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace velmora::test {

class NullSink {
public:
    NullSink();
    ~NullSink();
    NullSink(const NullSink&) = delete;
    NullSink& operator=(const NullSink&) = delete;

    // False when pulseaudio did not start (not installed: tools/bootstrap).
    bool running() const;
    QString daemonLog() const;

    // Records the sink from now on; false when the recording did not start.
    bool startRecording();
    // Ends the recording; the left channel of what was played (48 kHz).
    std::vector<float> stopRecording();
    QString recordingFile() const;

private:
    QTemporaryDir folder_;
    QString socket_;
    QProcess daemon_;
    QProcess recorder_;
};

}  // namespace velmora::test
