#include "playlist/adding/folder_reader.h"

#include "base/file_name.h"
#include "playlist/adding/adding_log.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {
enum class Kind { Folder, File, Other };

Kind kindOf(int folderFd, const dirent& entry)
{
    if (entry.d_type == DT_DIR)
        return Kind::Folder;
    if (entry.d_type == DT_REG)
        return Kind::File;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return Kind::Other;
    // A link counts as what it points to; a broken link is nothing.
    struct stat st {};
    if (::fstatat(folderFd, entry.d_name, &st, 0) != 0)
        return Kind::Other;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    return Kind::Other;
}
}  // namespace

std::optional<FolderContents> DiskFolderReader::read(const QString& folder)
{
    const QByteArray native = fileNameBytes(folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        qCDebug(lcAdding) << "cannot open folder" << folder << std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        qCDebug(lcAdding) << "cannot stat folder" << folder << std::strerror(errno);
        ::close(fd);
        return std::nullopt;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        qCDebug(lcAdding) << "cannot read folder" << folder << std::strerror(errno);
        ::close(fd);
        return std::nullopt;
    }
    FolderContents contents;
    contents.id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                qCDebug(lcAdding) << "listing of" << folder << "ended early:" << std::strerror(errno);
            break;
        }
        if (entry->d_name[0] == '.')
            continue;  // ".", ".." and hidden entries
        const Kind kind = kindOf(::dirfd(dir), *entry);
        if (kind == Kind::Other)
            continue;
        const QString name = fileNameFromBytes(entry->d_name);
        (kind == Kind::Folder ? contents.subfolders : contents.files).append(name);
    }
    ::closedir(dir);
    return contents;
}

}  // namespace velmora
