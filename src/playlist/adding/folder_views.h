#pragma once
// The item model behind the add-files window's file list: a proxy over
// QFileSystemModel that sorts names in natural order (the order the folder
// walk uses) and keeps to the shown folder's accepted files. UI thread only.

#include "playlist/adding/file_filter.h"
#include "playlist/adding/natural_order.h"

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
