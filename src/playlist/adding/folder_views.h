#pragma once
// The item models behind the add-files window's folder tree and file list:
// proxies over QFileSystemModel that sort names in natural order (the order
// the folder walk uses), show the file-system root as the desktop node, and
// keep the file list to the shown folder's accepted files. UI thread only.

#include "playlist/adding/file_filter.h"
#include "playlist/adding/natural_order.h"

#include <QIcon>
#include <QPersistentModelIndex>
#include <QSortFilterProxyModel>

class QFileSystemModel;

namespace velmora {

// Sorts the rows of a QFileSystemModel by name in natural order.
class NaturalSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit NaturalSortProxy(QFileSystemModel& source, QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    QFileSystemModel& source_;

private:
    NaturalOrder order_;
};

// The folder tree: its one top node, the file-system root, stands for the
// desktop and carries the desktop folder's name and icon.
class FolderTreeProxy : public NaturalSortProxy {
    Q_OBJECT
public:
    FolderTreeProxy(QFileSystemModel& source, const QString& desktopFolder, QObject* parent = nullptr);
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QString rootLabel_;
    QIcon rootIcon_;
};

// The file list: rows under the shown folder pass when the filter accepts
// their name; with no folder nothing passes.
class FileListProxy : public NaturalSortProxy {
    Q_OBJECT
public:
    using NaturalSortProxy::NaturalSortProxy;
    // sourceFolder: the folder's index in the source model; invalid: show nothing.
    void setFolder(const QModelIndex& sourceFolder);
    void setAccepted(const FileFilter& filter);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QPersistentModelIndex folder_;
    FileFilter accepted_;
};

}  // namespace velmora
