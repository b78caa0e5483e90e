#pragma once
// FreedesktopProjection: the class root's changes as a freedesktop desktop
// reads them, all in the user's own folders:
//  - a file class is a hidden desktop entry "vlmr4_<ext>file.desktop" in
//    $XDG_DATA_HOME/applications, for ext's MIME types (a type of our own,
//    declared in $XDG_DATA_HOME/mime/packages, when the database knows none);
//  - the handler of ext's files is the default in $XDG_CONFIG_HOME/
//    mimeapps.list; while it is ours a MIME package names our icon for the
//    type, the icon sitting in the user's hicolor theme;
//  - the folder action "Play clips" is a Dolphin service menu, a Nautilus
//    script, a Nemo action and a file-manager action (Caja, PCManFM). The
//    program is never declared for folders as such (it would become the
//    folder opener).
// A file is written only when its text differs from what is on disk, so an
// unchanged start writes nothing. Two seconds after commit(), when their
// folders changed, update-desktop-database and update-mime-database run in
// the background (the first start's windows come up first).
//
// UI thread only; the destructor starts what is pending and waits for the
// tools.

#include "shell/desktop_projection.h"

#include "settings/profile_document.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class QProcess;

namespace velmora {

class FreedesktopProjection : public DesktopProjection {
public:
    struct Folders {
        QString dataHome, configHome;  // $XDG_DATA_HOME, $XDG_CONFIG_HOME
        QStringList dataDirs, configDirs;
        QStringList desktops;  // $XDG_CURRENT_DESKTOP, lower case
        // The XDG variables with the specification's defaults.
        static Folders fromEnvironment();
    };

    // program: what the entries and actions run (the front program).
    FreedesktopProjection(QString program, Folders folders);
    ~FreedesktopProjection() override;

    void writeFileClass(const QString& ext, const QString& iconPath) override;
    void removeFileClass(const QString& ext) override;
    QString defaultHandler(const QString& ext) override;
    void setDefaultHandler(const QString& ext, const QString& handler, const QString& iconPath) override;
    void writeFolderAction() override;
    void removeFolderAction() override;
    void commit() override;

    // Starts the tools commit() left pending and waits for them; false when
    // one is still running after msecs.
    bool waitForTools(int msecs);

    const Folders& folders() const { return folders_; }
    QString applicationsFolder() const;
    // The files of the folder action, one per file manager.
    QStringList folderActionFiles() const;

private:
    QStringList mimeTypes(const QString& ext);
    QString defaultFor(const QString& mimeType);
    bool installed(const QString& desktopId) const;
    const ProfileDocument& list(const QString& path);
    // Edits the user's default list of one MIME type.
    void editUserDefaults(const QString& mimeType, const QString& remove, const QString& putFirst);
    void writeMimePackage(const QString& ext, bool held);
    void writeHeldIcon(const QString& ext, const QString& iconPath, bool held);
    bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false);
    bool removeFile(const QString& path);
    void runTool(const QString& tool, const QStringList& arguments);
    void startPendingTools();

    QString program_;
    Folders folders_;
    QHash<QString, QStringList> mimeTypes_;
    struct CachedList {
        QDateTime modified;
        qint64 size = -1;
        ProfileDocument doc;
    };
    QHash<QString, CachedList> lists_;
    bool applicationsChanged_ = false;
    bool mimeChanged_ = false;
    bool desktopToolPending_ = false;
    bool mimeToolPending_ = false;
    QTimer toolDelay_;
    std::vector<std::unique_ptr<QProcess>> tools_;
};

}  // namespace velmora
