#include "playlist/foreign_playlist.h"

#include "base/file_name.h"
#include "base/text_codec.h"
#include "settings/profile_document.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>

namespace velmora {

namespace {

// Text lines of any of the three endings, as the file's bytes, trimmed and
// without a UTF-8 byte order mark at their start (lists joined end to end have one
// inside; Qt's decoder would drop it and unmask a "#").
std::vector<QByteArray> byteLines(const QByteArray& bytes)
{
    std::vector<QByteArray> out;
    auto push = [&](QByteArray line) {
        line = line.trimmed();
        while (line.startsWith("\xEF\xBB\xBF"))
            line = line.mid(3).trimmed();
        out.push_back(std::move(line));
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        push(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        push(bytes.mid(start));
    return out;
}

// An entry from its location's and title's bytes: UTF-8 as it is;
// otherwise one reading per legacy encoding that has a character for every
// byte, and last the bytes as a file name (a name on disk that is not UTF-8).
ForeignEntry entryOf(const QByteArray& location, const QByteArray& title, const std::vector<QByteArray>& encodings)
{
    const bool titleUtf8 = isValidUtf8(title);
    if (isValidUtf8(location)) {
        // No file tells the title's encoding: the locale's legacy one, or
        // else the one this player's own lists were written in.
        std::optional<QString> name;
        if (!titleUtf8 && encodings.size() > 2)
            name = decodeAs(title, encodings.front().constData());
        return {QString::fromUtf8(location), name ? *name : decodeUtf8OrCp1251(title), {}};
    }
    std::vector<ForeignReading> readings;
    auto add = [&](ForeignReading r) {
        if (std::find(readings.begin(), readings.end(), r) == readings.end())
            readings.push_back(std::move(r));
    };
    for (const QByteArray& encoding : encodings) {
        const std::optional<QString> where = decodeAs(location, encoding.constData());
        if (!where)
            continue;
        const std::optional<QString> name = titleUtf8 ? QString::fromUtf8(title) : decodeAs(title, encoding.constData());
        add({*where, name ? *name : decodeUtf8OrCp1251(title)});
    }
    add({fileNameFromBytes(location), decodeUtf8OrCp1251(title)});
    ForeignEntry out{std::move(readings.front().location), std::move(readings.front().title), {}};
    out.alternatives.assign(std::make_move_iterator(readings.begin() + 1), std::make_move_iterator(readings.end()));
    return out;
}

// "#EXTINF:123 tvg-name="a,b",Title": the title follows the first comma
// outside double quotes.
QByteArray extinfTitle(const QByteArray& info)
{
    bool quoted = false;
    for (qsizetype i = 0; i < info.size(); ++i) {
        if (info[i] == '"')
            quoted = !quoted;
        else if (info[i] == ',' && !quoted)
            return info.mid(i + 1).trimmed();
    }
    return {};
}

// A URI read in a place whose xml:base is base (empty: none).
QUrl resolvedAgainst(const QUrl& base, const QString& uri)
{
    const QUrl url(uri, QUrl::TolerantMode);
    return base.isEmpty() ? url : base.resolved(url);
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
    const std::vector<QByteArray> encodings = utf8Only ? std::vector<QByteArray>() : legacyEncodings();
    std::vector<ForeignEntry> out;
    QByteArray title;
    for (const QByteArray& raw : byteLines(bytes)) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('#')) {
            if (line.left(8).compare("#EXTINF:", Qt::CaseInsensitive) == 0)
                title = extinfTitle(line.mid(8));
            continue;
        }
        if (utf8Only)  // a name's bytes that are not UTF-8 are kept as they are
            out.push_back({fileNameFromBytes(line), fileNameFromBytes(title), {}});
        else
            out.push_back(entryOf(line, title, encodings));
        title.clear();
    }
    return out;
}

std::vector<ForeignEntry> parsePls(const QByteArray& bytes)
{
    // Read losslessly (file_name.h), so that each value's own bytes can be
    // decoded as its line needs.
    const std::vector<QByteArray> lines = byteLines(bytes);
    QString text;
    for (const QByteArray& line : lines)
        text += fileNameFromBytes(line) + QLatin1Char('\n');
    const ProfileDocument doc = ProfileDocument::fromText(text);
    const ProfileDocument::SectionView list = doc.section(u"playlist");
    std::vector<ForeignEntry> out;
    if (!list.exists())
        return out;
    const std::vector<QByteArray> encodings = legacyEncodings();
    // Entries are numbered from 1; "NumberOfEntries" is often missing or
    // wrong, so every number up to the file's line count is looked at (no
    // file holds more entries than lines).
    const qsizetype count = static_cast<qsizetype>(lines.size());
    for (qsizetype n = 1; n <= count; ++n) {
        const QString number = QString::number(n);
        const QString location = list.readKey(QString(QLatin1String("File") + number));
        if (location.isEmpty())
            continue;
        const QString title = list.readKey(QString(QLatin1String("Title") + number));
        out.push_back(entryOf(fileNameBytes(location), fileNameBytes(title), encodings));
    }
    return out;
}

std::vector<ForeignEntry> parseXspf(const QByteArray& bytes)
{
    const QString xmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");
    QXmlStreamReader xml(bytes);
    std::vector<ForeignEntry> out;
    std::vector<QUrl> bases{QUrl()};  // the xml:base of each open element; one per depth
    int trackDepth = -1;              // depth of the <track> being read
    bool inTrackList = false;
    ForeignEntry track;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView declared = xml.attributes().value(xmlNamespace, QLatin1String("base"));
            QUrl base = declared.isEmpty() ? bases.back() : resolvedAgainst(bases.back(), declared.toString());
            const int depth = static_cast<int>(bases.size());
            const QStringView name = xml.name();
            if (trackDepth > 0 && depth == trackDepth + 1 && name == QLatin1String("location")) {
                const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                if (!text.isEmpty()) {
                    const QString uri = base.isEmpty() ? text : resolvedAgainst(base, text).toString(QUrl::FullyEncoded);
                    if (track.location.isEmpty())
                        track.location = uri;
                    else
                        track.alternatives.push_back({uri, {}});
                }
                continue;  // the element has ended
            }
            if (trackDepth > 0 && depth == trackDepth + 1 && name == QLatin1String("title") && track.title.isEmpty()) {
                track.title = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                continue;
            }
            bases.push_back(std::move(base));
            if (name == QLatin1String("trackList") && depth == 2) {
                inTrackList = true;
            } else if (inTrackList && trackDepth < 0 && name == QLatin1String("track") && depth == 3) {
                trackDepth = depth;
                track = {};
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const int depth = static_cast<int>(bases.size()) - 1;
            if (depth == trackDepth) {
                if (!track.location.isEmpty()) {
                    for (ForeignReading& other : track.alternatives)
                        other.title = track.title;
                    out.push_back(std::move(track));
                }
                track = {};
                trackDepth = -1;
            } else if (depth == 2 && inTrackList) {
                inTrackList = false;
            }
            if (bases.size() > 1)
                bases.pop_back();
        }
    }
    return out;
}

}  // namespace velmora
