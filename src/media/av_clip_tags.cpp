#include "media/av_clip_tags.h"

#include "base/file_name.h"
#include "media/media_log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <algorithm>

namespace velmora {

namespace {

QString tag(const AVDictionary* metadata, const char* key)
{
    const AVDictionaryEntry* e = av_dict_get(metadata, key, nullptr, 0);  // any letter case
    return e && e->value ? QString::fromUtf8(e->value).trimmed() : QString();
}

// Fills what is still empty from one tag dictionary.
void take(ClipTags& tags, const AVDictionary* metadata)
{
    if (!metadata)
        return;
    auto fill = [&](QString& field, const char* key) {
        if (field.isEmpty())
            field = tag(metadata, key);
    };
    fill(tags.title, "title");
    fill(tags.artist, "artist");
    if (tags.artist.isEmpty())
        fill(tags.artist, "album_artist");
    fill(tags.album, "album");
    if (tags.trackNumber == 0) {
        // "3" or "3/12"
        const QString track = tag(metadata, "track");
        tags.trackNumber = std::max(0, QStringView(track).left(track.indexOf(QLatin1Char('/'))).toInt());
    }
}

QString writtenCover(const AVPacket& picture, AVCodecID codec, const QString& folder)
{
    const QByteArray data(reinterpret_cast<const char*>(picture.data), picture.size);
    const char* extension = codec == AV_CODEC_ID_PNG ? "png" : codec == AV_CODEC_ID_MJPEG ? "jpg" : "img";
    const QString path = folder + QLatin1Char('/')
                         + QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex())
                         + QLatin1Char('.') + QLatin1String(extension);
    if (QFileInfo::exists(path))
        return path;
    QSaveFile file(path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size()
        || !file.commit()) {
        qCDebug(lcMedia) << "cannot write the cover" << path;
        return {};
    }
    return path;
}

QString coverBeside(const QString& clip)
{
    const QDir folder = QFileInfo(clip).dir();
    const QStringList found = folder.entryList({QStringLiteral("cover.jpg"), QStringLiteral("folder.jpg")},
                                               QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    return found.isEmpty() ? QString() : folder.filePath(found.front());
}

}  // namespace

std::optional<ClipTags> readClipTags(const QString& path, const QString& coverFolder)
{
    AVFormatContext* ctx = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // "file:" keeps a name such as "Re:Zero.mp3" from reading as a protocol.
    const QByteArray url = "file:" + fileNameBytes(path);
    const int opened = avformat_open_input(&ctx, url.constData(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        qCDebug(lcMedia) << "cannot read the tags of" << path;
        return std::nullopt;
    }
    ClipTags tags;
    take(tags, ctx->metadata);
    QString art;
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVStream* stream = ctx->streams[i];
        take(tags, stream->metadata);
        if (art.isEmpty() && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) && stream->attached_pic.size > 0)
            art = writtenCover(stream->attached_pic, stream->codecpar->codec_id, coverFolder);
    }
    avformat_close_input(&ctx);
    tags.artPath = art.isEmpty() ? coverBeside(path) : art;
    return tags;
}

}  // namespace velmora
