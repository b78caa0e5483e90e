#include "skin/profile_files.h"

#include <QFile>

#include <sys/stat.h>

namespace velmora {

QString toSlashes(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

const ProfileDocument& ProfileFiles::document(const QString& file)
{
    struct stat st {};
    const bool exists = ::stat(QFile::encodeName(file).constData(), &st) == 0;
    const qint64 mtime = exists ? static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec : 0;
    auto it = cache_.find(file);
    if (it != cache_.end() && exists && it->device == st.st_dev && it->inode == st.st_ino
        && it->size == st.st_size && it->mtimeNs == mtime)
        return it->doc;
    Cached c;
    c.doc = ProfileDocument::fromFile(file);
    if (exists) {
        c.device = st.st_dev;
        c.inode = st.st_ino;
        c.size = st.st_size;
        c.mtimeNs = mtime;
    }
    if (cache_.size() > 64)
        cache_.clear();
    return cache_.insert(file, std::move(c))->doc;
}

QString ProfileFiles::readKey(const QString& section, const QString& key, const QString& file,
                              const QString& defaultValue)
{
    return document(file).readKey(section, key, defaultValue);
}

bool ProfileFiles::writeKey(const QString& section, const QString& key, const QString& value, const QString& file)
{
    ProfileDocument doc = ProfileDocument::fromFile(file);
    doc.writeKey(section, key, value);
    cache_.remove(file);
    return doc.saveTo(file);
}

}  // namespace velmora
