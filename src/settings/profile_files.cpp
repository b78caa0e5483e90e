#include "settings/profile_files.h"


namespace velmora {

QString toSlashes(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

const ProfileDocument& ProfileFiles::document(const QString& file)
{
    const FileIdentity id = FileIdentity::of(file);
    auto it = cache_.find(file);
    if (it != cache_.end() && id.exists && it->identity == id)
        return it->doc;
    if (cache_.size() > 64)
        cache_.clear();
    return cache_.insert(file, Cached{ProfileDocument::fromFile(file), id})->doc;
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
