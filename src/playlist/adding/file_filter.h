#pragma once
// FileFilter: which file names a folder listing takes, the accepted-files
// pattern of the file type table ("*.avi;*.mp3": parts joined by ";",
// matched against the whole name without regard to letter case;
// "*" and "?" are wildcards).
//
// Until the file type table is in place the program uses everyFile().
// A value type; copies may be used on any thread.

#include <QByteArrayList>
#include <QString>
#include <QStringList>

namespace velmora {

class FileFilter {
public:
    // Every name.
    static FileFilter everyFile();
    // The parts of the pattern; blanks around parts and empty parts are
    // dropped. A pattern without parts matches nothing.
    static FileFilter fromPattern(const QString& pattern);

    FileFilter() = default;  // every name

    bool matches(const QString& fileName) const;
    // The pattern text ("*" for every file).
    QString pattern() const;

    bool operator==(const FileFilter&) const = default;

private:
    bool everyFile_ = true;
    QStringList texts_;     // the parts as given
    QByteArrayList parts_;  // the parts case-folded, UTF-8, for fnmatch
};

}  // namespace velmora
