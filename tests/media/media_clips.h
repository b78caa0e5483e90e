#pragma once
// Clips made with ffmpeg for the media tests and benchmarks, in a folder the
// caller owns.

#include <QString>
#include <QStringList>

namespace velmora::test {

struct MediaClips {
    QString toneMp3;       // 3 s 440 Hz tone, CBR with an Info header
    QString vbrMp3;        // 1 s silence then 5 s noise, VBR without a Xing header
    double vbrSeconds = 6;  // its true length
    QString toneOgg;       // 3 s tone, Vorbis
    QString toneWav;       // 3 s tone, 16-bit PCM mono
    QString stereoWav;     // 6 s tone at -10 dBFS in both channels
    QString wavNamedMp3;   // a WAV file with the extension ".mp3"
    QString videoMp4;      // 2 s 320x240 H.264 with AAC sound
    QString emptyMp3;      // zero bytes
    QString textAvi;       // a text file named ".avi"
};

// Runs ffmpeg with the arguments (quiet, overwriting); false on failure.
bool runFfmpeg(const QStringList& arguments, QString* error = nullptr);

// Makes every clip in `folder`; false (with ffmpeg's complaint) on failure.
bool makeMediaClips(const QString& folder, MediaClips* clips, QString* error = nullptr);

}  // namespace velmora::test
