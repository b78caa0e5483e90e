#pragma once
// One way to replace a file whole and one way to tell whether a file changed
// under us, shared by the settings store, profile files and playlist files.
//
// saveFileAtomically writes a temporary file in the target's folder, syncs
// it and renames it over the target, so a reader sees the old file or the
// new one, never half of either. Blocking file I/O; any thread.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace velmora {

struct AtomicSaveOptions {
    // Permission bits of the new file. Unset: those of the file replaced, or
    // for a new file what the user's umask leaves of 0666.
    std::optional<unsigned> mode;
    // A symbolic link at the path: replace the file it points to and keep
    // the link (false: the link itself is replaced by the file).
    bool followLinks = true;
    // Whether the data reaches the disk before the rename. Files that are
    // only a copy of state kept elsewhere (the desktop's view of it) skip
    // the wait: the rename still never shows half a file.
    bool sync = true;
    // Called with the temporary file written and synced; returning false
    // abandons the save there, as a crash at that moment would (the
    // temporary file stays). For tests.
    std::function<bool(const QString& tempPath)> beforeRename;
};

// Replaces the file at path with bytes. False (and the old file left whole)
// on failure; the folder must exist.
bool saveFileAtomically(const QString& path, const QByteArray& bytes, const AtomicSaveOptions& options = {});

// Device, inode, size and modification time of a file: a file replaced by a
// rename, rewritten or touched compares unequal.
struct FileIdentity {
    unsigned long long device = 0, inode = 0;
    long long size = -1, mtimeNs = 0;
    bool exists = false;
    bool operator==(const FileIdentity&) const = default;

    static FileIdentity of(const QString& path);
};

}  // namespace velmora
