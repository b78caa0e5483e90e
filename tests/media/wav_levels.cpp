#include "media/wav_levels.h"

#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace velmora::test {

namespace {

struct WavData {
    QByteArray bytes;
    int formatTag = 0, channels = 0, rate = 0, bits = 0;
    qsizetype data = -1, frames = 0;

    double sample(qsizetype frame, int channel) const
    {
        const char* p = bytes.constData() + data + frame * (channels * bits / 8) + channel * bits / 8;
        if (formatTag == 1 && bits == 16)
            return qFromLittleEndian<qint16>(p) / 32768.0;
        if (formatTag == 1)
            return qFromLittleEndian<qint32>(p) / 2147483648.0;
        if (bits == 32) {
            float f;
            std::memcpy(&f, p, 4);
            return f;
        }
        double d;
        std::memcpy(&d, p, 8);
        return d;
    }
};

std::optional<WavData> readWav(const QString& wavFile)
{
    QFile file(wavFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    WavData w;
    w.bytes = file.readAll();
    const QByteArray& bytes = w.bytes;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };

    qsizetype dataSize = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = u32(at + 4);
        if (id == "fmt " && at + 8 + 16 <= bytes.size()) {
            w.formatTag = u16(at + 8);
            w.channels = u16(at + 10);
            w.rate = int(u32(at + 12));
            w.bits = u16(at + 22);
            if (w.formatTag == 0xFFFE && size >= 40)
                w.formatTag = u16(at + 8 + 24);  // the sub-format's tag
        } else if (id == "data") {
            w.data = at + 8;
            // A writer that never finished leaves the size unset: take the rest.
            dataSize = (size == 0 || w.data + size > bytes.size()) ? bytes.size() - w.data : size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    const bool known = (w.formatTag == 1 && (w.bits == 16 || w.bits == 32)) ||
                       (w.formatTag == 3 && (w.bits == 32 || w.bits == 64));
    if (w.data < 0 || w.channels <= 0 || w.rate <= 0 || !known)
        return std::nullopt;
    w.frames = dataSize / (w.channels * w.bits / 8);
    return w;
}

}  // namespace

std::optional<WavChannel> readWavChannel(const QString& wavFile, int channel)
{
    const auto w = readWav(wavFile);
    if (!w || channel >= w->channels)
        return std::nullopt;
    WavChannel out;
    out.rate = w->rate;
    out.samples.reserve(size_t(w->frames));
    for (qsizetype f = 0; f < w->frames; ++f)
        out.samples.push_back(float(w->sample(f, channel)));
    return out;
}

std::optional<std::vector<double>> channelLevelsDb(const QString& wavFile, double from, double to)
{
    const auto w = readWav(wavFile);
    if (!w)
        return std::nullopt;
    const int rate = w->rate, channels = w->channels;
    const qsizetype frames = w->frames;
    const qsizetype first = std::max<qsizetype>(0, qsizetype(from * rate));
    const qsizetype last = std::min<qsizetype>(frames, qsizetype(to * rate));
    if (last <= first)
        return std::nullopt;
    const auto sample = [&](qsizetype frame, int channel) { return w->sample(frame, channel); };
    std::vector<double> levels;
    for (int c = 0; c < channels; ++c) {
        double sum = 0;
        for (qsizetype f = first; f < last; ++f) {
            const double s = sample(f, c);
            sum += s * s;
        }
        levels.push_back(10.0 * std::log10(std::max(sum / double(last - first), 1e-30)));
    }
    return levels;
}

}  // namespace velmora::test
