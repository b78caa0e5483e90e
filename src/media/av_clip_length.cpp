#include "media/av_clip_length.h"

#include "base/file_name.h"
#include "media/media_log.h"

#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace velmora {

namespace {

int pollInterrupt(void* context)
{
    const auto* interrupted = static_cast<const std::function<bool()>*>(context);
    return (*interrupted && (*interrupted)()) ? 1 : 0;
}

// The file, opened once for every try at its format, and the demuxer on it;
// both closed however the measurement ends.
struct Input {
    AVIOContext* io = nullptr;
    AVFormatContext* ctx = nullptr;
    ~Input()
    {
        avformat_close_input(&ctx);  // leaves our own io open
        avio_closep(&io);
    }
};

AVIOInterruptCB interruptFor(const std::function<bool()>& interrupted)
{
    return AVIOInterruptCB{&pollInterrupt, const_cast<std::function<bool()>*>(&interrupted)};
}

// Opens the demuxer on input.io: `format`, or probing the content when null.
bool openDemuxer(Input& input, const QByteArray& url, const AVInputFormat* format,
                 const std::function<bool()>& interrupted, bool* wasInterrupted)
{
    if (avio_seek(input.io, 0, SEEK_SET) < 0)
        return false;
    input.ctx = avformat_alloc_context();
    if (!input.ctx)
        return false;
    input.ctx->pb = input.io;
    input.ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
    input.ctx->interrupt_callback = interruptFor(interrupted);
    AVDictionary* options = nullptr;
    // Small reads: the headers are all that is wanted. Local files only, so
    // a playlist-like container cannot make the probe open other URLs.
    av_dict_set(&options, "probesize", "65536", 0);
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int result = avformat_open_input(&input.ctx, url.constData(), format, &options);
    av_dict_free(&options);
    if (result < 0) {
        *wasInterrupted = result == AVERROR_EXIT;
        input.ctx = nullptr;  // avformat_open_input freed it
        return false;
    }
    return true;
}

// The MP3 demuxer accepts any file and then searches 64 KiB for a frame,
// which takes a third of a second on, say, a WAV file named ".mp3". A file
// it should be given starts with an ID3v2 tag or an MPEG audio frame header.
bool startsLikeMpegAudio(const unsigned char* head, int size)
{
    if (size >= 3 && head[0] == 'I' && head[1] == 'D' && head[2] == '3')
        return true;
    return size >= 3 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0 && ((head[1] >> 1) & 3) != 0 &&
           (head[2] >> 4) != 15 && ((head[2] >> 2) & 3) != 3;
}

bool isClipStream(const AVStream* stream)
{
    const AVMediaType type = stream->codecpar->codec_type;
    return (type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_VIDEO) &&
           !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

int clipStreamCount(const AVFormatContext* ctx)
{
    int count = 0;
    for (unsigned i = 0; i < ctx->nb_streams; ++i)
        count += isClipStream(ctx->streams[i]) ? 1 : 0;
    return count;
}

// The duration the container or its sound and picture streams state.
std::optional<double> statedDuration(const AVFormatContext* ctx)
{
    if (ctx->duration != AV_NOPTS_VALUE && ctx->duration > 0)
        return double(ctx->duration) / AV_TIME_BASE;
    std::optional<double> longest;
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVStream* stream = ctx->streams[i];
        if (!isClipStream(stream) || stream->duration == AV_NOPTS_VALUE || stream->duration <= 0)
            continue;
        const double seconds = double(stream->duration) * av_q2d(stream->time_base);
        longest = std::max(longest.value_or(0.0), seconds);
    }
    return longest;
}

// Reads every packet: the length is the end of the last one, per stream,
// from the start of the first (or the sum of the durations where packets
// carry no time stamps).
std::optional<double> scannedDuration(AVFormatContext* ctx, bool* wasInterrupted)
{
    const unsigned count = ctx->nb_streams;
    std::vector<std::int64_t> first(count, AV_NOPTS_VALUE), end(count, AV_NOPTS_VALUE), sum(count, 0);
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return std::nullopt;
    int result = 0;
    while ((result = av_read_frame(ctx, packet)) >= 0) {
        const unsigned i = unsigned(packet->stream_index);
        if (i < count && i < ctx->nb_streams && isClipStream(ctx->streams[i])) {
            const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            const std::int64_t duration = std::max<std::int64_t>(0, packet->duration);
            if (stamp != AV_NOPTS_VALUE) {
                first[i] = first[i] == AV_NOPTS_VALUE ? stamp : std::min(first[i], stamp);
                end[i] = end[i] == AV_NOPTS_VALUE ? stamp + duration : std::max(end[i], stamp + duration);
            }
            sum[i] += duration;
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (result == AVERROR_EXIT) {
        *wasInterrupted = true;
        return std::nullopt;
    }
    std::optional<double> longest;
    for (unsigned i = 0; i < count && i < ctx->nb_streams; ++i) {
        const std::int64_t ticks = end[i] != AV_NOPTS_VALUE ? end[i] - first[i] : sum[i];
        if (ticks > 0)
            longest = std::max(longest.value_or(0.0), double(ticks) * av_q2d(ctx->streams[i]->time_base));
    }
    return longest;
}

}  // namespace

ClipLengthReader::ClipLengthReader()
{
    // The program writes no log: libavformat's complaints about broken files
    // would go to stderr by default (libmpv, when loaded, takes them over
    // with its own callback, which this does not touch).
    if (!lcMedia().isDebugEnabled())
        av_log_set_level(AV_LOG_QUIET);
    void* iterator = nullptr;
    while (const AVInputFormat* format = av_demuxer_iterate(&iterator)) {
        if (!format->extensions)
            continue;
        const QList<QByteArray> extensions = QByteArray(format->extensions).toLower().split(',');
        for (const QByteArray& extension : extensions) {
            if (!extension.isEmpty())
                byExtension_.emplace(extension.toStdString(), format);  // the first demuxer wins
        }
    }
}

const AVInputFormat* ClipLengthReader::formatForExtension(const QString& path) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty())
        return nullptr;
    const auto found = byExtension_.find(suffix.toStdString());
    return found == byExtension_.end() ? nullptr : found->second;
}

