#pragma once
// Clips that tell how much of them was heard: a 100 ms start marker
// (1000 Hz), a 440 Hz tone and a 100 ms end marker (1500 Hz), every part
// starting and ending at a zero crossing, so that clips played back to back
// join without a click. analyseMarkers() finds them again in a recording.

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::test {

inline constexpr int kMarkerRate = 48000;

// Makes a `seconds` long stereo marker clip at 48 kHz; `codec` are ffmpeg's
// output arguments (for example {"-c:a", "flac"}); withPicture adds a
// 320x240 picture. False (with ffmpeg's complaint) on failure.
bool makeMarkerClip(const QString& path, double seconds, const QStringList& codec, bool withPicture = false,
                    QString* error = nullptr);

struct HeardClip {
    double start = 0;       // seconds into the recording where its start marker begins
    double heard = 0;       // seconds of it that sounded
    bool startMarker = false;
    bool endMarker = false;
};

struct MarkerAnalysis {
    std::vector<HeardClip> clips;
    // Longest stretch under the silence threshold (over 1 ms) from each
    // clip's start marker to the next clip's; 0 when there is none.
    std::vector<double> silencesMs;
};

// Finds the marker clips in one channel of a recording (full scale 1.0).
MarkerAnalysis analyseMarkers(const std::vector<float>& samples, int rate);

}  // namespace velmora::test
