#include "playlist/entry_location.h"

#include "base/file_name.h"

#include <QDir>
#include <QLatin1StringView>
#include <QUrl>

#include <array>

namespace velmora {

LocationKind locationKind(QStringView location)
{
    const qsizetype colon = location.indexOf(QLatin1Char(':'));
    if (colon < 1)
        return LocationKind::File;
    const QStringView scheme = location.left(colon);
    auto is = [&](QLatin1StringView name) { return scheme.compare(name, Qt::CaseInsensitive) == 0; };
    if (is(QLatin1StringView("file")))
        return LocationKind::FileUrl;
    if (!location.mid(colon + 1).startsWith(QLatin1String("//")))
        return LocationKind::File;
    if (is(QLatin1StringView("http")) || is(QLatin1StringView("https")))
        return LocationKind::Stream;
    static constexpr std::array kOtherSchemes{"ftp",  "ftps", "sftp", "rtsp", "rtsps", "rtmp", "rtmps", "rtp",
                                              "udp",  "mms",  "mmsh", "mmst", "smb",   "nfs",  "srt",   "dav",
                                              "davs", "cdda", "dvd",  "bd",    "ytdl"};
    for (const char* other : kOtherSchemes) {
        if (is(QLatin1StringView(other)))
            return LocationKind::OtherUrl;
    }
    return LocationKind::File;
}

std::optional<QString> localFileOfUrl(const QUrl& url)
{
    if (!url.isValid() || !url.isLocalFile())
        return std::nullopt;
    if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return std::nullopt;  // another machine's file
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!bytes.startsWith('/'))
        return std::nullopt;
    return QDir::cleanPath(fileNameFromBytes(bytes));
}

QString fileUrlOfPath(const QString& path)
{
    return QStringLiteral("file://") + QString::fromLatin1(fileNameBytes(path).toPercentEncoding("/"));
}

}  // namespace velmora
