#include "playlist/adding/folder_views.h"

#include <QDir>
#include <QFileSystemModel>

namespace velmora {

NaturalSortProxy::NaturalSortProxy(QFileSystemModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), source_(source)
{
    setSourceModel(&source);
    setDynamicSortFilter(true);
    setRecursiveFilteringEnabled(false);
}

bool NaturalSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    // Folders before files, as a file manager lists them.
    const bool leftDir = source_.isDir(left), rightDir = source_.isDir(right);
    if (leftDir != rightDir)
        return leftDir;
    return order_.compare(source_.fileName(left), source_.fileName(right)) < 0;
}

void FileListProxy::setFolder(const QModelIndex& sourceFolder)
{
    folder_ = sourceFolder;
    invalidateFilter();
}

void FileListProxy::setAccepted(const FileFilter& filter)
{
    if (accepted_ == filter)
        return;
    accepted_ = filter;
    invalidateFilter();
}

bool FileListProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (!folder_.isValid())
        return false;
    const QModelIndex index = source_.index(sourceRow, 0, sourceParent);
    if (sourceParent != folder_) {
        // Above the folder only the way down to it is kept.
        const QString path = source_.filePath(index);
        const QString folder = source_.filePath(folder_);
        return folder == path || folder.startsWith(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
    }
    return !source_.isDir(index) && accepted_.matches(source_.fileName(index));
}

}  // namespace velmora
