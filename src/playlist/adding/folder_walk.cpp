#include "playlist/adding/folder_walk.h"

#include "base/file_name.h"
#include "playlist/adding/adding_log.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace velmora {

QString folderGroupText(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (clean == QLatin1String("/"))
        return clean;
    return clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
}

QString childPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

namespace {
// A regular file that opens for reading (a FIFO would block the open, so the
// kind is checked first and the open does not wait).
bool opensAsFile(const QString& path)
{
    const QByteArray native = fileNameBytes(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

QStringList acceptedOnly(QStringList& names, const FileFilter& filter)
{
    QStringList accepted;
    accepted.reserve(names.size());
    for (QString& name : names) {
        if (filter.matches(name))
            accepted.append(std::move(name));
    }
    return accepted;
}
}  // namespace

FolderWalk::FolderWalk(FolderReader& reader, FileFilter filter, Emit output, Cancelled cancelled)
    : reader_(reader), filter_(std::move(filter)), emit_(std::move(output)), cancelled_(std::move(cancelled))
{
}

void FolderWalk::run(const AddSource& source)
{
    switch (source.kind) {
    case AddSource::Kind::File:
        emit_({WalkItem::Kind::File, source.nesting, source.path});
        break;
    case AddSource::Kind::FileOrFolder:
        fileOrFolder(source.path, source.nesting);
        break;
    case AddSource::Kind::FolderFiles:
        folderFiles(source.path, source.nesting);
        break;
    case AddSource::Kind::FolderTree:
        tree(source.path, source.nesting);
        break;
    case AddSource::Kind::CommandToken:
        commandToken(source.path, source.nesting);
        break;
    }
}

std::optional<FolderWalk::Listing> FolderWalk::list(const QString& folder)
{
    std::optional<FolderContents> contents = reader_.read(folder);
    if (!contents)
        return std::nullopt;
    Listing listing{contents->id, std::move(contents->subfolders), acceptedOnly(contents->files, filter_)};
    order_.sort(listing.subfolders);
    order_.sort(listing.files);
    return listing;
}

void FolderWalk::folderFiles(const QString& folder, int deep)
{
    const QString clean = QDir::cleanPath(folder);
    const std::optional<Listing> listing = list(clean);
    if (!listing)
        return;
    for (const QString& name : listing->files)
        emit_({WalkItem::Kind::File, deep, childPath(clean, name)});
}

void FolderWalk::fileOrFolder(const QString& path, int deep)
{
    if (opensAsFile(path))
        emit_({WalkItem::Kind::File, deep, path});
    else
        folderFiles(path, deep);
}

void FolderWalk::commandToken(const QString& path, int deep)
{
    if (opensAsFile(path)) {
        emit_({WalkItem::Kind::File, deep, path});
        return;
    }
    const QString clean = QDir::cleanPath(path);
    const std::optional<Listing> listing = path.isEmpty() ? std::nullopt : list(clean);
    if (!listing) {
        emit_({WalkItem::Kind::Unresolved, deep, path});
        return;
    }
    for (const QString& name : listing->files)
        emit_({WalkItem::Kind::File, deep, childPath(clean, name)});
}

void FolderWalk::tree(const QString& folder, int nesting)
{
    // The recursion of the walk as an explicit stack: one frame per folder on
    // the way down, holding its files until all its subfolders are done.
    struct Frame {
        QString path;
        int nesting;
        Listing listing;
        qsizetype nextSubfolder = 0;
    };
    if (nesting + 2 > kMaxWalkDeep)
        return;
    const QString root = QDir::cleanPath(folder);
    std::optional<Listing> rootListing = list(root);
    if (!rootListing) {
        qCDebug(lcAdding) << "folder tree not added, cannot read" << root;
        return;
    }
    std::vector<Frame> stack;
    emit_({WalkItem::Kind::Group, nesting + 1, folderGroupText(root)});
    stack.push_back({root, nesting, std::move(*rootListing)});

    auto onTheWayDown = [&stack](const FolderId& id) {
        for (const Frame& frame : stack) {
            if (frame.listing.id == id)
                return true;
        }
        return false;
    };

    while (!stack.empty()) {
        if (cancelled())
            return;
        Frame& top = stack.back();
        if (top.nextSubfolder < top.listing.subfolders.size()) {
            const QString sub = childPath(top.path, top.listing.subfolders[top.nextSubfolder++]);
            const int subNesting = top.nesting + 2;
            if (subNesting + 2 > kMaxWalkDeep) {
                qCDebug(lcAdding) << "too deep, not entered:" << sub;
                continue;
            }
            std::optional<Listing> listing = list(sub);
            if (!listing) {
                qCDebug(lcAdding) << "unreadable folder skipped:" << sub;
                continue;
            }
            if (onTheWayDown(listing->id)) {
                qCDebug(lcAdding) << "folder reached again through a link, not entered:" << sub;
                continue;
            }
            emit_({WalkItem::Kind::Group, subNesting + 1, folderGroupText(sub)});
            stack.push_back({sub, subNesting, std::move(*listing)});  // invalidates top
            continue;
        }
        for (const QString& name : top.listing.files)
            emit_({WalkItem::Kind::File, top.nesting + 2, childPath(top.path, name)});
        stack.pop_back();
    }
}

QStringList listFolderFiles(FolderReader& reader, const QString& folder, const FileFilter& filter)
{
    QStringList paths;
    FolderWalk walk(reader, filter, [&paths](WalkItem&& item) { paths.append(std::move(item.text)); });
    walk.folderFiles(folder, 1);
    return paths;
}

std::optional<QStringList> acceptedFileNames(FolderReader& reader, const QString& folder, const FileFilter& filter)
{
    std::optional<FolderContents> contents = reader.read(QDir::cleanPath(folder));
    if (!contents)
        return std::nullopt;
    QStringList names = acceptedOnly(contents->files, filter);
    NaturalOrder().sort(names);
    return names;
}

QStringList listFolderFiles(const QString& folder, const FileFilter& filter)
{
    DiskFolderReader reader;
    return listFolderFiles(reader, folder, filter);
}

}  // namespace velmora
