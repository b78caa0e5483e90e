#include "base/atomic_save.h"

#include <QFile>
#include <QFileInfo>

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

}  // namespace

bool saveFileAtomically(const QString& path, const QByteArray& bytes, const AtomicSaveOptions& options)
{
    const QFileInfo info(path);
    const QString target = info.absoluteFilePath();
    QByteArray temp =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    ::fchmod(fd, static_cast<mode_t>(options.mode));
    bool ok = writeAll(fd, bytes) && (!options.sync || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && options.beforeRename && !options.beforeRename(QFile::decodeName(temp)))
        return false;
    if (ok)
        ok = ::rename(temp.constData(), QFile::encodeName(target).constData()) == 0;
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
