#pragma once
// FolderReader: reads one folder of the file system for the folder walk.
//
// The walk calls read() on its own thread; an implementation must be safe
// to call from a thread that is not the UI thread, one call at a time.
// DiskFolderReader is the real one; tests wrap it to inject failures.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace velmora {

// A folder's identity on the file system, to recognise a folder reached
// again through a symbolic link.
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FolderId&) const = default;
};

struct FolderContents {
    FolderId id;             // the folder itself
    QStringList subfolders;  // names of subfolders (links to folders included), unsorted
    QStringList files;       // names of regular files (links to them included), unsorted
};

class FolderReader {
public:
    virtual ~FolderReader() = default;
    // The folder's entries, or nullopt when it cannot be opened and read.
    // Hidden entries (names starting with ".") are left out. Names are
    // decoded with fileNameFromBytes(), so every name, valid UTF-8 or not,
    // opens again by the path the playlist keeps.
    virtual std::optional<FolderContents> read(const QString& folder) = 0;
};

class DiskFolderReader final : public FolderReader {
public:
    std::optional<FolderContents> read(const QString& folder) override;
};

}  // namespace velmora
