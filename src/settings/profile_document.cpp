#include "settings/profile_document.h"

#include "base/atomic_save.h"
#include "base/text_codec.h"
#include "settings/ini_line.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>


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

// A name as the indexes hold it (trimmed, case-folded). Names that already
// are so, as every name the program writes, are looked up without a copy:
// the result then points into the view and lives only as long as it does.
QString lookupName(QStringView name)
{
    bool plain = !name.isEmpty() && !name.front().isSpace() && !name.back().isSpace();
    for (qsizetype i = 0; plain && i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        plain = c < 0x80 && !(c >= u'A' && c <= u'Z');
    }
    if (plain)
        return QString::fromRawData(name.data(), name.size());
    return name.trimmed().toString().toCaseFolded();
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

ProfileDocument ProfileDocument::fromText(const QString& text)
{
    ProfileDocument doc;
    doc.exists_ = true;
    doc.parse(text);
    return doc;
}

void ProfileDocument::parse(const QString& text)
{
    // Until the first write the lines are spans of the decoded text; then
    // they become strings sharing it (text_ is never changed, so its buffer
    // outlives every line and every copy), and a rewritten line one of its own.
    text_ = text;
    lines_.clear();
    spans_.clear();
    materialized_ = false;
    const QChar* base = text_.constData();
    const qsizetype size = text_.size();
    spans_.reserve(static_cast<size_t>(size / 24));  // a playlist's lines are some 30 characters long
    for (qsizetype start = 0; start < size;) {
        qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = size;
        qsizetype length = end - start;
        if (length > 0 && base[start + length - 1] == QLatin1Char('\r'))
            --length;
        spans_.push_back({start, length});
        start = end + 1;
    }
    reindex();
}

QString ProfileDocument::shared(QStringView part) const
{
    const QChar* base = text_.constData();
    if (part.data() >= base && part.data() + part.size() <= base + text_.size())
        return QString::fromRawData(part.data(), part.size());
    return part.toString();
}

void ProfileDocument::reindex()
{
    lastWritten_ = -1;
    lastFound_ = -1;
    sections_.clear();
    sectionIndex_.clear();
    qsizetype headers = 0;
    for (qsizetype i = 0; i < lineCount(); ++i)
        headers += isIniSectionLine(lineAt(i)) ? 1 : 0;
    sections_.reserve(static_cast<size_t>(headers));
    sectionIndex_.reserve(headers);
    Section* current = nullptr;
    for (qsizetype i = 0; i < lineCount(); ++i) {
        const QStringView whole = lineAt(i);
        const IniLine line = readIniLine(whole);
        if (line.kind == IniLine::Kind::Section) {
            Section s;
            s.name = shared(line.name);
            s.headerLine = i;
            s.lastLine = i;
            s.keys.reserve(8);  // one allocation for a playlist entry's keys
            sections_.push_back(std::move(s));
            current = &sections_.back();
            const QString folded = current->name.toCaseFolded();
            if (!sectionIndex_.contains(folded)) {
                sectionIndex_.insert(folded, static_cast<qsizetype>(sections_.size() - 1));
                current->firstOfName = true;
            }
            continue;
        }
        if (!current)
            continue;  // lines before any section belong to none
        if (line.kind != IniLine::Kind::Other || !whole.trimmed().isEmpty())
            current->lastLine = i;
        if (line.kind != IniLine::Kind::Key)
            continue;
        const QString name = lookupName(line.name);
        if (findKey(*current, name))
            continue;
        addKey(*current, {i, line.eq});
    }
}

namespace {
constexpr size_t kHashedSectionSize = 16;
}

const ProfileDocument::Key* ProfileDocument::findKey(const Section& s, const QString& name) const
{
    if (s.keys.size() > kHashedSectionSize) {
        const auto it = s.index.constFind(name);
        return it == s.index.constEnd() ? nullptr : &s.keys[static_cast<size_t>(*it)];
    }
    for (const Key& k : s.keys) {
        const QStringView n = keyName(k);
        if (n.size() == name.size() && n.compare(name, Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

void ProfileDocument::addKey(Section& s, Key key)
{
    s.keys.push_back(key);
    if (s.keys.size() == kHashedSectionSize + 1) {
        for (size_t i = 0; i < s.keys.size(); ++i)
            s.index.insert(keyName(s.keys[i]).toString().toCaseFolded(), static_cast<qsizetype>(i));
    } else if (s.keys.size() > kHashedSectionSize + 1) {
        s.index.insert(keyName(key).toString().toCaseFolded(), static_cast<qsizetype>(s.keys.size() - 1));
    }
}

const ProfileDocument::Section* ProfileDocument::findSection(QStringView name) const
{
    // Readers mostly go through the file in order: try the section after
    // the one found last before hashing the name.
    const size_t next = static_cast<size_t>(lastFound_ + 1);
    if (next < sections_.size() && sections_[next].firstOfName
        && QStringView(sections_[next].name).compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
        lastFound_ = static_cast<qsizetype>(next);
        return &sections_[next];
    }
    const auto it = sectionIndex_.constFind(lookupName(name));
    if (it == sectionIndex_.constEnd())
        return nullptr;
    lastFound_ = *it;
    return &sections_[static_cast<size_t>(*it)];
}

bool ProfileDocument::hasSection(QStringView section) const
{
    return findSection(section) != nullptr;
}

QString ProfileDocument::readKey(QStringView section, QStringView key, const QString& defaultValue) const
{
    return this->section(section).readKey(key, defaultValue);
}

QString ProfileDocument::SectionView::readKey(QStringView key, const QString& defaultValue) const
{
    const auto* s = static_cast<const Section*>(section_);
    if (!s)
        return defaultValue;
    return doc_->valueOf(*s, key, defaultValue);
}

QString ProfileDocument::valueOf(const Section& s, QStringView key, const QString& defaultValue) const
{
    const Key* k = findKey(s, lookupName(key));
    if (!k)
        return defaultValue;
    const QString value = cleanValue(lineAt(k->line).mid(k->eq + 1));
    return value.isEmpty() ? defaultValue : value;
}

void ProfileDocument::materialize()
{
    if (materialized_)
        return;
    lines_.reserve(static_cast<qsizetype>(spans_.size()));
    for (const auto& [start, length] : spans_)
        lines_.append(QString::fromRawData(text_.constData() + start, length));
    spans_.clear();
    spans_.shrink_to_fit();
    materialized_ = true;
}

void ProfileDocument::writeKey(const QString& section, const QString& key, const QString& value)
{
    exists_ = true;
    materialize();
    const QString line = key + QLatin1Char('=') + value;
    const QString foldedKey = key.trimmed().toCaseFolded();
    // Writers go section by section: the section of the previous call is
    // found again without hashing its name.
    Section* s = nullptr;
    if (lastWritten_ >= 0 && lastWrittenName_ == section)
        s = &sections_[static_cast<size_t>(lastWritten_)];
    else if ((s = const_cast<Section*>(findSection(section))))
        rememberWritten(s, section);
    if (s) {
        if (Key* k = const_cast<Key*>(findKey(*s, foldedKey))) {
            lines_[k->line] = line;
            k->eq = key.size();
            return;
        }
        if (s == &sections_.back() && s->lastLine == lines_.size() - 1) {
            // Appending to the last section moves no other line.
            lines_.append(line);
            s->lastLine = lines_.size() - 1;
            addKey(*s, {s->lastLine, key.size()});
            return;
        }
        lines_.insert(s->lastLine + 1, line);
        reindex();
        return;
    }
    if (!lines_.isEmpty() && !QStringView(lines_.back()).trimmed().isEmpty())
        lines_.append(QString());
    lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
    lines_.append(line);
    // Appending at the end keeps every index valid: update incrementally.
    Section added;
    added.name = section;
    added.headerLine = lines_.size() - 2;
    added.lastLine = lines_.size() - 1;
    added.firstOfName = true;
    sections_.push_back(std::move(added));
    addKey(sections_.back(), {lines_.size() - 1, key.size()});
    sectionIndex_.insert(section.trimmed().toCaseFolded(), static_cast<qsizetype>(sections_.size() - 1));
    rememberWritten(&sections_.back(), section);
}

bool ProfileDocument::removeKey(QStringView section, QStringView key)
{
    const Section* s = findSection(section);
    const Key* k = s ? findKey(*s, lookupName(key)) : nullptr;
    if (!k)
        return false;
    materialize();
    lines_.removeAt(k->line);
    reindex();
    return true;
}

QStringList ProfileDocument::sectionNames() const
{
    QStringList names;
    for (const Section& s : sections_) {
        if (s.firstOfName)
            names.append(QString(s.name.constData(), s.name.size()));  // names may share the document's text
    }
    return names;
}

QStringList ProfileDocument::keyNames(QStringView section) const
{
    QStringList names;
    if (const Section* s = findSection(section)) {
        for (const Key& k : s->keys)
            names.append(keyName(k).toString());
    }
    return names;
}

void ProfileDocument::rememberWritten(const Section* s, const QString& name)
{
    lastWritten_ = s - sections_.data();
    lastWrittenName_ = name;
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
    if (lineCount() == 0)
        return {};
    QString all;
    all.reserve(text_.size() + lineCount());
    for (qsizetype i = 0; i < lineCount(); ++i) {
        all += lineAt(i);
        all += QLatin1Char('\n');
    }
    return all.toUtf8();
}

bool ProfileDocument::saveTo(const QString& path) const
{
    return saveFileAtomically(path, toUtf8());
}

void ProfileWriter::section(const QString& name)
{
    if (!bytes_.isEmpty())
        bytes_ += '\n';
    bytes_ += '[';
    bytes_ += name.toUtf8();
    bytes_ += "]\n";
}

void ProfileWriter::key(const QString& name, const QString& value)
{
    bytes_ += name.toUtf8();
    bytes_ += '=';
    bytes_ += value.toUtf8();
    bytes_ += '\n';
}

bool ProfileWriter::saveTo(const QString& path) const
{
    return saveFileAtomically(path, bytes_);
}

}  // namespace velmora
