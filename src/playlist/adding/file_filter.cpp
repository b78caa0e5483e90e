#include "playlist/adding/file_filter.h"

#include <fnmatch.h>

namespace velmora {

FileFilter FileFilter::everyFile()
{
    return FileFilter();
}

FileFilter FileFilter::fromPattern(const QString& pattern)
{
    FileFilter filter;
    filter.everyFile_ = false;
    for (const QString& part : pattern.split(QLatin1Char(';'))) {
        const QString trimmed = part.trimmed();
        if (trimmed.isEmpty())
            continue;
        filter.texts_.append(trimmed);
        filter.parts_.append(trimmed.toCaseFolded().toUtf8());
    }
    return filter;
}

bool FileFilter::matches(const QString& fileName) const
{
    if (everyFile_)
        return true;
    if (parts_.isEmpty())
        return false;
    const QByteArray name = fileName.toCaseFolded().toUtf8();
    for (const QByteArray& part : parts_) {
        if (::fnmatch(part.constData(), name.constData(), FNM_CASEFOLD) == 0)
            return true;
    }
    return false;
}

QString FileFilter::pattern() const
{
    if (everyFile_)
        return QStringLiteral("*");
    return texts_.join(QLatin1Char(';'));
}

}  // namespace velmora
