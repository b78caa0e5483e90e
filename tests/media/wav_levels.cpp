#include "media/wav_levels.h"

#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace velmora::test {

std::optional<std::vector<double>> channelLevelsDb(const QString& wavFile, double from, double to)
{
    QFile file(wavFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };

    int formatTag = 0, channels = 0, rate = 0, bits = 0;
    qsizetype data = -1, dataSize = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = u32(at + 4);
        if (id == "fmt " && at + 8 + 16 <= bytes.size()) {
            formatTag = u16(at + 8);
            channels = u16(at + 10);
            rate = int(u32(at + 12));
            bits = u16(at + 22);
            if (formatTag == 0xFFFE && size >= 40)
                formatTag = u16(at + 8 + 24);  // the sub-format's tag
        } else if (id == "data") {
            data = at + 8;
            // A writer that never finished leaves the size unset: take the rest.
            dataSize = (size == 0 || data + size > bytes.size()) ? bytes.size() - data : size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    const bool known = (formatTag == 1 && (bits == 16 || bits == 32)) || (formatTag == 3 && (bits == 32 || bits == 64));
    if (data < 0 || channels <= 0 || rate <= 0 || !known)
        return std::nullopt;

    const int frameBytes = channels * bits / 8;
    const qsizetype frames = dataSize / frameBytes;
    const qsizetype first = std::max<qsizetype>(0, qsizetype(from * rate));
    const qsizetype last = std::min<qsizetype>(frames, qsizetype(to * rate));
    if (last <= first)
        return std::nullopt;
    const auto sample = [&](qsizetype frame, int channel) -> double {
        const char* p = bytes.constData() + data + frame * frameBytes + channel * bits / 8;
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
    };
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
