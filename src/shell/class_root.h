#pragma once
// ClassRoot: the program's class root, a store of keys, each holding named
// string values (the unnamed "default" value included), addressed by key
// paths with "\" between names that compare without regard to case. It is
// kept as the profile-style file "classes.ini" beside the settings, one
// section per key ("@" names the default value).
//
// After each change it is projected onto the desktop (desktop_projection.h):
//  - "vlmr4_<ext>file" with its "DefaultIcon" and "shell\open\command" is
//    the file class of ext; deleting the class key removes it;
//  - the default value of ".<ext>" names the handler of ext's files: the
//    class name "vlmr4_<ext>file" is the program's own, any other text a
//    desktop file id. Reading it asks the desktop, which another program may
//    have changed since;
//  - "Folder\shell\Play clips\command" is the folder action.
//
// Every failure is silent: a read gives empty text, a write is skipped.
// UI thread only.

#include "settings/profile_document.h"

#include <QString>

#include <vector>

namespace velmora {

class DesktopProjection;

class ClassRoot {
public:
    // projection may be null (nothing reaches the desktop).
    ClassRoot(QString filePath, DesktopProjection* projection);
    ~ClassRoot();
    ClassRoot(const ClassRoot&) = delete;
    ClassRoot& operator=(const ClassRoot&) = delete;

    // The value of keyPath (empty valueName: the default value); empty text
    // when the key or value is missing.
    QString ReadRegistryString(const QString& keyPath, const QString& valueName) const;
    // Creates parent\subKey as needed and sets the value.
    void WriteRegistryString(const QString& parentPath, const QString& subKey, const QString& valueName,
                             const QString& text);
    // Creates parent\subKey (or finds it) and returns its path.
    QString CreateRegistryKey(const QString& parentPath, const QString& subKey);
    // Deletes parent\subKey with its values; refused while it has subkeys.
    void DeleteRegistryKey(const QString& parentPath, const QString& subKey);

    // Writes the changes to the file. Changes are kept in memory until then,
    // so that registering many classes writes the file once; the destructor
    // flushes too.
    void flush();

    bool keyExists(const QString& keyPath) const;
    // Projects every class and the folder action afresh (the projection
    // writes only what differs), so that desktop files lost since come back.
    void projectAll();
    DesktopProjection* projection() const { return projection_; }

private:
    struct Key {
        QString path;
        std::vector<std::pair<QString, QString>> values;  // name, text
    };
    Key* find(const QString& path);
    const Key* find(const QString& path) const;
    Key& create(const QString& path);
    void load();
    void save() const;
    void projectWrite(const QString& path, const QString& valueName, const QString& text);
    void projectDelete(const QString& path);

    QString filePath_;
    DesktopProjection* projection_;
    std::vector<Key> keys_;
    bool dirty_ = false;
};

// parent + "\" + child (just child when parent is empty: the root).
QString joinKeyPath(const QString& parent, const QString& child);

}  // namespace velmora