ClipLengthReader::Result ClipLengthReader::measure(const QString& path,
                                                   const std::function<bool()>& interrupted) const
{
    Result result;
    if (path.isEmpty())
        return result;
    // "file:" keeps a colon in a relative name from reading as a protocol.
    const QByteArray url = "file:" + fileNameBytes(QFileInfo(path).absoluteFilePath());
    bool wasInterrupted = false;

    Input input;
    AVDictionary* ioOptions = nullptr;
    av_dict_set(&ioOptions, "protocol_whitelist", "file", 0);
    const AVIOInterruptCB interrupt = interruptFor(interrupted);
    const int opened = avio_open2(&input.io, url.constData(), AVIO_FLAG_READ, &interrupt, &ioOptions);
    av_dict_free(&ioOptions);
    if (opened < 0)
        return result;

    // First the demuxer the extension names, with the length its header states.
    const AVInputFormat* named = formatForExtension(path);
    if (named && std::strcmp(named->name, "mp3") == 0) {
        unsigned char head[4] = {};
        if (!startsLikeMpegAudio(head, avio_read(input.io, head, sizeof head)))
            named = nullptr;
    }
    if (named && openDemuxer(input, url, named, interrupted, &wasInterrupted)) {
        if (clipStreamCount(input.ctx) > 0)
            result.seconds = statedDuration(input.ctx);
        if (!result.seconds)
            avformat_close_input(&input.ctx);  // the name may have lied: judge by the content below
    }
    // Else the demuxer the content points to.
    if (!input.ctx && !wasInterrupted && openDemuxer(input, url, nullptr, interrupted, &wasInterrupted)) {
        if (clipStreamCount(input.ctx) > 0)
            result.seconds = statedDuration(input.ctx);
    }
    if (!input.ctx)
        return {};
    AVFormatContext* ctx = input.ctx;
    if (result.seconds)
        result.source = ClipLengthReader::Source::Header;

    if (!result.seconds) {
        // No header told: let libavformat look at the streams. ("0" would
        // mean its 5 s default here, so the analysis is bounded explicitly.)
        ctx->max_analyze_duration = AV_TIME_BASE / 10;
        if (avformat_find_stream_info(ctx, nullptr) < 0 || clipStreamCount(ctx) == 0)
            return {};
        if (ctx->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE || ctx->duration <= 0 ||
            ctx->duration == AV_NOPTS_VALUE) {
            result.seconds = scannedDuration(ctx, &wasInterrupted);
            result.source = ClipLengthReader::Source::PacketScan;
        } else {
            result.seconds = double(ctx->duration) / AV_TIME_BASE;
            result.source = ClipLengthReader::Source::StreamInfo;
        }
    }
    if (wasInterrupted || !result.seconds || *result.seconds <= 0)
        return {};
    return result;
}

}  // namespace velmora
