#pragma once
// FolderListing: a folder tree as already listed from the file system
// (subfolders and accepted clip names, each in listing order), ready for
// PlaylistModel::appendFolderTree(). Listing touches the disk and belongs
// off the UI thread; appending it is a quick model operation. Plain data.

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

struct FolderListing {
    QString path;                          // the folder's full path ("/" for the file system root)
    std::vector<FolderListing> subfolders;  // in listing order
    QStringList files;                     // file names (no folder), in listing order, already filtered
};

}  // namespace velmora
