#pragma once
// ProfileDocument: one parsed sections-and-keys text file (a skin's
// "skin.ini", a ".pml" playlist).
//
// Reading follows the classic profile rules: a "[name]" line opens a section,
// "key=value" lines give values; names compare without regard to case and
// the first occurrence of a section or key counts; blanks around names and
// values are dropped and one pair of enclosing quotes (' or ") is removed;
// a value is cut at its first NUL; an empty value reads as the default.
// Values are read whole (no length limit).
//
// Writing keeps every other line as it was. Files are UTF-8; a file that is
// not valid UTF-8 is read as CP1251. Plain data, no threads.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace velmora {

class ProfileDocument {
public:
    ProfileDocument() = default;

    // Parses the file; a missing or unreadable file gives an empty document
    // whose exists() is false.
    static ProfileDocument fromFile(const QString& path);
    static ProfileDocument fromBytes(const QByteArray& bytes);
    // Text decoded by the caller (lines end in LF or CR LF).
    static ProfileDocument fromText(const QString& text);

    bool exists() const { return exists_; }

    // The value, or defaultValue when the section or key is missing or the
    // value is empty.
    QString readKey(QStringView section, QStringView key, const QString& defaultValue = {}) const;

    // One section, found once for reading several of its keys; valid until
    // the document changes.
    class SectionView {
    public:
        bool exists() const { return section_ != nullptr; }
        QString readKey(QStringView key, const QString& defaultValue = {}) const;

    private:
        friend class ProfileDocument;
        SectionView(const ProfileDocument* doc, const void* section) : doc_(doc), section_(section) {}
        const ProfileDocument* doc_;
        const void* section_;
    };
    SectionView section(QStringView name) const { return {this, findSection(name)}; }
    bool hasSection(QStringView section) const;
    // Number of section headers in the file (repeated names count again).
    int sectionCount() const { return static_cast<int>(sections_.size()); }

    // Sets the key, creating the section and key as needed. The value is
    // written as given; quoteForWrite() makes text safe to read back.
    // Writing a file from start to end (new keys into the last section) costs
    // O(1) per key.
    void writeKey(const QString& section, const QString& key, const QString& value);
    // Removes the key's line from the section readKey() reads; false when
    // there is no such key. Other lines stay as they were.
    bool removeKey(QStringView section, QStringView key);

    // The names of the sections readKey() reads (the first of each name), and
    // of a section's keys, in file order, as written.
    QStringList sectionNames() const;
    QStringList keyNames(QStringView section) const;

    // Text that reads back unchanged through readKey(): values with blanks
    // or quote marks at either end are enclosed in double quotes; line
    // breaks (which the format cannot hold) become blanks.
    static QString quoteForWrite(const QString& value);

    QByteArray toUtf8() const;
    // Replaces the file atomically: temporary file in the same folder,
    // fsync, rename. Returns false (and leaves the old file whole) on failure.
    bool saveTo(const QString& path) const;

private:
    // A key is found where it stands: its name is the line before eq, its
    // value (cleaned when read) the line after it.
    struct Key {
        qsizetype line = -1;
        qsizetype eq = 0;
    };
    // A playlist has one small section per entry, a skin one large section:
    // keys sit in a vector, with a hash beside it only for large sections.
    struct Section {
        QString name;
        qsizetype headerLine = -1;  // -1: the unnamed lines before any header
        qsizetype lastLine = -1;    // last line that belongs to the section
        bool firstOfName = false;   // the section readKey() finds by this name
        std::vector<Key> keys;      // first occurrence of each key, in file order
        QHash<QString, qsizetype> index;  // folded key -> position in keys, for large sections
    };

    qsizetype lineCount() const { return materialized_ ? lines_.size() : static_cast<qsizetype>(spans_.size()); }
    QStringView lineAt(qsizetype i) const
    {
        if (materialized_)
            return lines_[i];
        const auto& [start, length] = spans_[static_cast<size_t>(i)];
        return QStringView(text_).mid(start, length);
    }
    // Turns the spans into lines that writing can change.
    void materialize();
    QStringView keyName(const Key& k) const { return lineAt(k.line).left(k.eq).trimmed(); }
    // name: trimmed and case-folded (lookupName).
    const Key* findKey(const Section& s, const QString& name) const;
    void addKey(Section& s, Key key);
    QString valueOf(const Section& s, QStringView key, const QString& defaultValue) const;
    void parse(const QString& text);
    // A string for part of a line: sharing text_ when it lies there.
    QString shared(QStringView part) const;
    void reindex();
    void rememberWritten(const Section* s, const QString& name);
    const Section* findSection(QStringView name) const;

    QString text_;  // the text as read; unchanged after parsing
    std::vector<std::pair<qsizetype, qsizetype>> spans_;  // start, length in text_: the lines until the first write
    QStringList lines_;  // the lines once written to
    bool materialized_ = true;
    std::vector<Section> sections_;
    QHash<QString, qsizetype> sectionIndex_;  // folded name -> first section
    bool exists_ = false;
    // The section the last writeKey() went to, by the exact name it was given.
    qsizetype lastWritten_ = -1;
    QString lastWrittenName_;
    // The section found last: a hint for reading in file order (plain data,
    // one thread, like the rest).
    mutable qsizetype lastFound_ = -1;
};

// ProfileWriter: writes a new profile file from start to end, section after
// section, in the layout ProfileDocument writes (a blank line between
// sections), for files written whole such as a saved playlist. Values are
// written as given (see ProfileDocument::quoteForWrite). Plain data.
class ProfileWriter {
public:
    void section(const QString& name);
    void key(const QString& name, const QString& value);
    const QByteArray& bytes() const { return bytes_; }
    // Replaces the file atomically, as ProfileDocument::saveTo does.
    bool saveTo(const QString& path) const;

private:
    QByteArray bytes_;
};

}  // namespace velmora
