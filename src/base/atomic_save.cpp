#include "base/atomic_save.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The file a save replaces: the path itself, or with followLinks the end of
// its chain of symbolic links (which need not exist yet).
QString saveTarget(const QString& path, bool followLinks)
{
    QFileInfo info(path);
    QString target = info.absoluteFilePath();
    if (!followLinks)
        return target;
    // A bounded walk, as the kernel's own limit on nested links.
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops) {
        target = info.symLinkTarget();
        info = QFileInfo(target);
    }
    return target;
}

// A new file beside target, opened for writing; created with `mode` so the
// kernel applies the umask (and a folder's default ACL).
int createTemporary(const QString& target, mode_t mode, QByteArray& name)
{
    const QFileInfo info(target);
    const QByteArray stem =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral("."));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

bool saveFileAtomically(const QString& path, const QByteArray& bytes, const AtomicSaveOptions& options)
{
    const QString target = saveTarget(path, options.followLinks);
    const QByteArray targetName = QFile::encodeName(target);
    // The replaced file's permissions (and owner, where we may) carry over.
    struct stat old {};
    const bool replacing = ::stat(targetName.constData(), &old) == 0 && S_ISREG(old.st_mode);
    QByteArray temp;
    const int fd = createTemporary(target, options.mode ? static_cast<mode_t>(*options.mode) : 0666, temp);
    if (fd < 0)
        return false;
    if (options.mode)
        ::fchmod(fd, static_cast<mode_t>(*options.mode));
    else if (replacing) {
        // Another user's file keeps its owner only when we may give it; the
        // group where we belong to it.
        const bool owned = ::fchown(fd, old.st_uid, old.st_gid) == 0
                           || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
        (void)owned;
        ::fchmod(fd, old.st_mode & 07777);
    }
    bool ok = writeAll(fd, bytes) && (!options.sync || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && options.beforeRename && !options.beforeRename(QFile::decodeName(temp)))
        return false;
    if (ok)
        ok = ::rename(temp.constData(), targetName.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

FileIdentity FileIdentity::of(const QString& path)
{
    FileIdentity id;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        id.exists = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
        id.size = st.st_size;
        id.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    }
    return id;
}

}  // namespace velmora
