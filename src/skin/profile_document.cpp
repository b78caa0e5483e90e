#include "skin/profile_document.h"

#include "base/text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

QString cleanValue(QStringView raw)
{
    const qsizetype nul = raw.indexOf(QChar(0));
    if (nul >= 0)
        raw = raw.left(nul);
    raw = raw.trimmed();
    if (raw.size() >= 2) {
        const QChar first = raw.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && raw.back() == first)
            raw = raw.mid(1, raw.size() - 2);
    }
    return raw.toString();
}

bool isHeader(QStringView line) { return line.startsWith(QLatin1Char('[')); }

QString headerName(QStringView line)
{
    const qsizetype close = line.indexOf(QLatin1Char(']'));
    return line.mid(1, close < 0 ? -1 : close - 1).trimmed().toString();
}

}  // namespace

ProfileDocument ProfileDocument::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    ProfileDocument doc = fromBytes(file.readAll());
    doc.exists_ = true;
    return doc;
}

ProfileDocument ProfileDocument::fromBytes(const QByteArray& bytes)
{
    ProfileDocument doc;
    doc.exists_ = true;
    doc.parse(decodeUtf8OrCp1251(bytes));
    return doc;
}

void ProfileDocument::parse(const QString& text)
{
    lines_ = text.split(QLatin1Char('\n'));
    for (QString& line : lines_) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines_.isEmpty() && lines_.back().isEmpty())
        lines_.removeLast();
    reindex();
}

void ProfileDocument::reindex()
{
    sections_.clear();
    sectionIndex_.clear();
    Section* current = nullptr;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QStringView line = QStringView(lines_[i]).trimmed();
        if (isHeader(line)) {
            Section s;
            s.name = headerName(line);
            s.headerLine = i;
            s.lastLine = i;
            sections_.push_back(std::move(s));
            current = &sections_.back();
            sectionIndex_.insert(current->name.toCaseFolded(),
                                 sectionIndex_.value(current->name.toCaseFolded(),
                                                     static_cast<qsizetype>(sections_.size() - 1)));
            continue;
        }
        if (!current)
            continue;  // lines before any section belong to none
        if (!line.isEmpty())
            current->lastLine = i;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toString().toCaseFolded();
        if (current->values.contains(key))
            continue;
        current->values.insert(key, cleanValue(line.mid(eq + 1)));
        current->keyLine.insert(key, i);
    }
}

const ProfileDocument::Section* ProfileDocument::findSection(QStringView name) const
{
    const auto it = sectionIndex_.constFind(name.trimmed().toString().toCaseFolded());
    if (it == sectionIndex_.constEnd())
        return nullptr;
    return &sections_[static_cast<size_t>(*it)];
}

bool ProfileDocument::hasSection(QStringView section) const
{
    return findSection(section) != nullptr;
}

QString ProfileDocument::readKey(QStringView section, QStringView key, const QString& defaultValue) const
{
    const Section* s = findSection(section);
    if (!s)
        return defaultValue;
    const auto it = s->values.constFind(key.trimmed().toString().toCaseFolded());
    if (it == s->values.constEnd() || it->isEmpty())
        return defaultValue;
    return *it;
}

void ProfileDocument::writeKey(const QString& section, const QString& key, const QString& value)
{
    exists_ = true;
    const QString line = key + QLatin1Char('=') + value;
    const QString foldedKey = key.trimmed().toCaseFolded();
    if (Section* s = const_cast<Section*>(findSection(section))) {
        const auto it = s->keyLine.constFind(foldedKey);
        if (it != s->keyLine.constEnd()) {
            lines_[*it] = line;
            s->values.insert(foldedKey, cleanValue(QStringView(line).mid(line.indexOf(QLatin1Char('=')) + 1)));
            return;
        }
        if (s == &sections_.back() && s->lastLine == lines_.size() - 1) {
            // Appending to the last section moves no other line.
            lines_.append(line);
            s->lastLine = lines_.size() - 1;
            s->values.insert(foldedKey, cleanValue(value));
            s->keyLine.insert(foldedKey, s->lastLine);
            return;
        }
        lines_.insert(s->lastLine + 1, line);
        reindex();
        return;
    }
    if (!lines_.isEmpty() && !lines_.back().trimmed().isEmpty())
        lines_.append(QString());
    lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
    lines_.append(line);
    // Appending at the end keeps every index valid: update incrementally.
    Section s;
    s.name = section;
    s.headerLine = lines_.size() - 2;
    s.lastLine = lines_.size() - 1;
    s.values.insert(foldedKey, cleanValue(value));
    s.keyLine.insert(foldedKey, lines_.size() - 1);
    sections_.push_back(std::move(s));
    sectionIndex_.insert(section.trimmed().toCaseFolded(), static_cast<qsizetype>(sections_.size() - 1));
}

QString ProfileDocument::quoteForWrite(const QString& value)
{
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QChar(0), QLatin1Char(' '));
    if (v.isEmpty())
        return v;
    auto needsQuotes = [](QChar c) {
        return c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('\'');
    };
    if (needsQuotes(v.front()) || needsQuotes(v.back()))
        return QLatin1Char('"') + v + QLatin1Char('"');
    return v;
}

QByteArray ProfileDocument::toUtf8() const
{
    QByteArray out;
    qsizetype total = 0;
    for (const QString& l : lines_)
        total += l.size() + 1;
    out.reserve(total + total / 4);
    for (const QString& l : lines_) {
        out += l.toUtf8();
        out += '\n';
    }
    return out;
}

bool ProfileDocument::saveTo(const QString& path) const
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    QByteArray temp = QFile::encodeName(folder + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    ::fchmod(fd, 0644);
    const QByteArray bytes = toUtf8();
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += n;
        left -= n;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

}  // namespace velmora
