#include "playlist/foreign_playlist.h"

#include "base/file_name.h"
#include "base/text_codec.h"
#include "settings/profile_document.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace velmora {

namespace {

QStringView withoutBom(QStringView text)
{
    return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
}

// "#EXTINF:123 tvg-name="a,b",Title": the title follows the first comma
// outside double quotes.
QString extinfTitle(QStringView info)
{
    bool quoted = false;
    for (qsizetype i = 0; i < info.size(); ++i) {
        if (info[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (info[i] == QLatin1Char(',') && !quoted)
            return info.mid(i + 1).trimmed().toString();
    }
    return {};
}

}  // namespace

std::optional<ForeignFormat> foreignFormatOf(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return std::nullopt;
    const QStringView ext = QStringView(path).mid(dot + 1);
    auto is = [&](const char* name) { return ext.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("m3u"))
        return ForeignFormat::M3u;
    if (is("m3u8"))
        return ForeignFormat::M3u8;
    if (is("pls"))
        return ForeignFormat::Pls;
    if (is("xspf"))
        return ForeignFormat::Xspf;
    return std::nullopt;
}

std::vector<ForeignEntry> parseM3u(const QByteArray& bytes, bool utf8Only)
{
    // In UTF-8 lists a name's bytes that are not UTF-8 are kept as they are.
    const QString text = utf8Only ? fileNameFromBytes(bytes) : decodeUtf8OrCp1251(bytes);
    std::vector<ForeignEntry> out;
    QString title;
    for (QStringView line : withoutBom(text).tokenize(QLatin1Char('\n'))) {
        line = line.trimmed();  // also the "\r" of CR LF files
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            if (line.startsWith(QLatin1String("#EXTINF:"), Qt::CaseInsensitive))
                title = extinfTitle(line.mid(8));
            continue;
        }
        out.push_back({line.toString(), std::move(title)});
        title.clear();
    }
    return out;
}

std::vector<ForeignEntry> parsePls(const QByteArray& bytes)
{
    const ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    const ProfileDocument::SectionView list = doc.section(u"playlist");
    std::vector<ForeignEntry> out;
    if (!list.exists())
        return out;
    // Entries are numbered from 1; "NumberOfEntries" is often missing or
    // wrong, so every number up to the file's line count is looked at (no
    // file holds more entries than lines).
    const qsizetype lines = bytes.count('\n') + 1;
    for (qsizetype n = 1; n <= lines; ++n) {
        const QString number = QString::number(n);
        QString location = list.readKey(QString(QLatin1String("File") + number));
        if (location.isEmpty())
            continue;
        out.push_back({std::move(location), list.readKey(QString(QLatin1String("Title") + number))});
    }
    return out;
}

std::vector<ForeignEntry> parseXspf(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    std::vector<ForeignEntry> out;
    int depth = 0;
    int trackDepth = -1;  // depth of the <track> being read
    bool inTrackList = false;
    ForeignEntry track;
    bool haveLocation = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = xml.name();
            if (name == QLatin1String("trackList") && depth == 2) {
                inTrackList = true;
            } else if (inTrackList && trackDepth < 0 && name == QLatin1String("track") && depth == 3) {
                trackDepth = depth;
                track = {};
                haveLocation = false;
            } else if (trackDepth > 0 && depth == trackDepth + 1) {
                // A track may list several locations: the first one counts.
                if (name == QLatin1String("location") && !haveLocation) {
                    track.location = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                    haveLocation = !track.location.isEmpty();
                    --depth;
                } else if (name == QLatin1String("title") && track.title.isEmpty()) {
                    track.title = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                    --depth;
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == trackDepth) {
                if (haveLocation)
                    out.push_back(std::move(track));
                trackDepth = -1;
            } else if (depth == 2 && inTrackList) {
                inTrackList = false;
            }
            --depth;
        }
    }
    return out;
}

}  // namespace velmora
