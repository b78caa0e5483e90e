#pragma once
// FolderWalk: turns folders into the items the playlist receives, in table
// order. It touches the disk and is meant for a worker thread (FolderWalker
// runs it); it emits plain items and knows nothing of the playlist.
//
// Add folder tree (folder F, nesting a):
//   1. F becomes a group: text = the part of F after its last "/" ("/" for
//      the file-system root), deep = a + 1.
//   2. Each subfolder S of F, in natural name order, is walked as
//      Add folder tree (S, a + 2): its group with everything below it comes
//      before F's own files.
//   3. F's own accepted files, in natural name order, at deep a + 2.
// A folder that cannot be read is skipped (no group) and the walk goes on.
// A folder already on the way down from the walk's start (same device and
// inode, reached again through a symbolic link) is not entered again.
// A folder without accepted files still becomes a group (an empty one).

#include "playlist/adding/file_filter.h"
#include "playlist/adding/folder_reader.h"
#include "playlist/adding/natural_order.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmora {

// The nesting values are 16-bit: nothing goes deeper than this.
inline constexpr int kMaxWalkDeep = 32767;

struct WalkItem {
    // Unresolved: a command line's path that named neither a file nor a
    // folder (its text); it adds nothing.
    enum class Kind : std::uint8_t { Group, File, Unresolved };
    Kind kind = Kind::File;
    int deep = 1;
    QString text;  // a group's text, a file's full path
};

// One thing to add.
struct AddSource {
    enum class Kind : std::uint8_t {
        File,          // the path as it is (Add path)
        FileOrFolder,  // a path that opens as a file for reading as it is,
                       // anything else as FolderFiles (dropped paths, the command line)
        FolderFiles,   // a folder's own accepted files, no subfolders
        FolderTree,    // the folder and all its subfolders as nested groups
        CommandToken,  // a command line's path: a file that opens for reading as
                       // it is, a folder that can be read as FolderFiles, anything
                       // else one Unresolved item
    };
    Kind kind = Kind::File;
    QString path;
    // File, FileOrFolder, FolderFiles: the files' deep; FolderTree: the walk's
    // nesting value (the folder's group gets nesting + 1). Odd, at least 1.
    int nesting = 1;
};

// The folder's group text: the part after its last "/", "/" for the root.
QString folderGroupText(const QString& folder);
// folder + "/" + name, without doubling the root's "/".
QString childPath(const QString& folder, const QString& name);

class FolderWalk {
public:
    using Emit = std::function<void(WalkItem&&)>;
    // Asked between folders; true ends the walk early.
    using Cancelled = std::function<bool()>;

    FolderWalk(FolderReader& reader, FileFilter filter, Emit output, Cancelled cancelled = {});

    void run(const AddSource& source);
    void tree(const QString& folder, int nesting);
    void folderFiles(const QString& folder, int deep);
    void fileOrFolder(const QString& path, int deep);
    void commandToken(const QString& path, int deep);

private:
    struct Listing {
        FolderId id;
        QStringList subfolders;  // sorted names
        QStringList files;       // sorted, accepted names
    };
    std::optional<Listing> list(const QString& folder);
    bool cancelled() const { return cancelled_ && cancelled_(); }

    FolderReader& reader_;
    FileFilter filter_;
    Emit emit_;
    Cancelled cancelled_;
    NaturalOrder order_;
};

// The accepted files of one folder as full paths in natural name order,
// subfolders not included; empty when the folder cannot be read. Reads the
// disk on the calling thread: for small folders (FolderWalker for others).
QStringList listFolderFiles(const QString& folder, const FileFilter& filter);
QStringList listFolderFiles(FolderReader& reader, const QString& folder, const FileFilter& filter);
// The accepted file names of one folder (names only, as the reader decodes
// them) in natural order; nullopt when the folder cannot be read. Reads the
// disk on the calling thread.
std::optional<QStringList> acceptedFileNames(FolderReader& reader, const QString& folder, const FileFilter& filter);

}  // namespace velmora
