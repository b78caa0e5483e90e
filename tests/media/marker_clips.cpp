#include "media/marker_clips.h"

#include "media/media_clips.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora::test {

namespace {

constexpr double kStartHz = 1000, kToneHz = 440, kEndHz = 1500;
constexpr double kMarkerSeconds = 0.1;
constexpr float kSilence = 0.02f;  // the tone's amplitude is 0.5

enum class Kind { Start, Tone, End, Other };

Kind kindOf(double hz)
{
    if (std::abs(hz - kStartHz) < 150)
        return Kind::Start;
    if (std::abs(hz - kEndHz) < 250)
        return Kind::End;
    if (std::abs(hz - kToneHz) < 100)
        return Kind::Tone;
    return Kind::Other;
}

struct Run {
    Kind kind;
    qsizetype from, to;  // samples
};

}  // namespace

bool makeMarkerClip(const QString& path, double seconds, const QStringList& codec, bool withPicture, QString* error)
{
    // Each part lasts a whole number of its own periods, so the phase is 0 at
    // every change and at both ends.
    const QString tone = QStringLiteral("0.5*sin(2*PI*t*if(lt(t,%1),%2,if(lt(t,%3),%4,%5)))")
                             .arg(kMarkerSeconds)
                             .arg(kStartHz)
                             .arg(seconds - kMarkerSeconds)
                             .arg(kToneHz)
                             .arg(kEndHz);
    QStringList arguments{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                          QStringLiteral("aevalsrc=exprs='%1':c=stereo:s=%2:d=%3").arg(tone).arg(kMarkerRate).arg(seconds)};
    if (withPicture) {
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("testsrc=size=320x240:rate=25:d=%1").arg(seconds) << QStringLiteral("-c:v")
                  << QStringLiteral("mpeg4");
    }
    return runFfmpeg(arguments + codec + QStringList{path}, error);
}

MarkerAnalysis analyseMarkers(const std::vector<float>& samples, int rate)
{
    // 1. Half cycles between zero crossings, sorted into runs by frequency.
    std::vector<Run> runs;
    qsizetype last = -1;
    for (qsizetype i = 1; i < qsizetype(samples.size()); ++i) {
        const bool crossing = (samples[size_t(i - 1)] < 0) != (samples[size_t(i)] < 0);
        if (!crossing)
            continue;
        if (last >= 0) {
            const Kind kind = kindOf(rate / (2.0 * double(i - last)));
            if (!runs.empty() && runs.back().kind == kind && runs.back().to == last)
                runs.back().to = i;
            else
                runs.push_back({kind, last, i});
        }
        last = i;
    }
    // 2. Marker runs of at least 80 ms; a clip begins at each start marker.
    const auto longEnough = [&](const Run& r) { return double(r.to - r.from) / rate >= 0.8 * kMarkerSeconds; };
    std::vector<qsizetype> starts;
    std::vector<qsizetype> ends;
    for (const Run& r : runs) {
        if (r.kind == Kind::Start && longEnough(r))
            starts.push_back(r.from);
        else if (r.kind == Kind::End && longEnough(r))
            ends.push_back(r.from);
    }
    // 3. Silent stretches over 1 ms.
    std::vector<std::pair<qsizetype, qsizetype>> quiet;
    const qsizetype minQuiet = rate / 1000;
    for (qsizetype i = 0; i < qsizetype(samples.size());) {
        if (std::abs(samples[size_t(i)]) >= kSilence) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < qsizetype(samples.size()) && std::abs(samples[size_t(j)]) < kSilence)
            ++j;
        if (j - i > minQuiet)
            quiet.push_back({i, j});
        i = j;
    }
    qsizetype lastSound = qsizetype(samples.size()) - 1;
    while (lastSound > 0 && std::abs(samples[size_t(lastSound)]) < kSilence)
        --lastSound;

    // 4. Each clip: what sounded from its start marker to the next one.
    MarkerAnalysis out;
    for (size_t k = 0; k < starts.size(); ++k) {
        const qsizetype from = starts[k];
        const qsizetype to = k + 1 < starts.size() ? starts[k + 1] : lastSound + 1;
        qsizetype silent = 0, longest = 0;
        for (const auto& [a, b] : quiet) {
            const qsizetype lo = std::max(a, from), hi = std::min(b, to);
            if (hi > lo) {
                silent += hi - lo;
                longest = std::max(longest, hi - lo);
            }
        }
        HeardClip clip;
        clip.start = double(from) / rate;
        clip.heard = double(to - from - silent) / rate;
        clip.startMarker = true;
        clip.endMarker = std::any_of(ends.begin(), ends.end(), [&](qsizetype e) { return e > from && e < to; });
        out.clips.push_back(clip);
        if (k + 1 < starts.size())
            out.silencesMs.push_back(1000.0 * double(longest) / rate);
    }
    return out;
}

}  // namespace velmora::test
