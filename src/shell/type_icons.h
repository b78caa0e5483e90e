#pragma once
// TypeIcons: the icon files of the file types, in three folders: the
// current icons (what the desktop shows; the user may replace them), the
// factory icons beside the program (what "restore" copies back; read-only
// when installed, never changed) and, beside the current folder, "default
// icons" with the factory copies of the types the user added. Each icon is
// a set of pictures (default_file_types.h); every step works on the whole
// set.
//
// No step touches a file outside these folders: a name that would leave
// its folder (a "/", "..", an empty name) makes the step do nothing. Every
// failure (missing file, unwritable folder) is skipped; the caller goes on.
// Called on the UI thread (reads pictures with Qt Gui); the first filling
// of the current folder runs on a thread of its own a moment after it is
// asked for (the first start's windows come up first), and every other step
// (and the destructor) waits for it.

#include <QString>
#include <QTimer>

#include <thread>

namespace velmora {

class TypeIcons {
public:
    // Folders end in "/". currentFolder is created on first use.
    TypeIcons(QString currentFolder, QString factoryFolder);
    ~TypeIcons();
    TypeIcons(const TypeIcons&) = delete;
    TypeIcons& operator=(const TypeIcons&) = delete;

    const QString& currentFolder() const { return current_; }
    const QString& factoryFolder() const { return factory_; }
    // The factory copies of added types: "default icons/" beside the
    // current folder.
    const QString& addedFactoryFolder() const { return addedFactory_; }

    // The picture an entry's icon path names: currentFolder + name + ".png".
    QString iconPath(const QString& name) const;

    // First use (no current template yet): copies the factory pictures into
    // the current folder, soon and in the background; the template goes last.
    void fillCurrentFolder();
    // Waits until the filling is done.
    void finishFilling();
    // A new type: its current set from the current template, its factory
    // copy (in the added folder) from the factory template (an old current
    // set is deleted first).
    void addType(const QString& name);
    // Deletes the type's current set and its factory copy.
    void removeType(const QString& name);
    // The current set becomes the picture in sourceFile (any format Qt
    // reads: PNG, SVG, ICO, XPM...), stored as PNG at every size. The
    // picture is read first: one that cannot be read changes nothing, and
    // the current icon itself may be chosen. False when nothing changed.
    bool replace(const QString& name, const QString& sourceFile);
    // The current set becomes a copy of the factory set: the program's, else
    // the added type's copy, else the factory template.
    void restore(const QString& name);
    // Uninstalling: the current folder and the added factory copies go as a
    // whole (they hold nothing but the program's icons), and their parent
    // when that is left empty.
    void removeCurrentFolder();

private:
    QString current_;
    QString factory_;
    QString addedFactory_;
    void startFilling();

    std::thread filler_;
    QTimer fillDelay_;
};

// The files of a set in a folder (the large picture first); empty when the
// name would lead out of the folder.
QStringList iconSetFiles(const QString& folder, const QString& name);

}  // namespace velmora
