#pragma once
// ProfileFiles: ReadKey and WriteKey on files by path, with the parsed
// documents cached so that reading every key of a skin parses its file once.
// A cached document is re-parsed when the file's identity, size or
// modification time changes. Owned by the application object; UI thread.

#include "base/atomic_save.h"
#include "settings/profile_document.h"

#include <QHash>
#include <QString>

namespace velmora {

class ProfileFiles {
public:
    // The key's value, or defaultValue (see ProfileDocument::readKey).
    QString readKey(const QString& section, const QString& key, const QString& file,
                    const QString& defaultValue = {});
    // Sets one key and replaces the file atomically; false when the file
    // cannot be written (nothing is changed then).
    bool writeKey(const QString& section, const QString& key, const QString& value, const QString& file);

    // The cached parse of a file (parsed now when needed).
    const ProfileDocument& document(const QString& file);

private:
    struct Cached {
        ProfileDocument doc;
        FileIdentity identity;
    };
    QHash<QString, Cached> cache_;
};

// Separators: values may use "\" or "/" between path parts; we use "/".
QString toSlashes(QString path);

}  // namespace velmora
