#pragma once
// Reads a WAV file (16/32-bit integer or 32/64-bit float samples) and
// measures the level of each channel: what the tests use to check volume and
// balance at the output.

#include <QString>

#include <optional>
#include <vector>

namespace velmora::test {

// RMS level in dB relative to full scale of each channel over [from, to)
// seconds; nullopt when the file is not a WAV file this reader knows or
// holds no samples in that span.
// One channel's samples (full scale 1.0); nullopt as above.
struct WavChannel {
    int rate = 0;
    std::vector<float> samples;
};
std::optional<WavChannel> readWavChannel(const QString& wavFile, int channel = 0);

std::optional<std::vector<double>> channelLevelsDb(const QString& wavFile, double from, double to);

}  // namespace velmora::test
