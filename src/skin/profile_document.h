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

#include <vector>

namespace velmora {

class ProfileDocument {
public:
    ProfileDocument() = default;

    // Parses the file; a missing or unreadable file gives an empty document
    // whose exists() is false.
    static ProfileDocument fromFile(const QString& path);
    static ProfileDocument fromBytes(const QByteArray& bytes);

    bool exists() const { return exists_; }

    // The value, or defaultValue when the section or key is missing or the
    // value is empty.
    QString readKey(QStringView section, QStringView key, const QString& defaultValue = {}) const;
    bool hasSection(QStringView section) const;
    // Number of section headers in the file (repeated names count again).
    int sectionCount() const { return static_cast<int>(sections_.size()); }

    // Sets the key, creating the section and key as needed. The value is
    // written as given; quoteForWrite() makes text safe to read back.
    // Writing a file from start to end (new keys into the last section) costs
    // O(1) per key.
    void writeKey(const QString& section, const QString& key, const QString& value);

    // Text that reads back unchanged through readKey(): values with blanks
    // or quote marks at either end are enclosed in double quotes; line
    // breaks (which the format cannot hold) become blanks.
    static QString quoteForWrite(const QString& value);

    QByteArray toUtf8() const;
    // Replaces the file atomically: temporary file in the same folder,
    // fsync, rename. Returns false (and leaves the old file whole) on failure.
    bool saveTo(const QString& path) const;

private:
    struct Section {
        QString name;
        qsizetype headerLine = -1;  // -1: the unnamed lines before any header
        qsizetype lastLine = -1;    // last line that belongs to the section
        QHash<QString, QString> values;     // folded key -> value, first wins
        QHash<QString, qsizetype> keyLine;  // folded key -> line of that value
    };

    void parse(const QString& text);
    void reindex();
    const Section* findSection(QStringView name) const;

    QStringList lines_;
    std::vector<Section> sections_;
    QHash<QString, qsizetype> sectionIndex_;  // folded name -> first section
    bool exists_ = false;
};

}  // namespace velmora
