#pragma once
// FileListModel: the add-files window's file list, the accepted files of the
// shown folder in natural order (the order the folder walk adds them in).
//
// The folder is read with DiskFolderReader on a pool thread, so every name
// is listed, valid UTF-8 or not: a row shows displayFileName() and
// filePath() gives back the path that opens the file. A newer read
// supersedes an older one. A newly shown folder starts empty and fills when
// its read is in; a folder that cannot be read shows nothing, and one that
// fails when read again keeps the rows it had. The shown folder is watched;
// a change reads it again, and rows that stay keep their selection.
//
// UI thread only. A read still running when the model goes away finishes on
// its own and its answer is dropped.

#include "playlist/adding/file_filter.h"
#include "playlist/adding/natural_order.h"

#include <QAbstractFileIconProvider>
#include <QAbstractListModel>
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace velmora {

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);

    // Shows the folder's files (empty: none). The same folder again is read
    // again. Never blocks.
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    // A changed pattern reads the folder again.
    void setAccepted(const FileFilter& filter);
    // The row's file name as read (escaped bytes kept) and its full path;
    // empty for an invalid index.
    QString fileName(const QModelIndex& index) const;
    QString filePath(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void read();
    void take(const std::optional<QStringList>& names);
    QIcon iconFor(const QString& name) const;

    FileFilter accepted_;
    QString folder_;
    QStringList names_;  // sorted by order_
    NaturalOrder order_;
    QFileSystemWatcher watcher_;
    QTimer changed_;  // gathers a burst of change notices into one read
    bool changedWhileReading_ = false;
    QFutureWatcher<std::optional<QStringList>> reading_;
    QMimeDatabase mimeTypes_;
    QAbstractFileIconProvider icons_;
    mutable QHash<QString, QIcon> iconCache_;  // by MIME type name
};

}  // namespace velmora
