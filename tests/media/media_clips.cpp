#include "media/media_clips.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace velmora::test {

bool runFfmpeg(const QStringList& arguments, QString* error)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                             QStringLiteral("-nostdin"), QStringLiteral("-y")} + arguments);
    const bool ok = ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
                    ffmpeg.exitCode() == 0;
    if (!ok && error)
        *error = QString::fromLocal8Bit(ffmpeg.readAllStandardError()) + ffmpeg.errorString();
    return ok;
}

bool makeMediaClips(const QString& folder, MediaClips* clips, QString* error)
{
    QDir().mkpath(folder);
    const QDir dir(folder);
    auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    const QString lavfi = QStringLiteral("lavfi");
    auto make = [&](const QStringList& arguments) { return runFfmpeg(arguments, error); };

    clips->toneMp3 = path("tone.mp3");
    clips->vbrMp3 = path("vbr.mp3");
    clips->toneOgg = path("tone.ogg");
    clips->toneWav = path("tone.wav");
    clips->stereoWav = path("stereo.wav");
    clips->wavNamedMp3 = path("wav-content.mp3");
    clips->videoMp4 = path("video.mp4");
    clips->emptyMp3 = path("empty.mp3");
    clips->textAvi = path("text.avi");
    clips->vbrSeconds = 6;

    const bool ok =
        make({"-f", lavfi, "-i", "sine=f=440:d=3", "-c:a", "libmp3lame", "-b:a", "64k", clips->toneMp3}) &&
        // Quiet first, loud after: a bit-rate estimate from the first frames is far too long.
        make({"-f", lavfi, "-i", "anullsrc=r=44100:cl=stereo:d=1", "-f", lavfi, "-i", "anoisesrc=d=5:a=0.5:r=44100",
              "-filter_complex", "[1]aformat=channel_layouts=stereo[n];[0][n]concat=n=2:v=0:a=1", "-c:a",
              "libmp3lame", "-q:a", "0", "-write_xing", "0", clips->vbrMp3}) &&
        make({"-f", lavfi, "-i", "sine=f=440:d=3", "-c:a", "libvorbis", clips->toneOgg}) &&
        make({"-f", lavfi, "-i", "sine=f=440:d=3", "-c:a", "pcm_s16le", clips->toneWav}) &&
        make({"-f", lavfi, "-i", "sine=f=440:d=6", "-af", "pan=stereo|c0=c0|c1=c0,volume=-10dB:precision=double",
              "-c:a", "pcm_s16le", clips->stereoWav}) &&
        make({"-f", lavfi, "-i", "sine=f=440:d=3", "-f", "wav", "-c:a", "pcm_s16le", clips->wavNamedMp3}) &&
        make({"-f", lavfi, "-i", "testsrc=s=320x240:d=2:r=25", "-f", lavfi, "-i", "sine=f=440:d=2", "-c:v",
              "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest",
              clips->videoMp4});
    if (!ok)
        return false;
    QFile empty(clips->emptyMp3);
    QFile text(clips->textAvi);
    return empty.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           text.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           text.write("This is a note, not a clip.\n") > 0;
}

}  // namespace velmora::test
