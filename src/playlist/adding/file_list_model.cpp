#include "playlist/adding/file_list_model.h"

#include "base/file_name.h"
#include "playlist/adding/adding_log.h"
#include "playlist/adding/folder_reader.h"
#include "playlist/adding/folder_walk.h"

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace velmora {

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent)
{
    changed_.setSingleShot(true);
    changed_.setInterval(50);
    // A folder that keeps changing is read at most once per interval, and a
    // change during a read waits for it: were each change to supersede the
    // read under way, a large busy folder would never be listed.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (reading_.isRunning())
            changedWhileReading_ = true;
        else if (!changed_.isActive())
            changed_.start();
    });
    connect(&changed_, &QTimer::timeout, this, &FileListModel::read);
    connect(&reading_, &QFutureWatcherBase::finished, this, [this] {
        // A superseded read was disconnected; an empty future has no result.
        if (!reading_.isCanceled() && reading_.future().resultCount() > 0)
            take(reading_.result());
        if (std::exchange(changedWhileReading_, false))
            changed_.start();
    });
}

void FileListModel::setFolder(const QString& folder)
{
    if (folder != folder_) {
        beginResetModel();
        names_.clear();
        folder_ = folder;
        endResetModel();
        if (!watcher_.directories().isEmpty())
            watcher_.removePaths(watcher_.directories());
        // The watcher takes paths as text: a folder whose name is not UTF-8
        // cannot be named to it, and is then read only when shown.
        if (!folder_.isEmpty() && !holdsEscapedBytes(folder_))
            watcher_.addPath(folder_);
    }
    read();
}

void FileListModel::setAccepted(const FileFilter& filter)
{
    if (accepted_ == filter)
        return;
    accepted_ = filter;
    read();
}

void FileListModel::read()
{
    changed_.stop();
    changedWhileReading_ = false;
    if (folder_.isEmpty()) {
        reading_.setFuture(QFuture<std::optional<QStringList>>());  // drops a read under way
        return;
    }
    reading_.setFuture(QtConcurrent::run([folder = folder_, filter = accepted_] {
        DiskFolderReader reader;
        return acceptedFileNames(reader, folder, filter);
    }));
}

void FileListModel::take(const std::optional<QStringList>& fresh)
{
    if (!fresh) {
        qCDebug(lcAdding) << "file list: cannot read" << folder_;
        return;
    }
    // Both lists are in natural order: walk them side by side and remove or
    // insert runs of rows, so the rows that stay keep selection and focus.
    const QStringList& next = *fresh;
    auto before = [this](const QString& a, const QString& b) { return order_.compare(a, b) < 0; };
    qsizetype i = 0, j = 0;
    while (i < names_.size() || j < next.size()) {
        if (i < names_.size() && j < next.size() && names_[i] == next[j]) {
            ++i, ++j;
        } else if (j == next.size() || (i < names_.size() && before(names_[i], next[j]))) {
            qsizetype end = i + 1;
            while (end < names_.size() && (j == next.size() || before(names_[end], next[j])))
                ++end;
            beginRemoveRows({}, int(i), int(end - 1));
            names_.remove(i, end - i);
            endRemoveRows();
        } else {
            qsizetype end = j + 1;
            while (end < next.size() && (i == names_.size() || before(next[end], names_[i])))
                ++end;
            beginInsertRows({}, int(i), int(i + end - j - 1));
            names_ = names_.mid(0, i) + next.mid(j, end - j) + names_.mid(i);
            endInsertRows();
            i += end - j;
            j = end;
        }
    }
}

QString FileListModel::fileName(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return names_.at(index.row());
}

QString FileListModel::filePath(const QModelIndex& index) const
{
    const QString name = fileName(index);
    return name.isEmpty() ? QString() : childPath(folder_, name);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(names_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayFileName(names_.at(index.row()));
    case Qt::DecorationRole:
        return iconFor(names_.at(index.row()));
    default:
        return {};
    }
}

QIcon FileListModel::iconFor(const QString& name) const
{
    // The file's type by its name alone (no disk access here), its icon from
    // the icon theme, as a file manager shows it; the plain file icon else.
    const QString suffix = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLower();
    if (const auto known = iconCache_.constFind(suffix); known != iconCache_.constEnd())
        return *known;
    const QMimeType type = mimeTypes_.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = icons_.icon(QAbstractFileIconProvider::File);
    iconCache_.insert(suffix, icon);
    return icon;
}

}  // namespace velmora
